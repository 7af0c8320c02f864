#include "links/marklinks.h"

#include "links/linktarget.h"
#include "links/linktext.h"
#include "richtext/richdocument.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QColor LinkColor(0, 0, 255);
const QString DoubleQuote = QStringLiteral("\"");

// 1-based index of the first occurrence of what at or after index from, 0
// when there is none.
int indexFrom(const QString &text, QLatin1String what, int from)
{
    return int(text.indexOf(what, std::max(from, 1) - 1, Qt::CaseInsensitive)) + 1;
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

// Web and mail addresses, line by line: a line break ends every address.
// An address that ends at skipEnd is left alone.
void markAddresses(RichDocument &document, QTextBlock block, const QTextBlock &end,
                   int skipEnd = -1)
{
    QList<std::pair<int, int>> spans;
    for (; block.isValid() && block != end; block = block.next()) {
        for (const AddressSpan &address : FindAddresses(block.text())) {
            const int start = block.position() + int(address.start);
            if (start + int(address.length) != skipEnd)
                spans.append({start, int(address.length)});
        }
    }
    // Marking changes formats only, never positions.
    for (const auto &[start, length] : std::as_const(spans))
        markLink(document, start, length);
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
    markAddresses(document, document.textDocument()->begin(), QTextBlock());
    markQuotedPaths(document, text);
    block.endEditBlock();
    document.setSelStart(selStart);
    document.setSelLength(selLength);
}

void markAddressesIn(RichDocument &document, int from, int to)
{
    const int selStart = document.SelStart();
    const int selLength = document.SelLength();
    const QTextDocument &text = *document.textDocument();
    QTextCursor block(document.textDocument());
    block.joinPreviousEditBlock();
    // The caret right behind an address: it may still be being typed.
    const int caret = selLength == 0 ? selStart : -1;
    markAddresses(document, text.findBlock(from), text.findBlock(to).next(), caret);
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

QString linkAt(const RichDocument &document, int position)
{
    const QTextBlock block = document.textDocument()->findBlock(position);
    if (!block.isValid())
        return {};
    const QString line = block.text();
    const int inLine = position - block.position();
    for (const AddressSpan &address : FindAddresses(line)) {
        if (address.contains(inLine))
            return line.mid(address.start, address.length);
    }
    const TokenAt at = TokenAround(line, inLine + 1, DoubleQuote);
    const bool quoted = at.i > 0 && line.at(at.i - 1) == u'"';
    return quoted && namesExistingPath(at.token) ? at.token : QString();
}

QString linkAtSelection(const RichDocument &document)
{
    const QString link = linkAt(document, document.SelStart());
    if (!link.isEmpty())
        return link;
    const QString token = tokenAtSelection(document);
    const bool oneWord
        = std::none_of(token.begin(), token.end(), [](QChar c) { return c.isSpace(); });
    return oneWord || namesExistingPath(token) ? token : QString();
}
