#pragma once

#include "richtext/notetext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QTextDocument;
class RichDocument;

// Reading and printing note files for the subcommands that work on one.
namespace NoteFile {

// Replaces document's content with the note file at path (RTF, or plain text
// in the system code page), as a note editor loads it. False with a one-line
// message when the file cannot be opened or read, is no regular file (a
// FIFO, a device) or is larger than a note may be. A file cut short is read as
// far as it goes, with a one-line warning on standard error.
bool load(const QString &path, RichDocument &document, QString *error);

// Reads the note file at path as its text alone, without a document
// (RtfReader::readText): for the subcommands that need no format. False and
// messages as for load(); pictures are not decoded, so none is reported damaged.
bool readText(const QString &path, NoteText *note, QString *error,
              const NoteText::FormatFilter &leaveOut = {});
bool readText(const QString &path, TextSink &sink, QString *error);

// The note files of the data folder folder in board order, or false with a
// one-line message when folder is no readable folder.
bool notesOfFolder(const QString &folder, QStringList *files, QString *error);

// The title of a loaded note as the board shows it, without the dots.
QString title(const RichDocument &document);
QString title(const NoteText &note);

// The note's plain text as UTF-8 (NoteText::plainText).
QByteArray plainText(const QTextDocument &document);

// The body of a subcommand taking one note file: loads it and prints what
// render makes of the loaded document. Returns the exit status.
int printNote(const QStringList &arguments, QByteArray (*render)(const RichDocument &),
              const char *what);

// Writes bytes to standard output; false when that fails (a closed pipe, a full disk).
bool writeOut(const QByteArray &bytes);
// Writes text to standard output as UTF-8.
bool writeOut(const QString &text);

// Prints "qelnote: message" on standard error.
void warn(const QString &message);

// Prints "qelnote: message" on standard error and returns the failure status.
int fail(const QString &message);

} // namespace NoteFile
