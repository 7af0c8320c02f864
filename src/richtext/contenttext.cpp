#include "richtext/contenttext.h"

#include "richtext/rtftablelayout.h"
#include "richtext/textformat.h"
#include "richtext/textsink.h"

namespace {

// A cell's paragraphs are lines of its row.
class CellSink final : public TextSink
{
public:
    explicit CellSink(TextSink &row)
        : m_row(row)
    {}

    void text(QStringView text) override { m_row.text(text); }
    void object(bool hidden) override { m_row.object(hidden); }
    void paragraphBreak() override { m_row.text(QStringView(u"\u2028")); }

private:
    TextSink &m_row;
};

} // namespace

ContentText::ContentText(TextSink &sink, const NoteText::FormatFilter &leaveOut)
    : m_sink(sink)
    , m_leaveOut(leaveOut)
{}

void ContentText::insert(TextSink &sink, QStringView text)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n' && c != QChar::ParagraphSeparator && c != 0xfdd0
            && c != 0xfdd1)
            continue;
        if (i > from)
            sink.text(text.sliced(from, i - from));
        sink.paragraphBreak();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    if (from < text.size())
        sink.text(text.sliced(from));
}

void ContentText::finish(RtfContent &content)
{
    auto &paragraphs = content.paragraphs;
    // A note has few formats: each is looked at once.
    m_kinds.reserve(content.charFormats.size());
    for (const QTextCharFormat &format : content.charFormats) {
        m_kinds.push_back(m_leaveOut && m_leaveOut(format)                    ? Kind::Left
                          : format.objectType() == TextFormat::HiddenTextType ? Kind::Hidden
                                                                              : Kind::Shown);
    }
    // The paragraphs of the document as the inserter makes them: what follows the last
    // paragraph mark is no paragraph of its own, and the last mark is the document's own.
    if (paragraphs.size() > 1 && !paragraphs.back().terminated && paragraphs.back().runCount == 0)
        paragraphs.pop_back();
    if (!paragraphs.empty())
        paragraphs.back().terminated = false;
    const auto inTable = [&](size_t i) {
        return i < paragraphs.size() && paragraphs[i].inTable != RtfContent::InTable::No;
    };
    for (size_t i = 0; i < paragraphs.size();) {
        if (inTable(i)) {
            i = table(content, i);
        } else {
            // A table that follows begins a paragraph of its own.
            paragraph(content, i, !inTable(i + 1));
            ++i;
        }
    }
}

size_t ContentText::table(const RtfContent &content, size_t first)
{
    // As the document holds a table: each cell begun by a mark, which is a paragraph break
    // before a row's first cell and a tab before the others, and the cell's paragraphs lines.
    const RtfTableLayout layout(content, first);
    CellSink cellSink(m_sink);
    m_sink.tableBegins();
    int row = -1;
    for (const RtfTableLayout::Cell &cell : layout.cells()) {
        if (cell.merged)
            continue;
        if (cell.row != row)
            m_sink.paragraphBreak();
        else
            m_sink.text(u"\t");
        row = cell.row;
        for (size_t i = cell.first; i < cell.end; ++i) {
            runs(content, content.paragraphs[i], cellSink);
            if (i + 1 < cell.end && !leftOut(content.paragraphs[i].markFormat))
                cellSink.paragraphBreak();
        }
    }
    m_sink.tableEnds();
    // The table's end begins the paragraph after it, but for an empty last one.
    const auto &paragraphs = content.paragraphs;
    const size_t end = layout.end();
    if (end < paragraphs.size() && (end + 1 < paragraphs.size() || paragraphs[end].runCount > 0))
        m_sink.paragraphBreak();
    return end;
}

void ContentText::paragraph(const RtfContent &content, size_t i, bool mark)
{
    const RtfContent::Paragraph &paragraph = content.paragraphs[i];
    runs(content, paragraph, m_sink);
    if (mark && paragraph.terminated && !leftOut(paragraph.markFormat))
        m_sink.paragraphBreak();
}

void ContentText::runs(const RtfContent &content, const RtfContent::Paragraph &paragraph,
                       TextSink &sink)
{
    for (int r = paragraph.firstRun; r < paragraph.firstRun + paragraph.runCount; ++r) {
        const RtfContent::Run &run = content.runs[size_t(r)];
        const Kind kind = m_kinds[size_t(run.charFormat)];
        if (kind == Kind::Left)
            continue;
        if (run.object >= 0) {
            sink.object(false);
        } else if (kind == Kind::Hidden) {
            // Hidden text stands in the document as one object.
            sink.object(true);
        } else {
            insert(sink, QStringView(content.text).sliced(run.start, run.length));
        }
    }
}
