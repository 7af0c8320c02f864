#include "cli/notefile.h"
#include "cli/subcommand.h"

namespace {

// Only the text is needed: the note is read without a document.
int run(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    NoteText note;
    QString error;
    if (!NoteFile::readText(arguments.first(), &note, &error))
        return NoteFile::fail(error);
    if (!NoteFile::writeOut(note.plainText().toUtf8()))
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return 0;
}

} // namespace

extern const Subcommand textCommand = {
    "text", "FILE", "print the note's plain text (UTF-8, LF line breaks, U+FFFC for objects)", run};
