#include "cli/exportcontent.h"
#include "cli/exportfolder.h"
#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "richtext/richdocument.h"

#include <QStringList>

#include <optional>

namespace {

using ExportContent::Format;

struct Target
{
    Format format;
    const char *name;      // as --to takes it
    const char *extension; // of the written files
};

constexpr Target Targets[] = {{Format::Markdown, "md", "md"},
                              {Format::Html, "html", "html"},
                              {Format::PlainText, "txt", "txt"}};

struct Arguments
{
    QString folder;
    const Target *target = nullptr;
    QString out;
};

std::optional<Arguments> parse(const QStringList &arguments)
{
    Arguments parsed;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString format;
        if (arguments.at(i) == QLatin1String("--to") && i + 1 < arguments.size())
            format = arguments.at(++i);
        else if (arguments.at(i).startsWith(QLatin1String("--to=")))
            format = arguments.at(i).mid(5);
        else {
            positional.append(arguments.at(i));
            continue;
        }
        for (const Target &target : Targets) {
            if (format == QLatin1String(target.name))
                parsed.target = &target;
        }
        if (!parsed.target)
            return std::nullopt;
    }
    if (positional.size() != 2 || !parsed.target)
        return std::nullopt;
    parsed.folder = positional.at(0);
    parsed.out = positional.at(1);
    return parsed;
}

// A note's file name: its number (as wide as the highest) and its title, with
// what file systems and shells stumble on replaced.
QString exportName(qsizetype number, qsizetype count, const QString &title, const char *extension)
{
    constexpr qsizetype MaxTitle = 60;
    QString cut = title.left(MaxTitle);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    QString safe;
    for (QChar c : cut) {
        if (c == QChar::ObjectReplacementCharacter) // a picture or an object
            continue;
        const bool bad
            = c.unicode() < 32 || c.unicode() == 127 || QStringLiteral("/\\:*?\"<>|").contains(c);
        safe += bad ? u'_' : c;
    }
    safe = safe.simplified();
    // Leading dots hide a file; trailing dots and blanks some systems drop.
    while (!safe.isEmpty() && (safe.front() == u'.' || safe.front() == u' '))
        safe.remove(0, 1);
    while (!safe.isEmpty() && (safe.back() == u'.' || safe.back() == u' '))
        safe.chop(1);
    const int width = int(QString::number(std::max<qsizetype>(count - 1, 0)).size());
    QString name = QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
    if (!safe.isEmpty())
        name += u' ' + safe;
    return name + u'.' + QLatin1String(extension);
}

// The note file at path in format, with its title; plain text needs no document.
std::optional<QByteArray> exported(const QString &path, Format format, QString *title,
                                   QString *warning, QString *error)
{
    if (format == Format::PlainText) {
        NoteText note;
        if (!NoteFile::readText(path, &note, error))
            return std::nullopt;
        *title = NoteFile::title(note);
        return note.plainText().toUtf8();
    }
    RichDocument document;
    if (!NoteFile::load(path, document, error))
        return std::nullopt;
    *title = NoteFile::title(document);
    return ExportContent::render(document, format, *title, warning);
}

int run(const QStringList &arguments)
{
    const std::optional<Arguments> parsed = parse(arguments);
    if (!parsed)
        return Subcommand::BadArguments;
    QStringList files;
    QString error;
    if (!NoteFile::notesOfFolder(parsed->folder, &files, &error))
        return NoteFile::fail(error);
    ExportFolder out(parsed->out);
    if (!out.open(&error))
        return NoteFile::fail(error);

    bool failed = false;
    for (qsizetype number = 0; number < files.size(); ++number) {
        QString title;
        QString warning;
        const std::optional<QByteArray> bytes
            = exported(files.at(number), parsed->target->format, &title, &warning, &error);
        if (!bytes) {
            NoteFile::warn(error);
            failed = true;
            continue;
        }
        const QString name = exportName(number, files.size(), title, parsed->target->extension);
        if (!warning.isEmpty())
            NoteFile::warn(QStringLiteral("%1: %2").arg(name, warning));
        const std::optional<ExportFolder::Written> written = out.write(name, *bytes, &error);
        if (!written) {
            NoteFile::warn(error);
            failed = true;
        } else if (written->renamed) {
            NoteFile::warn(QStringLiteral("%1 is not a file an export wrote and was left alone: "
                                          "the note was written to %2")
                               .arg(name, written->path));
            failed = true;
        }
    }
    if (!out.saveRecord(&error)) {
        NoteFile::warn(error);
        failed = true;
    }
    return failed ? 1 : 0;
}

} // namespace

extern const Subcommand exportCommand
    = {"export", "DIR --to md|html|txt OUT",
       "write every note of data folder DIR into folder OUT as Markdown, HTML or plain text, "
       "one file per note named by number and title; files there that an export did not write "
       "are left alone (the note takes a new name and the status is 1)",
       run};
