#include "richtext/contenttext.h"

#include "richtext/rtfcontent.h"
#include "richtext/textformat.h"

ContentText::ContentText(NoteText &note, const NoteText::FormatFilter &leaveOut)
    : m_note(note)
    , m_leaveOut(leaveOut)
{}

void ContentText::appendInserted(QString &to, QStringView text)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n' && c != QChar::ParagraphSeparator && c != 0xfdd0
            && c != 0xfdd1)
            continue;
        to += text.sliced(from, i - from);
        to += QChar::ParagraphSeparator;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    to += text.sliced(from);
}

void ContentText::finish(RtfContent &content)
{
    auto &paragraphs = content.paragraphs;
    if (m_leaveOut) {
        m_leftFormats.reserve(content.charFormats.size());
        for (const QTextCharFormat &format : content.charFormats)
            m_leftFormats.push_back(m_leaveOut(format));
    }
    // The paragraphs of the document as the inserter makes them: what follows the last
    // paragraph mark is no paragraph of its own, and the last mark is the document's own.
    if (paragraphs.size() > 1 && !paragraphs.back().terminated && paragraphs.back().runCount == 0)
        paragraphs.pop_back();
    if (!paragraphs.empty())
        paragraphs.back().terminated = false;
    m_note.text.reserve(m_note.text.size() + content.text.size() + qsizetype(paragraphs.size()));
    for (size_t i = 0; i < paragraphs.size(); ++i)
        appendParagraph(content, i);
}

bool ContentText::left(int charFormat) const
{
    return !m_leftFormats.empty() && m_leftFormats[size_t(charFormat)];
}

void ContentText::appendParagraph(const RtfContent &content, size_t i)
{
    const RtfContent::Paragraph &paragraph = content.paragraphs[i];
    QString &text = m_note.text;
    for (int r = paragraph.firstRun; r < paragraph.firstRun + paragraph.runCount; ++r) {
        const RtfContent::Run &run = content.runs[size_t(r)];
        if (left(run.charFormat))
            continue;
        if (run.object >= 0) {
            text += QChar::ObjectReplacementCharacter;
        } else if (content.charFormats[size_t(run.charFormat)].objectType()
                   == TextFormat::HiddenTextType) {
            // Hidden text stands in the document as one object.
            m_note.hidden.push_back(text.size());
            text += QChar::ObjectReplacementCharacter;
        } else {
            appendInserted(text, QStringView(content.text).sliced(run.start, run.length));
        }
    }
    if (paragraph.terminated && !left(paragraph.markFormat))
        text += QChar::ParagraphSeparator;
}
