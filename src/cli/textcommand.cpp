#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/richdocument.h"

#include <QTextDocument>

namespace {

QByteArray render(const RichDocument &document)
{
    return NoteFile::plainText(*document.textDocument());
}

int run(const QStringList &arguments)
{
    return NoteFile::printNote(arguments, render, "text");
}

} // namespace

extern const Subcommand textCommand = {
    "text", "FILE", "print the note's plain text (UTF-8, LF line breaks, U+FFFC for objects)", run};
