#include "cli/notefile.h"
#include "cli/subcommand.h"

#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// Each paragraph followed by LF; line breaks inside a paragraph are LF too.
QByteArray plainText(const QTextDocument &document)
{
    QString text;
    text.reserve(document.characterCount());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        text += block.text();
        text += u'\n';
    }
    if (document.characterCount() <= 1)
        text.clear(); // an empty note prints nothing
    text.replace(QChar::LineSeparator, u'\n');
    return text.toUtf8();
}

int run(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    QTextDocument document;
    QString error;
    if (!NoteFile::load(arguments.first(), &document, &error))
        return NoteFile::fail(error);
    if (!NoteFile::writeOut(plainText(document)))
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return 0;
}

} // namespace

extern const Subcommand textCommand = {
    "text", "FILE", "print the note's plain text (UTF-8, LF line breaks, U+FFFC for objects)", run};
