#include "richtext/notetitle.h"

#include "richtext/rtfreader.h"

#include <QStringView>

#include <algorithm>
#include <functional>

namespace {

constexpr qsizetype SingleLineTitleLength = 14;
// Most notes begin with a title line, then more text.
constexpr int FirstParagraphs = 2;

bool blank(QChar c)
{
    return c.unicode() <= 32;
}

// Whether a text that goes on after opening (behind a paragraph break) has
// the title opening has: the first line after the leading blanks ends in
// opening, and more than blanks follow that line in opening.
bool titleSettledBy(const QString &opening)
{
    const auto first = std::find_if_not(opening.cbegin(), opening.cend(), blank);
    const auto lineBreak = std::find(first, opening.cend(), u'\r');
    return lineBreak != opening.cend()
           && std::any_of(lineBreak, opening.cend(), std::not_fn(blank));
}

} // namespace

QString NoteTitle(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    const QStringView trimmed = QStringView(text).sliced(begin, end - begin);
    const qsizetype lineBreak = trimmed.indexOf(u'\r');
    const qsizetype length
        = lineBreak < 0 ? std::min<qsizetype>(trimmed.size(), SingleLineTitleLength) : lineBreak;
    return trimmed.first(length).toString() + QStringLiteral("..");
}

QString NoteTitleOfData(const QByteArray &data)
{
    for (int paragraphs = FirstParagraphs;; paragraphs *= 8) {
        const RtfReader::Opening opening = RtfReader::readOpening(data, paragraphs);
        if (!opening.cut || titleSettledBy(opening.text))
            return NoteTitle(opening.text);
    }
}
