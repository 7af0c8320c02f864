#pragma once

#include <QByteArray>
#include <QString>

class RichDocument;

// What the export subcommand writes of a note: Markdown, HTML or plain text
// that is only text, pictures and links — nothing a browser or a Markdown
// viewer would run.
namespace ExportContent {

enum class Format { Markdown, Html, PlainText };

// True for the link schemes an export keeps live: http, https, mailto, file.
bool isSafeLink(const QString &href);

// The note in format, with title as the HTML page's title. Pictures go into the file as data
// URLs; links of other schemes become their plain text; Markdown is written by MarkdownWriter.
// Pictures and objects of kinds that cannot be shown (metafiles, embedded objects) become their
// rendering or a box of their size, and *warning says how many. The document is changed on the
// way.
QByteArray render(RichDocument &note, Format format, const QString &title,
                  QString *warning = nullptr);

} // namespace ExportContent
