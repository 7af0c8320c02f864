#pragma once

#include <QString>

class QTextDocument;

// Reading a note file (RTF, or plain text in the system code page) for the
// subcommands that work on one.
namespace NoteFile {

// Replaces document's content with the note file at path. False with a
// one-line message when the file cannot be opened or read.
bool load(const QString &path, QTextDocument *document, QString *error);

// Writes bytes to standard output; false when that fails (a closed pipe, a full disk).
bool writeOut(const QByteArray &bytes);

// Prints "qelnote: message" on standard error and returns the failure status.
int fail(const QString &message);

} // namespace NoteFile
