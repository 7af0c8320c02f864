#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/notequery.h"
#include "richtext/richdocument.h"

#include <QStringList>

namespace {

// Tabs separate the columns, so none may stand inside one.
QString column(QString text)
{
    return text.replace(u'\t', u' ');
}

int run(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return Subcommand::BadArguments;
    const NoteQuery query(arguments.mid(1).join(u' '));
    if (query.isEmpty())
        return Subcommand::BadArguments;
    QStringList files;
    QString error;
    if (!NoteFile::notesOfFolder(arguments.first(), &files, &error))
        return NoteFile::fail(error);

    bool found = false;
    bool written = true;
    const bool whole = NoteFile::forEachNote(files, [&](qsizetype number, RichDocument &document) {
        const QString text = QString::fromUtf8(NoteFile::plainText(*document.textDocument()));
        if (!query.matches(text))
            return true;
        found = true;
        const QString line = QStringLiteral("%1\t%2\t%3\n")
                                 .arg(number)
                                 .arg(column(NoteFile::title(document)),
                                      column(query.firstMatchingLine(text).toString()));
        written = NoteFile::writeOut(line.toUtf8());
        return written;
    });
    if (!written)
        return NoteFile::fail(QStringLiteral("cannot write the list to standard output"));
    // As grep: a read error outweighs the answer, which may be missing a note.
    return !whole ? 2 : found ? 0 : 1;
}

} // namespace

extern const Subcommand searchCommand
    = {"search", "DIR TEXT...",
       "list the notes of data folder DIR that contain all the words: number, title, first "
       "matching line; status 1 when none does",
       run};
