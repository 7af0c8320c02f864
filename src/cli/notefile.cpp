#include "cli/notefile.h"

#include "cli/subcommand.h"

#include "platform/notefilename.h"
#include "platform/wholefile.h"
#include "richtext/notetitle.h"
#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"

#include <QDir>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <functional>

bool NoteFile::load(const QString &path, RichDocument &document, QString *error)
{
    QString reason;
    const std::optional<QByteArray> data = readWholeFile(path, FileSizeLimits::Note, &reason);
    if (!data) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, reason);
        return false;
    }
    // Nothing is undone in a one-shot run: the reader need not record its steps.
    QTextDocument *text = document.textDocument();
    text->setUndoRedoEnabled(false);
    QTextCursor cursor(text);
    cursor.select(QTextCursor::Document);
    const RtfReader::Result read = RtfReader::read(*data, cursor);
    if (!read) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, read.message);
        return false;
    }
    if (read.damaged())
        warn(QStringLiteral("%1 is damaged, read as far as it goes: %2").arg(path, read.message));
    else if (!read.pictureMessage.isEmpty())
        warn(QStringLiteral("%1: %2").arg(path, read.pictureMessage));
    return true;
}

namespace {

// Reads the note file at path and hands its data to read, which returns the damage found.
bool readData(const QString &path, QString *error,
              const std::function<QString(const QByteArray &)> &read)
{
    QString reason;
    const std::optional<QByteArray> data = readWholeFile(path, FileSizeLimits::Note, &reason);
    if (!data) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, reason);
        return false;
    }
    const QString damage = read(*data);
    if (!damage.isEmpty())
        NoteFile::warn(
            QStringLiteral("%1 is damaged, read as far as it goes: %2").arg(path, damage));
    return true;
}

} // namespace

bool NoteFile::readText(const QString &path, NoteText *note, QString *error,
                        const NoteText::FormatFilter &leaveOut)
{
    return readData(path, error, [&](const QByteArray &data) {
        *note = RtfReader::readText(data, leaveOut);
        return note->damage;
    });
}

bool NoteFile::readText(const QString &path, TextSink &sink, QString *error)
{
    return readData(path, error,
                    [&](const QByteArray &data) { return RtfReader::readText(data, sink); });
}

bool NoteFile::notesOfFolder(const QString &folder, QStringList *files, QString *error)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) {
        *error = QStringLiteral("%1 is not a readable folder").arg(folder);
        return false;
    }
    *files = NoteFilesInBoardOrder(QDir(folder).absolutePath() + u'/');
    return true;
}

QString NoteFile::title(const RichDocument &document)
{
    QString title = NoteTitle(document.Text());
    title.chop(2); // the dots
    return title;
}

QString NoteFile::title(const NoteText &note)
{
    QString title = NoteTitle(note.withCrLf());
    title.chop(2); // the dots
    return title;
}

QByteArray NoteFile::plainText(const QTextDocument &document)
{
    return NoteText::ofDocument(document).plainText().toUtf8();
}

int NoteFile::printNote(const QStringList &arguments, QByteArray (*render)(const RichDocument &),
                        const char *what)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    RichDocument document;
    QString error;
    if (!load(arguments.first(), document, &error))
        return fail(error);
    if (!writeOut(render(document)))
        return fail(
            QStringLiteral("cannot write the %1 to standard output").arg(QLatin1String(what)));
    return 0;
}

bool NoteFile::writeOut(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
           && std::fflush(stdout) == 0;
}

bool NoteFile::writeOut(const QString &text)
{
    return writeOut(text.toUtf8());
}

void NoteFile::warn(const QString &message)
{
    std::fprintf(stderr, "qelnote: %s\n", qPrintable(message));
}

int NoteFile::fail(const QString &message)
{
    warn(message);
    return 1;
}
