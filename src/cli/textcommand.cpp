#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/richdocument.h"

namespace {

int run(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    RichDocument document;
    QString error;
    if (!NoteFile::load(arguments.first(), document, &error))
        return NoteFile::fail(error);
    if (!NoteFile::writeOut(NoteFile::plainText(*document.textDocument())))
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return 0;
}

} // namespace

extern const Subcommand textCommand = {
    "text", "FILE", "print the note's plain text (UTF-8, LF line breaks, U+FFFC for objects)", run};
