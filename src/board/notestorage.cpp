#include "board/notestorage.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "platform/notefilename.h"
#include "platform/wholefile.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString PendingSuffix = QStringLiteral(".pending");
const QString JournalName = QStringLiteral("QelNotes_store.journal");
// The names files are moved aside to; a journal may only rename to these.
const QStringList AsideKinds
    = {QStringLiteral("unreadable"), QStringLiteral("unloaded"), QStringLiteral("converted")};

QString tr(const char *text)
{
    return QCoreApplication::translate("NoteStorage", text);
}

// A file's size and digest, as a journal records it: enough to tell the file
// a store wrote from one cut short or replaced since.
struct Fingerprint
{
    qint64 size = -1;
    QByteArray digest;

    static Fingerprint of(QByteArrayView data)
    {
        return {data.size(), QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex()};
    }

    bool operator==(const Fingerprint &) const = default;
};

std::optional<QByteArray> readWhole(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QFileInfo(path).isDir() ? tr("it is a folder") : file.errorString();
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return std::nullopt;
    }
    return data;
}

// The fingerprint of a regular file (links are not followed), if there is one.
std::optional<Fingerprint> fingerprintOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return std::nullopt;
    QString ignored;
    const std::optional<QByteArray> data = readWhole(path, &ignored);
    return data ? std::optional(Fingerprint::of(*data)) : std::nullopt;
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
// journal names it, so it needs no temporary name of its own. The file is
// made anew: whatever had the name before, a link above all, is removed and
// never written through.
bool writeNew(const QString &path, const QByteArray &data, QString *error,
              Durability durability = Durability::Flushed)
{
    if (QFileInfo(path).isSymLink() || QFileInfo::exists(path))
        QFile::remove(path);
    QFile file(path);
    // NewOnly creates the file exclusively (O_EXCL), which fails on any link.
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.write(data) == data.size()
        && file.flush() && file.error() == QFileDevice::NoError) {
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

// Something other than a file (a folder, say) where a note file belongs: no
// file can be renamed over it.
bool isObstacle(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isSymLink() && !info.isFile();
}

} // namespace

// What a decided store still has to do, kept on disk until it is done. It
// names every file it puts in place or removes by its fingerprint, and ends
// with a line of its own, so that a journal cut short, left over from other
// files or made by hand is recognised and does nothing.
struct NoteStorage::Journal
{
    int count = 0;                            // notes in the new series
    std::map<int, Fingerprint> puts;          // pending files to rename over the series
    std::map<int, Fingerprint> removals;      // files of the old series above count
    QList<std::pair<QString, QString>> moves; // file names to rename before anything else

    QByteArray toBytes() const
    {
        QByteArray text = "count=" + QByteArray::number(count) + '\n';
        for (const auto &[from, to] : moves)
            text += "move=" + from.toUtf8() + '\t' + to.toUtf8() + '\n';
        const auto fileLines = [&text](const char *key, const std::map<int, Fingerprint> &files) {
            for (const auto &[number, file] : files)
                text += key + QByteArray::number(number) + '\t' + QByteArray::number(file.size)
                        + '\t' + file.digest + '\n';
        };
        fileLines("put=", puts);
        fileLines("remove=", removals);
        return text + "end\n";
    }

    static bool isAsideName(const QString &name)
    {
        return std::any_of(AsideKinds.cbegin(), AsideKinds.cend(), [&name](const QString &kind) {
            return name.startsWith(QStringLiteral("QelNotes_%1_").arg(kind));
        });
    }

    static std::optional<Journal> parse(const QByteArray &bytes)
    {
        if (!bytes.endsWith("\nend\n"))
            return std::nullopt;
        Journal journal;
        journal.count = -1;
        const QList<QByteArray> lines = bytes.chopped(5).split('\n');
        for (const QByteArray &line : lines) {
            const qsizetype equals = line.indexOf('=');
            const QByteArray key = line.left(equals);
            const QList<QByteArray> fields = line.mid(equals + 1).split('\t');
            bool ok = equals > 0;
            if (key == "count" && fields.size() == 1) {
                journal.count = fields[0].toInt(&ok);
            } else if (key == "move" && fields.size() == 2) {
                const QString from = QString::fromUtf8(fields[0]);
                const QString to = QString::fromUtf8(fields[1]);
                ok = !from.contains(u'/') && !to.contains(u'/') && isAsideName(to);
                journal.moves.append({from, to});
            } else if ((key == "put" || key == "remove") && fields.size() == 3) {
                bool numberOk = false;
                bool sizeOk = false;
                const int number = fields[0].toInt(&numberOk);
                const Fingerprint file{fields[1].toLongLong(&sizeOk), fields[2]};
                ok = numberOk && sizeOk && number >= 0 && !file.digest.isEmpty();
                (key == "put" ? journal.puts : journal.removals)[number] = file;
            } else {
                ok = false;
            }
            if (!ok)
                return std::nullopt;
        }
        if (journal.count < 0)
            return std::nullopt;
        return journal;
    }
};

NoteStorage::NoteStorage(QString folder)
    : m_folder(std::move(folder))
{
    if (!m_folder.endsWith(u'/'))
        m_folder += u'/';
}

QString NoteStorage::noteFileName(int number, const QString &extension) const
{
    return NoteFileName(m_folder, number, extension);
}

int NoteStorage::seriesLength(const QString &extension) const
{
    int length = 0;
    while (QFileInfo::exists(noteFileName(length, extension)))
        ++length;
    return length;
}

QList<int> NoteStorage::numbersFrom(int first, const QString &extension) const
{
    static const QRegularExpression name(QStringLiteral("^QelNotes_(0|[1-9][0-9]{0,8})\\.(\\w+)$"));
    QList<int> numbers;
    // Every name is matched here once: QDir's name filters and sorting would
    // double the time of listing a folder of a thousand notes.
    QDirIterator files(m_folder, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    while (files.hasNext()) {
        files.next();
        const QRegularExpressionMatch match = name.match(files.fileName());
        if (match.hasMatch() && match.captured(2) == extension
            && match.captured(1).toInt() >= first)
            numbers.append(match.captured(1).toInt());
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

NoteLoadResult NoteStorage::load(const Parser &parser)
{
    NoteLoadResult result;
    m_unreadable.clear();
    m_seriesLength = -1;
    const Finish finished = finishPendingStore();
    if (finished == Finish::Failed)
        result.problems.append(m_error);
    if (finished == Finish::Discarded)
        result.problems.append(
            tr("An unfinished store of the notes did not match the note files and was not "
               "completed. The notes are shown as the files hold them."));

    for (const QString &extension : {QStringLiteral("rtf"), QStringLiteral("txt")}) {
        int number = 0;
        for (;; ++number) {
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
        for (int unloaded : numbersFrom(number + 1, extension))
            result.problems.append(
                tr("The note file %1 is not shown: the note files before it are not numbered "
                   "without a gap from 0. It is kept in its folder under a name beginning with "
                   "\"QelNotes_unloaded_\".")
                    .arg(QDir::toNativeSeparators(noteFileName(unloaded, extension))));
    }
    // The list's positions are the file numbers only when every note came
    // from the ".rtf" series.
    if (finished == Finish::Done && m_unreadable.isEmpty()
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
    // A journal that does not match the files is dropped: this store writes
    // every note anew.
    if (finishPendingStore() == Finish::Failed)
        return false;

    const int previous = seriesLength(QStringLiteral("rtf"));
    const int previousText = seriesLength(QStringLiteral("txt"));
    Journal journal;
    journal.count = int(notes.size());
    QStringList movedAside;
    const auto moveAside = [&](const QString &name, const QString &kind) {
        if (movedAside.contains(name))
            return;
        movedAside.append(name);
        journal.moves.append({QFileInfo(name).fileName(), asideName(name, kind)});
    };
    for (const QString &name : std::as_const(m_unreadable)) {
        if (QFileInfo::exists(name))
            moveAside(name, QStringLiteral("unreadable"));
    }
    for (int number = 0; number < std::max(journal.count, previous); ++number) {
        if (isObstacle(noteFileName(number)))
            moveAside(noteFileName(number), QStringLiteral("unreadable"));
    }
    // Files that were never loaded are kept, whatever their number.
    for (int number : numbersFrom(previous + 1, QStringLiteral("rtf")))
        moveAside(noteFileName(number), QStringLiteral("unloaded"));
    for (int number : numbersFrom(previousText + 1, QStringLiteral("txt")))
        moveAside(noteFileName(number, QStringLiteral("txt")), QStringLiteral("unloaded"));
    // The plain-text series now lives in the new ".rtf" files; the originals
    // stay as copies.
    for (int number = 0; number < previousText; ++number)
        moveAside(noteFileName(number, QStringLiteral("txt")), QStringLiteral("converted"));

    for (int number = journal.count; number < previous; ++number) {
        const QString name = noteFileName(number);
        if (movedAside.contains(name))
            continue;
        if (const std::optional<Fingerprint> file = fingerprintOf(name))
            journal.removals[number] = *file;
    }
    if (!stage(notes, previous, movedAside, &journal)) {
        dropPending();
        return false;
    }
    if (journal.puts.empty() && journal.moves.isEmpty() && journal.removals.empty()
        && previous == journal.count) {
        m_seriesLength = journal.count;
        return true;
    }

    syncFolder(m_folder);
    if (!writeJournal(journal)) {
        QFile::remove(m_folder + JournalName);
        dropPending();
        return false;
    }
    syncFolder(m_folder);
    if (finishPendingStore() != Finish::Done) {
        if (m_error.isEmpty())
            m_error = tr("The notes could not be stored: the files changed while they were "
                         "written.\nThe notes stored before are kept.");
        return false;
    }
    m_unreadable.clear();
    m_seriesLength = journal.count;
    return true;
}

bool NoteStorage::writeJournal(const Journal &journal)
{
    const QString path = m_folder + JournalName;
    const QByteArray bytes = journal.toBytes();
    QString error;
    // Read back: only a journal that is on the disk as written may decide a store.
    if (writeWholeFile(path, bytes, &error)) {
        if (readWhole(path, &error) == bytes)
            return true;
        if (error.isEmpty())
            error = tr("it reads back differently");
    }
    m_error = tr("The notes could not be stored: %1: %2.\nThe notes stored before are kept.")
                  .arg(QDir::toNativeSeparators(path), error);
    return false;
}

bool NoteStorage::storeNote(int number, const QByteArray &data)
{
    m_error.clear();
    if (!canStoreNote(number)) {
        m_error = tr("The note's file number is not known; all notes have to be stored.");
        return false;
    }
    return writeNoteFile(noteFileName(number), data, &m_error);
}

bool NoteStorage::writeNoteFile(const QString &path, const QByteArray &data, QString *error)
{
    // A killed program leaves at most the pending file, which the next load
    // or store drops: the note's previous file is still whole.
    QString reason;
    if (!writeNew(path + PendingSuffix, data, &reason, Durability::Synced)
        || !replaceFile(path + PendingSuffix, path, &reason)) {
        QFile::remove(path + PendingSuffix);
        *error = tr("The note could not be stored: %1: %2.\nThe note stored before is kept.")
                     .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    return true;
}

// Writes every note whose file would change to "<file>.pending" and enters it
// in the journal; false when one failed.
bool NoteStorage::stage(const QList<QByteArray> &notes, int previous, const QStringList &movedAside,
                        Journal *journal)
{
    for (int number = 0; number < notes.size(); ++number) {
        const QString target = noteFileName(number);
        if (number < previous && !movedAside.contains(target)) {
            QString ignored;
            if (readWhole(target, &ignored) == notes[number])
                continue;
        }
        QString error;
        if (!writeNew(target + PendingSuffix, notes[number], &error)) {
            m_error = tr("The notes could not be stored: %1: %2.\nThe notes stored before are "
                         "kept.")
                          .arg(QDir::toNativeSeparators(target), error);
            return false;
        }
        journal->puts[number] = Fingerprint::of(notes[number]);
    }
    return true;
}

// True when the files are those the journal was written for, at any point of
// carrying it out.
bool NoteStorage::matchesDisk(const Journal &journal) const
{
    for (const auto &[from, to] : journal.moves) {
        const QFileInfo source(m_folder + from);
        if ((source.exists() || source.isSymLink()) && QFileInfo::exists(m_folder + to))
            return false;
    }
    for (int number = 0; number < journal.count; ++number) {
        const QString target = noteFileName(number);
        const auto file = journal.puts.find(number);
        if (file == journal.puts.end()) {
            if (!QFileInfo::exists(target))
                return false;
            continue;
        }
        const QString pending = target + PendingSuffix;
        if (!QFileInfo(pending).isSymLink() && fingerprintOf(pending) == file->second)
            continue;
        if (fingerprintOf(target) != file->second)
            return false;
    }
    for (const auto &[number, file] : journal.removals) {
        const QString name = noteFileName(number);
        if (QFileInfo::exists(name) && fingerprintOf(name) != file)
            return false;
    }
    return true;
}

// Carries out a store whose journal is on disk and matches the files; any
// other journal is dropped. Without a journal, pending files belong to a
// store that never got decided and are dropped too.
NoteStorage::Finish NoteStorage::finishPendingStore()
{
    const QString journalPath = m_folder + JournalName;
    const QFileInfo journalFile(journalPath);
    if (!journalFile.exists() && !journalFile.isSymLink()) {
        dropPending();
        return Finish::Done;
    }
    QString error;
    std::optional<Journal> journal;
    if (!journalFile.isSymLink()) {
        if (const std::optional<QByteArray> bytes = readWhole(journalPath, &error))
            journal = Journal::parse(*bytes);
    }
    if (!journal || !matchesDisk(*journal)) {
        QFile::remove(journalPath);
        dropPending();
        return Finish::Discarded;
    }

    for (const auto &[from, to] : journal->moves) {
        if (QFileInfo::exists(m_folder + from) && !QFile::rename(m_folder + from, m_folder + to)) {
            m_error = tr("The note file %1 could not be renamed to %2, so the notes could "
                         "not be stored.")
                          .arg(QDir::toNativeSeparators(m_folder + from), to);
            return Finish::Failed;
        }
    }
    for (const auto &put : journal->puts) {
        const QString target = noteFileName(put.first);
        const QString pending = target + PendingSuffix;
        if (!QFileInfo::exists(pending))
            continue;
        // Made since the journal was written: no file can be renamed over it.
        const QString aside = asideName(target, QStringLiteral("unreadable"));
        if (isObstacle(target) && !QFile::rename(target, m_folder + aside)) {
            m_error = tr("The note file %1 could not be renamed to %2, so the notes could "
                         "not be stored.")
                          .arg(QDir::toNativeSeparators(target), aside);
            return Finish::Failed;
        }
        if (!replaceFile(pending, target, &error)) {
            m_error = tr("The note file %1 could not be put in place: %2.\nIt is completed "
                         "at the next store or start.")
                          .arg(QDir::toNativeSeparators(target), error);
            return Finish::Failed;
        }
    }
    // From the top down, so that a series cut short at any moment still has
    // no gap.
    for (auto file = journal->removals.crbegin(); file != journal->removals.crend(); ++file)
        QFile::remove(noteFileName(file->first));
    syncFolder(m_folder);
    QFile::remove(journalPath);
    dropPending();
    return Finish::Done;
}

void NoteStorage::dropPending() const
{
    const QStringList pending = QDir(m_folder).entryList(
        {QStringLiteral("QelNotes_*.rtf.pending*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : pending)
        QFile::remove(m_folder + name);
}

QString NoteStorage::keepDamagedCopy(const StoredNote &note)
{
    const QString name = asideName(note.fileName, QStringLiteral("damaged"));
    QString error;
    if (!writeNew(m_folder + name, note.data, &error, Durability::Synced)) {
        QFile::remove(m_folder + name); // a copy cut short would pass for the note's file
        m_error = tr("The copy %1 of the damaged note file %2 could not be written: %3.")
                      .arg(name, QDir::toNativeSeparators(note.fileName), error);
        return {};
    }
    return name;
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
