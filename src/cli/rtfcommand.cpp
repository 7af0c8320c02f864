#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/richdocument.h"
#include "richtext/rtfwriter.h"

namespace {

QByteArray render(const RichDocument &document)
{
    return RtfWriter::write(*document.textDocument());
}

int run(const QStringList &arguments)
{
    return NoteFile::printNote(arguments, render, "RTF");
}

} // namespace

extern const Subcommand rtfCommand
    = {"rtf", "FILE", "print the note as the RTF QelNotes writes", run};
