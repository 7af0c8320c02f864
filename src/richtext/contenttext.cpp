#include "richtext/contenttext.h"

#include "richtext/rtfcontent.h"
#include "richtext/textformat.h"
#include "richtext/textsink.h"

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
    for (size_t i = 0; i < paragraphs.size(); ++i)
        paragraph(content, i);
}

void ContentText::paragraph(const RtfContent &content, size_t i)
{
    const RtfContent::Paragraph &paragraph = content.paragraphs[i];
    for (int r = paragraph.firstRun; r < paragraph.firstRun + paragraph.runCount; ++r) {
        const RtfContent::Run &run = content.runs[size_t(r)];
        const Kind kind = m_kinds[size_t(run.charFormat)];
        if (kind == Kind::Left)
            continue;
        if (run.object >= 0) {
            m_sink.object(false);
        } else if (kind == Kind::Hidden) {
            // Hidden text stands in the document as one object.
            m_sink.object(true);
        } else {
            insert(m_sink, QStringView(content.text).sliced(run.start, run.length));
        }
    }
    if (paragraph.terminated && m_kinds[size_t(paragraph.markFormat)] != Kind::Left)
        m_sink.paragraphBreak();
}
