#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/notequery.h"

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
    bool failed = false;
    for (qsizetype number = 0; number < files.size(); ++number) {
        NoteText note;
        if (!NoteFile::readText(files.at(number), &note, &error)) {
            NoteFile::warn(error);
            failed = true;
            continue;
        }
        const QString text = note.plainText();
        if (!query.matches(text))
            continue;
        found = true;
        const QString line = QStringLiteral("%1\t%2\t%3\n")
                                 .arg(number)
                                 .arg(column(NoteFile::title(note)),
                                      column(query.firstMatchingLine(text).toString()));
        if (!NoteFile::writeOut(line.toUtf8()))
            return NoteFile::fail(QStringLiteral("cannot write the list to standard output"));
    }
    // As grep: a read error outweighs the answer, which may be missing a note.
    return failed ? 2 : found ? 0 : 1;
}

} // namespace

extern const Subcommand searchCommand
    = {"search", "DIR TEXT...",
       "list the notes of data folder DIR that contain all the words: number, title, first "
       "matching line; status 1 when none does",
       run, true};
