#include "cli/notefile.h"
#include "cli/subcommand.h"
#include "cli/textprinter.h"

#include "platform/wholefile.h"
#include "richtext/rtfreader.h"

namespace {

// Only the text is needed: the note is read without a document and printed as it is read.
int run(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    TextPrinter printer(stdout);
    QString error;
    if (!NoteFile::readText(arguments.first(), printer, &error))
        return NoteFile::fail(error);
    if (!printer.finish())
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return 0;
}

} // namespace

extern const Subcommand textCommand
    = {"text", "FILE", "print the note's plain text (UTF-8, LF line breaks, U+FFFC for objects)",
       run, true};
