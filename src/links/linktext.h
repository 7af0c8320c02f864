#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The text routines of links. They work on a note's Text(), where a paragraph
// break is CR LF, with 1-based indices: T[1] is the first character, as the
// marking passes count. A character below 32 always delimits a token; each
// call names its extra delimiters.

// The number of LF characters among the first n - 1 characters of text (n
// limited to the text's length); 0 when n is 1 or less.
int CountLineFeeds(const QString &text, int n);

// The token around index p and where it lies: i is the delimiter in front of
// it (0 at the text's start), j the delimiter behind it (length + 1 at the
// end), lf CountLineFeeds(text, p). An index outside the text counts as a
// delimiter.
struct TokenAt
{
    QString token;
    int i = 0;
    int j = 0;
    int lf = 0;
};
TokenAt TokenAround(const QString &text, int p, QStringView extraDelimiters);

// An "@" and, somewhere after the first one, a ".".
bool IsMailAddress(const QString &text);

// "http:/", "https:/" or "www." anywhere, ASCII letters in any case.
bool HasLinkPrefix(const QString &text);

// Where a web or mail address stands in a line of text, 0-based.
struct AddressSpan
{
    qsizetype start = 0;
    qsizetype length = 0;

    bool contains(qsizetype index) const { return index >= start && index < start + length; }
    bool operator==(const AddressSpan &) const = default;
};

// The web addresses (beginning "http:/", "https:/" or "www.", ASCII letters in
// any case) and mail addresses (something, "@", then a domain with a dot) in
// line, wherever they stand, in their order. An address ends at a blank and
// does not take the sentence's punctuation around it: a final ".", ",", ";",
// ":", "!", "?" or quote is left out, and so is a closing bracket that has no
// opening one in the address.
QList<AddressSpan> FindAddresses(QStringView line);
