#pragma once

#include "richtext/notetext.h"

struct RtfContent;

// Appends parsed RTF content to a note's text as ContentInserter puts it into
// an empty document: the text-only counterpart of building the document.
class ContentText
{
public:
    ContentText(NoteText &note, const NoteText::FormatFilter &leaveOut);

    // Appends the content that makes up the whole document.
    void finish(RtfContent &content);

    // Appends text as QTextCursor::insertText inserts it: CR LF, CR, LF and
    // the paragraph and frame marks each break a paragraph.
    static void appendInserted(QString &to, QStringView text);

private:
    void appendParagraph(const RtfContent &content, size_t i);
    bool left(int charFormat) const;

    NoteText &m_note;
    const NoteText::FormatFilter &m_leaveOut;
    std::vector<bool> m_leftFormats; // by character format, when filtering
};
