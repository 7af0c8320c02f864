#include "links/marklinks.h"

#include "links/linktarget.h"
#include "links/linktext.h"
#include "richtext/richdocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QColor LinkColor(0, 0, 255);
const QString Blank = QStringLiteral(" ");
const QString DoubleQuote = QStringLiteral("\"");

// 1-based index of the first occurrence of what at or after index from, 0
// when there is none.
int indexFrom(const QString &text, QLatin1String what, int from)
{
    return int(text.indexOf(what, std::max(from, 1) - 1, Qt::CaseInsensitive)) + 1;
}

int firstWebPrefixFrom(const QString &text, int from)
{
    for (const QLatin1String prefix :
         {QLatin1String("http:/"), QLatin1String("https:/"), QLatin1String("www.")}) {
        if (const int p = indexFrom(text, prefix, from))
            return p;
    }
    return 0;
}

// Exactly what marking writes: blue, underlined, not bold, italic or struck out.
bool carriesMark(const QTextCharFormat &format)
{
    return format.hasProperty(QTextFormat::ForegroundBrush)
           && format.foreground().color() == LinkColor
           && format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() <= QFont::Medium
           && format.hasProperty(QTextFormat::FontItalic) && !format.fontItalic()
           && format.hasProperty(QTextFormat::FontStrikeOut) && !format.fontStrikeOut()
           && format.fontUnderline();
}

bool isMarked(const QTextDocument &document, int start, int end)
{
    for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool overlaps
                = fragment.position() < end && fragment.position() + fragment.length() > start;
            if (overlaps && !carriesMark(fragment.charFormat()))
                return false;
        }
    }
    return true;
}

void markWebLinks(RichDocument &document, const QString &text)
{
    int len = 1;
    int p = firstWebPrefixFrom(text, 1);
    while (p > 0) {
        p = firstWebPrefixFrom(text, len);
        len = p;
        if (p == 0)
            break;
        while (len < text.size() && text.at(len - 1).unicode() > 32)
            ++len;
        markLink(document, p - CountLineFeeds(text, len) - 1, len - p);
    }
}

void markMailAddresses(RichDocument &document, const QString &text)
{
    int len = 1;
    int p = indexFrom(text, QLatin1String("@"), 1);
    while (p > 0 && p < text.size()) {
        p = indexFrom(text, QLatin1String("@"), len);
        if (p == 0)
            break;
        const TokenAt at = TokenAround(text, p, Blank);
        if (IsMailAddress(at.token))
            markLink(document, at.i - at.lf, int(at.token.size()));
        p = at.i;
        len = at.j;
    }
}

void markQuotedPaths(RichDocument &document, const QString &text)
{
    int len = 1;
    int p = indexFrom(text, QLatin1String("\""), 1);
    while (p > 0 && p < text.size()) {
        p = indexFrom(text, QLatin1String("\""), len);
        if (p == 0)
            break;
        const TokenAt at = TokenAround(text, p, DoubleQuote);
        // From the opening quote through the closing one and one position more.
        if (namesExistingPath(at.token))
            markLink(document, at.i - at.lf - 1, at.j - at.i + 2);
        p = at.i;
        len = at.j;
    }
}

} // namespace

void markLink(RichDocument &document, int start, int length)
{
    QTextDocument &text = *document.textDocument();
    const int end = std::min(start + length, text.characterCount() - 1);
    start = std::max(start, 0);
    if (start >= end || isMarked(text, start, end))
        return;
    document.setSelStart(start);
    document.setSelLength(end - start);
    document.SelAttributes().setColor(LinkColor);
    document.SelAttributes().setStyle(TFontStyle::fsUnderline);
}

void MarkLinks(RichDocument &document)
{
    const int selStart = document.SelStart();
    const int selLength = document.SelLength();
    const QString text = document.Text();
    // One step to undo for the whole pass.
    QTextCursor block(document.textDocument());
    block.beginEditBlock();
    markWebLinks(document, text);
    markMailAddresses(document, text);
    markQuotedPaths(document, text);
    block.endEditBlock();
    document.setSelStart(selStart);
    document.setSelLength(selLength);
}

QString tokenAtSelection(const RichDocument &document)
{
    // Line ends delimit every token, so the paragraph of the selection's
    // start holds the whole of it.
    const int start = document.SelStart();
    const QTextBlock block = document.textDocument()->findBlock(start);
    QString line = block.text();
    line.replace(QChar::LineSeparator, u'\n');
    return TokenAround(line, start - block.position() + 1, DoubleQuote).token;
}
