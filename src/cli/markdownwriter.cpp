#include "cli/markdownwriter.h"

#include "richtext/listlabel.h"
#include "richtext/textformat.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <array>
#include <vector>

namespace {

enum Emphasis : int { Bold = 1, Italic = 2, Struck = 4 };

// One character of a line as it is to be written: a picture is one character too.
struct Glyph
{
    QChar c;
    int emphasis = 0;
    QString href;    // the link target, empty outside links
    QString picture; // the picture's name, empty for text
};
using Line = std::vector<Glyph>;

bool isBlank(const Glyph &glyph)
{
    return glyph.picture.isEmpty() && glyph.c.isSpace();
}

// Readers differ in which symbols count as punctuation for the emphasis rules; a marker is only
// trusted where it holds under either reading.
bool mayBePunctuation(QChar c)
{
    return c.isPunct() || c.isSymbol();
}

bool isSurelyPunctuation(QChar c)
{
    return c.isPunct() || (c.unicode() < 128 && c.isSymbol());
}

// Whether a run of * or ~ between before and after could open (close) emphasis under either
// reading.
bool mayOpen(QChar before, QChar after)
{
    return !after.isSpace()
           && (!isSurelyPunctuation(after) || before.isSpace() || mayBePunctuation(before));
}

bool mayClose(QChar before, QChar after)
{
    return mayOpen(after, before);
}

// Whether such a run is surely read as opening (closing) emphasis: it must not possibly close
// (open) instead, unless it stands inside a word and no other run of its character could pair
// with it there (inWordAllowed).
bool opens(QChar before, QChar after, bool inWordAllowed)
{
    const bool left
        = !after.isSpace()
          && (!mayBePunctuation(after) || before.isSpace() || isSurelyPunctuation(before));
    const bool inWord = inWordAllowed && before.isLetterOrNumber() && after.isLetterOrNumber();
    return left && (inWord || !mayClose(before, after));
}

bool closes(QChar before, QChar after, bool inWordAllowed)
{
    const bool right
        = !before.isSpace()
          && (!mayBePunctuation(before) || after.isSpace() || isSurelyPunctuation(after));
    const bool inWord = inWordAllowed && before.isLetterOrNumber() && after.isLetterOrNumber();
    return right && (inWord || !mayOpen(before, after));
}

// A link destination with everything that would end or break it percent-encoded.
QString destination(const QString &url)
{
    QString text;
    for (QChar c : url) {
        if (c.unicode() <= 0x20 || c == u'(' || c == u')' || c == u'<' || c == u'>' || c == u'\\')
            text += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QChar(u'0')).toUpper();
        else
            text += c;
    }
    return text;
}

// One run of emphasis in a line, from glyph start to glyph end.
struct Span
{
    Emphasis kind;
    int start = 0;
    int end = 0;
    bool tags = false; // written as HTML tags, where the markers would not be read as emphasis
    bool alone = true; // no other run of its marker character inside or around it
};

// Writes one line of a paragraph (up to a line break) with its emphasis and links.
class LineWriter
{
public:
    explicit LineWriter(const Line &line)
        : m_line(line)
        , m_closing(line.size() + 1)
        , m_opening(line.size() + 1)
    {
        for (size_t start = 0; start < line.size();) {
            size_t end = start + 1;
            while (end < line.size() && line[end].href == line[start].href)
                ++end;
            addSpans(int(start), int(end));
            start = end;
        }
    }

    QString write()
    {
        // Markers that would not be read as emphasis become tags, which may change what their
        // neighbours stand between: until every remaining marker holds.
        for (;;) {
            writeOnce();
            bool changed = false;
            for (size_t span = 0; span < m_spans.size(); ++span) {
                Span &s = m_spans[span];
                if (!s.tags
                    && (!holds(span, m_openedAt[span], true)
                        || !holds(span, m_closedAt[span], false))) {
                    s.tags = true;
                    changed = true;
                }
            }
            if (!changed)
                return m_out;
        }
    }

private:
    // The spans of the glyphs from start to end (one link, or text between links): a blank takes
    // the emphasis its neighbours share, so that markers stand outside blanks, and runs that
    // overlap are split so that they nest.
    void addSpans(int start, int end)
    {
        // The nearest glyph that is not blank on either side, found in one pass each way.
        const size_t size = size_t(end - start);
        std::vector<int> before(size, -1);
        for (int i = start + 1, last = -1; i < end; ++i) {
            if (!isBlank(m_line[i - 1]))
                last = i - 1;
            before[size_t(i - start)] = last;
        }
        std::vector<int> after(size, -1);
        for (int i = end - 2, next = -1; i >= start; --i) {
            if (!isBlank(m_line[i + 1]))
                next = i + 1;
            after[size_t(i - start)] = next;
        }
        std::vector<int> emphasis(size);
        // How many glyphs before each are bold, and italic: whether a * run shares its character
        // with another inside or around it.
        std::vector<int> bold(size + 1), italic(size + 1);
        for (int i = start; i < end; ++i) {
            const size_t at = size_t(i - start);
            if (!isBlank(m_line[i]))
                emphasis[at] = m_line[i].emphasis;
            else if (before[at] >= 0 && after[at] >= 0)
                emphasis[at] = m_line[before[at]].emphasis & m_line[after[at]].emphasis;
            bold[at + 1] = bold[at] + ((emphasis[at] & Bold) ? 1 : 0);
            italic[at + 1] = italic[at] + ((emphasis[at] & Italic) ? 1 : 0);
        }
        // Where each glyph's run of each kind ends, for the order in which runs open.
        std::vector<std::array<int, 3>> runEnd(size + 1, {end, end, end});
        for (int i = end - 1; i >= start; --i) {
            const size_t at = size_t(i - start);
            for (int kind = 0; kind < 3; ++kind)
                runEnd[at][kind] = (emphasis[at] & (1 << kind)) ? runEnd[at + 1][kind] : i;
        }
        const auto endOfRun = [&](Emphasis kind, int from) {
            return runEnd[size_t(from - start)][kind == Bold ? 0 : kind == Italic ? 1 : 2];
        };
        std::vector<size_t> open;
        for (int i = start; i <= end; ++i) {
            const int wanted = i < end ? emphasis[size_t(i - start)] : 0;
            size_t kept = 0;
            while (kept < open.size() && (wanted & m_spans[open[kept]].kind))
                ++kept;
            while (open.size() > kept) {
                Span &span = m_spans[open.back()];
                span.end = i;
                const std::vector<int> &other = span.kind == Bold ? italic : bold;
                span.alone = span.kind == Struck
                             || other[size_t(i - start)] == other[size_t(span.start - start)];
                m_closing[size_t(i)].push_back(open.back());
                open.pop_back();
            }
            int present = 0;
            for (size_t span : open)
                present |= m_spans[span].kind;
            std::vector<Emphasis> missing;
            for (Emphasis kind : {Bold, Italic, Struck}) {
                if ((wanted & kind) && !(present & kind))
                    missing.push_back(kind);
            }
            // The longest run outermost, so that it is not split by the shorter ones.
            std::stable_sort(missing.begin(), missing.end(), [&](Emphasis a, Emphasis b) {
                return endOfRun(a, i) > endOfRun(b, i);
            });
            for (Emphasis kind : missing) {
                open.push_back(m_spans.size());
                m_opening[size_t(i)].push_back(m_spans.size());
                m_spans.push_back({kind, i, -1});
            }
        }
    }

    bool startsLink(size_t i) const
    {
        return i < m_line.size() && !m_line[i].href.isEmpty()
               && (i == 0 || m_line[i - 1].href != m_line[i].href);
    }

    bool endsLink(size_t i) const
    {
        return i > 0 && !m_line[i - 1].href.isEmpty()
               && (i == m_line.size() || m_line[i].href != m_line[i - 1].href);
    }

    void writeOnce()
    {
        m_out.clear();
        m_marker.clear();
        m_openedAt.assign(m_spans.size(), -1);
        m_closedAt.assign(m_spans.size(), -1);
        // Digits and a dot or parenthesis at the start would make the line a numbered list.
        size_t digits = 0;
        while (digits < m_line.size() && digits < 10 && m_line[digits].picture.isEmpty()
               && m_line[digits].c.isDigit() && m_line[digits].c.unicode() < 128)
            ++digits;
        const bool numbered = digits > 0 && digits < 10 && digits < m_line.size()
                              && (m_line[digits].c == u'.' || m_line[digits].c == u')');
        const size_t listDot = numbered ? digits : size_t(-1);
        for (size_t i = 0; i <= m_line.size(); ++i) {
            for (size_t span : m_closing[i])
                addMarker(span, false);
            if (endsLink(i))
                m_out += QStringLiteral("](") + destination(m_line[i - 1].href) + u')';
            if (startsLink(i))
                m_out += u'[';
            for (size_t span : m_opening[i])
                addMarker(span, true);
            if (i < m_line.size())
                addGlyph(i, i == listDot);
            m_marker.resize(size_t(m_out.size()), None);
        }
    }

    void addMarker(size_t span, bool opening)
    {
        static const char *const tags[] = {"strong", "em", "del"};
        const Span &s = m_spans[span];
        const int kind = s.kind == Bold ? 0 : s.kind == Italic ? 1 : 2;
        if (s.tags) {
            m_out += (opening ? QStringLiteral("<%1>") : QStringLiteral("</%1>"))
                         .arg(QLatin1String(tags[kind]));
            return;
        }
        m_marker.resize(size_t(m_out.size()), None);
        (opening ? m_openedAt : m_closedAt)[span] = int(m_out.size());
        m_out += QLatin1String(kind == 0 ? "**" : kind == 1 ? "*" : "~~");
        m_marker.resize(size_t(m_out.size()), opening ? Opening : Closing);
    }

    void addGlyph(size_t i, bool listDot)
    {
        const Glyph &glyph = m_line[i];
        if (!glyph.picture.isEmpty()) {
            m_out += QStringLiteral("![image](") + destination(glyph.picture) + u')';
            return;
        }
        const QChar c = glyph.c;
        // Leading blanks would be dropped, four of them would start code.
        if (i == 0 && (c == u' ' || c == u'\t')) {
            m_out += QStringLiteral("&#%1;").arg(c.unicode());
            return;
        }
        static const QString always = QStringLiteral("\\`*_[]<>&~");
        static const QString atStart = QStringLiteral("#+-=");
        const bool beforeLink = c == u'!' && startsLink(i + 1);
        if (always.contains(c) || (i == 0 && atStart.contains(c)) || listDot || beforeLink)
            m_out += u'\\';
        m_out += c;
    }

    // Whether the markers written at position at (of a span's opening or closing) are read as
    // such: their run of marker characters must open or close, and must not mix both.
    bool holds(size_t span, int at, bool opening) const
    {
        const QChar c = m_out.at(at);
        qsizetype first = at;
        while (first > 0 && m_marker[size_t(first - 1)] != None && m_out.at(first - 1) == c)
            --first;
        qsizetype last = at;
        while (last < m_out.size() && m_marker[size_t(last)] != None && m_out.at(last) == c)
            ++last;
        bool mixed = false;
        for (qsizetype j = first; j < last; ++j)
            mixed |= m_marker[size_t(j)] != (opening ? Opening : Closing);
        if (mixed && opening)
            return false;
        const QChar before = first > 0 ? m_out.at(first - 1) : QChar(u' ');
        const QChar after = last < m_out.size() ? m_out.at(last) : QChar(u' ');
        const bool alone = m_spans[span].alone;
        return opening ? opens(before, after, alone) : closes(before, after, alone);
    }

    enum Role : char { None, Opening, Closing };

    const Line &m_line;
    std::vector<Span> m_spans;
    std::vector<std::vector<size_t>> m_closing; // by glyph position, innermost first
    std::vector<std::vector<size_t>> m_opening; // by glyph position, outermost first
    QString m_out;
    std::vector<Role> m_marker; // by character of m_out
    std::vector<int> m_openedAt;
    std::vector<int> m_closedAt;
};

int emphasisOf(const QTextCharFormat &format)
{
    return (format.fontWeight() >= QFont::DemiBold ? Bold : 0) | (format.fontItalic() ? Italic : 0)
           | (format.fontStrikeOut() ? Struck : 0);
}

// The lines of block's text, without the blank lines at its start and end (Markdown keeps none).
std::vector<Line> linesOf(const QTextBlock &block)
{
    std::vector<Line> lines(1);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.objectType() == TextFormat::HiddenTextType)
            continue;
        Glyph glyph;
        glyph.emphasis = emphasisOf(format);
        if (format.isAnchor())
            glyph.href = format.anchorHref();
        if (format.isImageFormat())
            glyph.picture = format.toImageFormat().name();
        for (QChar c : it.fragment().text()) {
            if (c == QChar::LineSeparator) {
                lines.emplace_back();
                continue;
            }
            glyph.c = c;
            lines.back().push_back(glyph);
        }
    }
    const auto blank
        = [](const Line &line) { return std::all_of(line.begin(), line.end(), isBlank); };
    while (!lines.empty() && blank(lines.back()))
        lines.pop_back();
    lines.erase(lines.begin(), std::find_if_not(lines.begin(), lines.end(), blank));
    return lines;
}

// The lines of a paragraph joined by hard breaks; continuation lines are indented by indent.
QString paragraph(const std::vector<Line> &lines, int indent)
{
    QString text;
    for (const Line &line : lines) {
        if (!text.isEmpty())
            text += QStringLiteral("\\\n") + QString(indent, u' ');
        text += LineWriter(line).write();
    }
    return text;
}

QString itemMarker(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    const QTextListFormat format = list->format();
    if (!ListLabel::bullet(format).isEmpty())
        return QStringLiteral("-");
    const int start
        = format.hasProperty(TextFormat::ListStart) ? format.intProperty(TextFormat::ListStart) : 1;
    // Markdown numbers from 0 and with at most nine digits.
    const int number = std::clamp(start + list->itemNumber(block), 0, 999999999);
    return QString::number(number) + (ListLabel::suffix(format).endsWith(u')') ? u')' : u'.');
}

} // namespace

QString MarkdownWriter::write(const QTextDocument &document)
{
    // Notes keep their lists on one level: an item follows the item above it, or starts a list.
    QString out;
    const QTextList *lastList = nullptr; // of the item written last
    QChar lastKind;                      // the last character of its marker: '-', '.' or ')'
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        std::vector<Line> lines = linesOf(block);
        // A table row is one paragraph, as the note's text has it: its cells separated by tabs,
        // a cell's paragraphs lines of it (lists in cells unmarked: Markdown has no tables).
        if (const QTextTable *table = QTextCursor(block).currentTable()) {
            const int row = table->cellAt(block.position()).row();
            for (QTextBlock next = block.next(); next.isValid(); next = next.next()) {
                const QTextTableCell cell = table->cellAt(next.position());
                if (QTextCursor(next).currentTable() != table || cell.row() != row)
                    break;
                if (lines.empty())
                    lines.emplace_back();
                if (cell.firstPosition() == next.position())
                    lines.back().push_back(Glyph{u'\t', 0, {}, {}});
                else
                    lines.emplace_back();
                const std::vector<Line> more = linesOf(next);
                if (!more.empty()) {
                    lines.back().insert(lines.back().end(), more.front().begin(),
                                        more.front().end());
                    lines.insert(lines.end(), more.begin() + 1, more.end());
                }
                block = next;
            }
        }
        const QTextList *list = QTextCursor(block).currentTable() ? nullptr : block.textList();
        if (!list) {
            if (lines.empty())
                continue; // Markdown has no empty paragraphs: lists around one stay apart as
                          // they were
            if (!out.isEmpty())
                out += QStringLiteral("\n\n");
            out += paragraph(lines, 0);
            lastList = nullptr;
            continue;
        }
        const QString marker = itemMarker(block);
        if (list == lastList)
            out += u'\n';
        else if (lastList && lastKind == marker.back())
            // A list right after another of the same kind would be read as its continuation.
            out += QStringLiteral("\n\n<!-- -->\n\n");
        else if (!out.isEmpty())
            out += QStringLiteral("\n\n");
        out += marker;
        if (!lines.empty())
            out += u' ' + paragraph(lines, int(marker.size()) + 1);
        lastList = list;
        lastKind = marker.back();
    }
    if (!out.isEmpty())
        out += u'\n';
    return out;
}
