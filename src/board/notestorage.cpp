#include "board/notestorage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString PendingSuffix = QStringLiteral(".pending");
const QString JournalName = QStringLiteral("QelNotes_store.journal");

QString tr(const char *text)
{
    return QCoreApplication::translate("NoteStorage", text);
}

// What a decided store still has to do, kept on disk until it is done.
struct Journal
{
    int count = 0;                            // notes in the new series
    int previous = 0;                         // length of the ".rtf" series it replaces
    int previousText = 0;                     // length of the ".txt" series it replaces
    QList<std::pair<QString, QString>> moves; // file names to rename before anything else

    QByteArray toBytes() const
    {
        QByteArray text = "count=" + QByteArray::number(count)
                          + "\nprevious=" + QByteArray::number(previous)
                          + "\nprevioustext=" + QByteArray::number(previousText) + '\n';
        for (const auto &[from, to] : moves)
            text += "move=" + from.toUtf8() + '\t' + to.toUtf8() + '\n';
        return text;
    }

    static std::optional<Journal> parse(const QByteArray &bytes)
    {
        Journal journal;
        int numbers = 0;
        for (const QByteArray &line : bytes.split('\n')) {
            const qsizetype equals = line.indexOf('=');
            const QByteArray key = line.left(equals);
            const QByteArray value = line.mid(equals + 1);
            bool ok = true;
            if (key == "count") {
                journal.count = value.toInt(&ok);
                ++numbers;
            } else if (key == "previous") {
                journal.previous = value.toInt(&ok);
                ++numbers;
            } else if (key == "previoustext") {
                journal.previousText = value.toInt(&ok);
                ++numbers;
            } else if (key == "move") {
                const QList<QByteArray> names = value.split('\t');
                ok = names.size() == 2 && !names[0].contains('/') && !names[1].contains('/');
                if (ok)
                    journal.moves.append(
                        {QString::fromUtf8(names[0]), QString::fromUtf8(names[1])});
            }
            if (!ok)
                return std::nullopt;
        }
        if (numbers != 3)
            return std::nullopt;
        return journal;
    }
};

std::optional<QByteArray> readWhole(const QString &path, QString *error)
{
    if (QFileInfo(path).isDir()) {
        *error = tr("it is a folder");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return std::nullopt;
    }
    return data;
}

// The whole file or nothing: QSaveFile writes a temporary file, syncs it to
// the disk and renames it over path.
bool writeWhole(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

// Renames from over to in one step (QFile::rename refuses an existing target).
bool replaceFile(const QString &from, const QString &to, QString *error)
{
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(from).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), code);
    if (code)
        *error = QString::fromLocal8Bit(code.message());
    return !code;
}

enum class Durability {
    Flushed, // the folder is synced as a whole later
    Synced,  // on the disk when the call returns
};

// Writes a file that is only trusted once it is renamed into place or a
// journal names it, so it needs no temporary name of its own.
bool writePlain(const QString &path, const QByteArray &data, QString *error,
                Durability durability = Durability::Flushed)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size()
        && file.flush()) {
#ifdef Q_OS_UNIX
        if (durability == Durability::Synced && ::fsync(file.handle()) != 0) {
            *error = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
#else
        Q_UNUSED(durability);
#endif
        return true;
    }
    *error = file.errorString();
    return false;
}

// Makes what was written into folder, names included, survive a power cut and
// not only a killed process. One call for the whole file system costs far less
// than syncing a thousand note files one by one.
void syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (handle >= 0) {
#ifdef Q_OS_LINUX
        ::syncfs(handle);
#else
        ::sync();
#endif
        ::close(handle);
    }
#else
    Q_UNUSED(folder);
#endif
}

} // namespace

NoteStorage::NoteStorage(QString folder)
    : m_folder(std::move(folder))
{
    if (!m_folder.endsWith(u'/'))
        m_folder += u'/';
}

QString NoteStorage::noteFileName(int number, const QString &extension) const
{
    return m_folder + QStringLiteral("QelNotes_%1.%2").arg(number).arg(extension);
}

int NoteStorage::seriesLength(const QString &extension) const
{
    int length = 0;
    while (QFileInfo::exists(noteFileName(length, extension)))
        ++length;
    return length;
}

NoteLoadResult NoteStorage::load(const Parser &parser)
{
    NoteLoadResult result;
    m_unreadable.clear();
    m_seriesLength = -1;
    const bool finished = finishPendingStore();
    if (!finished)
        result.problems.append(m_error);

    for (const QString &extension : {QStringLiteral("rtf"), QStringLiteral("txt")}) {
        for (int number = 0;; ++number) {
            StoredNote note{noteFileName(number, extension), {}, number + 1};
            if (!QFileInfo::exists(note.fileName))
                break;
            QString error;
            std::optional<QByteArray> data = readWhole(note.fileName, &error);
            if (data) {
                note.data = std::move(*data);
                if (!parser || parser(note, &error)) {
                    result.notes.append(std::move(note));
                    continue;
                }
            }
            m_unreadable.append(note.fileName);
            result.problems.append(
                tr("The note file %1 could not be read (%2). The note is not shown; the file "
                   "is kept in its folder under a name beginning with \"QelNotes_unreadable_\".")
                    .arg(QDir::toNativeSeparators(note.fileName), error));
        }
    }
    // The list's positions are the file numbers only when every note came
    // from the ".rtf" series.
    if (finished && m_unreadable.isEmpty()
        && std::all_of(result.notes.cbegin(), result.notes.cend(), [](const StoredNote &note) {
               return note.fileName.endsWith(QStringLiteral(".rtf"));
           }))
        m_seriesLength = int(result.notes.size());
    return result;
}

bool NoteStorage::store(const QList<QByteArray> &notes)
{
    m_error.clear();
    m_seriesLength = -1;
    if (!finishPendingStore())
        return false;

    Journal journal;
    journal.count = int(notes.size());
    journal.previous = seriesLength(QStringLiteral("rtf"));
    journal.previousText = seriesLength(QStringLiteral("txt"));
    for (const QString &name : std::as_const(m_unreadable)) {
        if (QFileInfo::exists(name))
            journal.moves.append(
                {QFileInfo(name).fileName(), asideName(name, QStringLiteral("unreadable"))});
    }
    // Files behind a gap were never loaded; the new series must not overwrite them.
    for (int number = journal.previous + 1; number < journal.count; ++number) {
        const QString name = noteFileName(number);
        if (QFileInfo::exists(name))
            journal.moves.append(
                {QFileInfo(name).fileName(), asideName(name, QStringLiteral("unloaded"))});
    }

    const int staged = stage(notes, journal.previous);
    if (staged < 0) {
        dropPending();
        return false;
    }
    if (staged == 0 && journal.moves.isEmpty() && journal.previous == journal.count
        && journal.previousText == 0) {
        m_seriesLength = journal.count;
        return true;
    }

    syncFolder(m_folder);
    QString error;
    if (!writeWhole(m_folder + JournalName, journal.toBytes(), &error)) {
        dropPending();
        m_error = tr("The notes could not be stored: %1: %2.\nThe notes stored before are kept.")
                      .arg(QDir::toNativeSeparators(m_folder + JournalName), error);
        return false;
    }
    syncFolder(m_folder);
    if (!finishPendingStore())
        return false;
    m_unreadable.clear();
    m_seriesLength = journal.count;
    return true;
}

bool NoteStorage::storeNote(int number, const QByteArray &data)
{
    m_error.clear();
    if (number < 0 || number >= m_seriesLength) {
        m_error = tr("The note's file number is not known; all notes have to be stored.");
        return false;
    }
    // A killed program leaves at most the pending file, which the next load
    // or store drops: the note's previous file is still whole.
    const QString target = noteFileName(number);
    QString error;
    if (!writePlain(target + PendingSuffix, data, &error, Durability::Synced)
        || !replaceFile(target + PendingSuffix, target, &error)) {
        QFile::remove(target + PendingSuffix);
        m_error = tr("The note could not be stored: %1: %2.\nThe note stored before is kept.")
                      .arg(QDir::toNativeSeparators(target), error);
        return false;
    }
    return true;
}

// Writes every note whose file would change to "<file>.pending"; returns how
// many, or -1 when one failed.
int NoteStorage::stage(const QList<QByteArray> &notes, int previous)
{
    int staged = 0;
    for (int number = 0; number < notes.size(); ++number) {
        const QString target = noteFileName(number);
        if (number < previous && !m_unreadable.contains(target)) {
            QString ignored;
            if (readWhole(target, &ignored) == notes[number])
                continue;
        }
        QString error;
        if (!writePlain(target + PendingSuffix, notes[number], &error)) {
            m_error = tr("The notes could not be stored: %1: %2.\nThe notes stored before are "
                         "kept.")
                          .arg(QDir::toNativeSeparators(target), error);
            return -1;
        }
        ++staged;
    }
    return staged;
}

// Carries out a store whose journal is on disk; without a journal, pending
// files belong to a store that never got decided and are dropped.
bool NoteStorage::finishPendingStore()
{
    const QString journalPath = m_folder + JournalName;
    if (!QFileInfo::exists(journalPath)) {
        dropPending();
        return true;
    }
    QString error;
    const std::optional<QByteArray> bytes = readWhole(journalPath, &error);
    const std::optional<Journal> journal = bytes ? Journal::parse(*bytes) : std::nullopt;
    if (journal) {
        for (const auto &[from, to] : journal->moves) {
            if (QFileInfo::exists(m_folder + from)
                && !QFile::rename(m_folder + from, m_folder + to)) {
                m_error = tr("The note file %1 could not be renamed to %2, so the notes could "
                             "not be stored.")
                              .arg(QDir::toNativeSeparators(m_folder + from), to);
                return false;
            }
        }
        for (int number = 0; number < journal->count; ++number) {
            const QString pending = noteFileName(number) + PendingSuffix;
            if (QFileInfo::exists(pending) && !replaceFile(pending, noteFileName(number), &error)) {
                m_error = tr("The note file %1 could not be put in place: %2.\nIt is completed "
                             "at the next store or start.")
                              .arg(QDir::toNativeSeparators(noteFileName(number)), error);
                return false;
            }
        }
        // From the top down, so that a series cut short at any moment still
        // has no gap.
        for (int number = journal->previous - 1; number >= journal->count; --number)
            QFile::remove(noteFileName(number));
        for (int number = journal->previousText - 1; number >= 0; --number)
            QFile::remove(noteFileName(number, QStringLiteral("txt")));
        syncFolder(m_folder);
    }
    QFile::remove(journalPath);
    dropPending();
    return true;
}

void NoteStorage::dropPending() const
{
    const QStringList pending = QDir(m_folder).entryList(
        {QStringLiteral("QelNotes_*.rtf.pending*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : pending)
        QFile::remove(m_folder + name);
}

QString NoteStorage::asideName(const QString &fileName, const QString &kind) const
{
    const QFileInfo info(fileName);
    const QString number = info.completeBaseName().section(u'_', 1);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QStringLiteral("QelNotes_%1_%2_%3").arg(kind, number, stamp);
    QString candidate = name + u'.' + info.suffix();
    for (int copy = 2; QFileInfo::exists(m_folder + candidate); ++copy)
        candidate = name + u'-' + QString::number(copy) + u'.' + info.suffix();
    return candidate;
}
