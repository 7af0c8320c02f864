#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/richdocument.h"
#include "richtext/rtfwriter.h"

namespace {

int run(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    RichDocument document;
    QString error;
    if (!NoteFile::load(arguments.first(), document, &error))
        return NoteFile::fail(error);
    if (!NoteFile::writeOut(RtfWriter::write(*document.textDocument())))
        return NoteFile::fail(QStringLiteral("cannot write the RTF to standard output"));
    return 0;
}

} // namespace

extern const Subcommand rtfCommand
    = {"rtf", "FILE", "print the note as the RTF QelNotes writes", run};
