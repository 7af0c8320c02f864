#pragma once

#include <QString>

class QTextDocument;

// Writes a note document as CommonMark that reads back with the note's text and emphasis:
// every character that would start markup of its own is escaped, bold, italic and struck text
// are marked around whole words (HTML tags where the emphasis rules cannot mark a run), links
// are written whole, lists keep their first numbers. Markdown has no room for empty
// paragraphs or runs of blanks; readers fold them as HTML does.
namespace MarkdownWriter {

QString write(const QTextDocument &document);

} // namespace MarkdownWriter
