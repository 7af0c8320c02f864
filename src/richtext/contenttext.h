#pragma once

#include "richtext/notetext.h"

#include <QtGlobal>

#include <vector>

struct RtfContent;
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
    void paragraph(const RtfContent &content, size_t i);

    TextSink &m_sink;
    const NoteText::FormatFilter &m_leaveOut;
    // What becomes of text by character format.
    enum class Kind : quint8 { Shown, Hidden, Left };
    std::vector<Kind> m_kinds;
};
