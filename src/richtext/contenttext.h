#pragma once

#include "richtext/notetext.h"

#include "richtext/rtfcontent.h"

#include <QtGlobal>

#include <vector>

class TextSink;

// Hands parsed RTF content to a text sink as ContentInserter puts it into an
// empty document: the text-only counterpart of building the document.
class ContentText
{
public:
    ContentText(TextSink &sink, const NoteText::FormatFilter &leaveOut);

    // Hands over the content that makes up the whole document.
    void finish(RtfContent &content);

    // Hands over text as QTextCursor::insertText inserts it: CR LF, CR, LF and
    // the paragraph and frame marks each break a paragraph.
    static void insert(TextSink &sink, QStringView text);

private:
    // Hands over paragraph i's text, and the break after it when mark.
    void paragraph(const RtfContent &content, size_t i, bool mark);
    void runs(const RtfContent &content, const RtfContent::Paragraph &paragraph, TextSink &sink);
    // Hands over the table beginning with paragraph first; returns the paragraph after it.
    size_t table(const RtfContent &content, size_t first);
    bool leftOut(int format) const { return m_kinds[size_t(format)] == Kind::Left; }

    TextSink &m_sink;
    const NoteText::FormatFilter &m_leaveOut;
    // What becomes of text by character format.
    enum class Kind : quint8 { Shown, Hidden, Left };
    std::vector<Kind> m_kinds;
};
