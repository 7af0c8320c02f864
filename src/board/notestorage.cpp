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
#include <utility>

#include "platform/notefilename.h"
#include "platform/wholefile.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString PendingSuffix = QStringLiteral(".pending");
const QString JournalName = QStringLiteral("QelNotes_store.journal");
// The names files are moved aside to; a journal may only rename to these.
const QStringList AsideKinds = {QStringLiteral("unreadable"), QStringLiteral("unloaded"),
                                QStringLiteral("converted"), QStringLiteral("conflict")};

QString tr(const char *text)
{
    return QCoreApplication::translate("NoteStorage", text);
}

// Every file of the folder is read this way: a link is never followed (a
// peer of a sync tool may plant one to a private file), a FIFO never waits.
std::optional<QByteArray> readWhole(const QString &path, QString *error)
{
    return readWholeFile(path, FileSizeLimits::Note, error, FileLinks::Refuse);
}

// The notice for a note file removed from outside while its note has
// changes made here.
QString removedNotice(const QString &name)
{
    return tr("The note file %1 was removed by another program after it was read here. The note "
              "is still shown here and is stored in it again.")
        .arg(name);
}

QByteArray digestOf(QByteArrayView data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

bool existsOrLinks(const QString &path)
{
#ifdef Q_OS_UNIX
    // One look at the name itself, a dangling link included.
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
#else
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
#endif
}

// Copies of note files that sync tools keep when both sides changed one
// ("QelNotes_2.sync-conflict-<...>.rtf", "QelNotes_3 (conflicted copy).rtf"),
// and those a store keeps of files changed from outside.
bool isConflictCopy(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral(
            "^QelNotes_(conflict_\\d+_[^/]+\\.rtf|\\d+(\\.rtf)?[ ._(~-][^/]*conflict[^/]*)$"),
        QRegularExpression::CaseInsensitiveOption);
    return !name.endsWith(PendingSuffix) && name != JournalName && pattern.match(name).hasMatch();
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
#ifdef Q_OS_UNIX
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISLNK(status.st_mode)
           && !S_ISREG(status.st_mode);
#else
    const QFileInfo info(path);
    return info.exists() && !info.isSymLink() && !info.isFile();
#endif
}

} // namespace

NoteStorage::Fingerprint NoteStorage::Fingerprint::of(const QByteArray &contents)
{
    Fingerprint file;
    file.m_size = contents.size();
    file.m_contents = contents;
    return file;
}

NoteStorage::Fingerprint NoteStorage::Fingerprint::fromDigest(qint64 size, const QByteArray &digest)
{
    Fingerprint file;
    file.m_size = size;
    file.m_digest = digest;
    return file;
}

QByteArray NoteStorage::Fingerprint::digest() const
{
    return m_contents ? digestOf(*m_contents) : m_digest;
}

bool NoteStorage::Fingerprint::operator==(const Fingerprint &other) const
{
    if (m_size != other.m_size)
        return false;
    if (m_contents && other.m_contents) {
        // The note's bytes and those stored from it are mostly one array.
        return m_contents->constData() == other.m_contents->constData()
               || *m_contents == *other.m_contents;
    }
    return digest() == other.digest();
}

std::optional<NoteStorage::Fingerprint> NoteStorage::fingerprintOf(const QString &path)
{
    QString ignored;
    const std::optional<QByteArray> data = readWhole(path, &ignored);
    return data ? std::optional(Fingerprint::of(*data)) : std::nullopt;
}

// What a store found of files changed from outside, told once it is done.
struct NoteStorage::Plan
{
    QStringList movedAside; // full names of files moved aside before the store
    QSet<int> unchanged;    // numbers whose file already holds the note
    struct Notice
    {
        QString name;
        QByteArray contents;
        QString message;
    };
    QList<Notice> notices;
};

// What a decided store still has to do, kept on disk until it is done. It
// names every file it puts in place or removes by its fingerprint, and ends
// with a line of its own, so that a journal cut short, left over from other
// files or made by hand is recognised and does nothing.
struct NoteStorage::Journal
{
    int count = 0;                            // notes in the new series
    std::map<int, Fingerprint> puts;          // pending files to rename over the series
    std::map<int, Fingerprint> removals;      // files of the old series above count
    std::map<QString, Fingerprint> drops;     // conflict copies now in the series
    QList<std::pair<QString, QString>> moves; // file names to rename before anything else

    QByteArray toBytes() const
    {
        QByteArray text = "count=" + QByteArray::number(count) + '\n';
        for (const auto &[from, to] : moves)
            text += "move=" + from.toUtf8() + '\t' + to.toUtf8() + '\n';
        const auto fileLines = [&text](const char *key, const std::map<int, Fingerprint> &files) {
            for (const auto &[number, file] : files)
                text += key + QByteArray::number(number) + '\t' + QByteArray::number(file.size())
                        + '\t' + file.digest() + '\n';
        };
        fileLines("put=", puts);
        fileLines("remove=", removals);
        for (const auto &[name, file] : drops)
            text += "drop=" + name.toUtf8() + '\t' + QByteArray::number(file.size()) + '\t'
                    + file.digest() + '\n';
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
            } else if (key == "drop" && fields.size() == 3) {
                const QString name = QString::fromUtf8(fields[0]);
                bool sizeOk = false;
                const Fingerprint file
                    = Fingerprint::fromDigest(fields[1].toLongLong(&sizeOk), fields[2]);
                ok = isConflictCopy(name) && sizeOk && !fields[2].isEmpty();
                journal.drops[name] = file;
            } else if ((key == "put" || key == "remove") && fields.size() == 3) {
                bool numberOk = false;
                bool sizeOk = false;
                const int number = fields[0].toInt(&numberOk);
                const Fingerprint file
                    = Fingerprint::fromDigest(fields[1].toLongLong(&sizeOk), fields[2]);
                ok = numberOk && sizeOk && number >= 0 && !fields[2].isEmpty();
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
    return NoteSeriesLength(m_folder, extension);
}

QList<int> NoteStorage::numbersFrom(int first, const QString &extension) const
{
    QList<int> numbers;
    // Every name is matched here once: QDir's name filters and sorting would
    // double the time of listing a folder of a thousand notes.
    QDirIterator files(m_folder, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    while (files.hasNext()) {
        files.next();
        const std::optional<NoteFileNumber> file = ParseNoteFileName(files.fileName());
        if (file && file->extension == extension && file->number >= first)
            numbers.append(file->number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

NoteLoadResult NoteStorage::load(const Parser &parser)
{
    NoteLoadResult result;
    m_unreadable.clear();
    m_unloaded.clear();
    m_copies.clear();
    m_seriesLength = -1;
    const Finish finished = finishPendingStore();
    if (finished == Finish::Failed)
        result.problems.append(m_error);
    if (finished == Finish::Discarded)
        result.problems.append(
            tr("An unfinished store of the notes did not match the note files and was not "
               "completed. The notes are shown as the files hold them."));

    m_known.clear();
    m_checked.clear();
    for (const QString &extension : {QStringLiteral("rtf"), QStringLiteral("txt")}) {
        int number = 0;
        for (;; ++number) {
            StoredNote note{noteFileName(number, extension), {}, number + 1};
            if (!existsOrLinks(note.fileName))
                break;
            QString error;
            std::optional<QByteArray> data = readWhole(note.fileName, &error);
            if (data) {
                note.data = std::move(*data);
                if (!parser || parser(note, &error)) {
                    m_known[QFileInfo(note.fileName).fileName()] = Fingerprint::of(note.data);
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
        if (extension == QStringLiteral("rtf"))
            m_knownLength = number;
        for (int unloaded : numbersFrom(number + 1, extension)) {
            m_unloaded.append(noteFileName(unloaded, extension));
            result.problems.append(
                tr("The note file %1 is not shown: the note files before it are not numbered "
                   "without a gap from 0. It is kept in its folder under a name beginning with "
                   "\"QelNotes_unloaded_\".")
                    .arg(QDir::toNativeSeparators(m_unloaded.last())));
        }
    }
    loadConflictCopies(parser, &result);
    // The list's positions are the file numbers only when every note came
    // from the ".rtf" series.
    if (finished == Finish::Done && m_unreadable.isEmpty()
        && std::all_of(result.notes.cbegin(), result.notes.cend(), [](const StoredNote &note) {
               return note.fileName.endsWith(QStringLiteral(".rtf"))
                      && !isConflictCopy(QFileInfo(note.fileName).fileName());
           }))
        m_seriesLength = int(result.notes.size());
    return result;
}

// Conflict copies become notes of their own after the series, in name order:
// the next store writes them into the series and removes the copies.
void NoteStorage::loadConflictCopies(const Parser &parser, NoteLoadResult *result)
{
    QStringList names;
    QDirIterator files(m_folder,
                       QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    while (files.hasNext()) {
        files.next();
        if (isConflictCopy(files.fileName()))
            names.append(files.fileName());
    }
    std::sort(names.begin(), names.end());
    for (const QString &name : std::as_const(names)) {
        // No window record of its own: it gets the one of its place at the next store.
        StoredNote note{m_folder + name, {}, 0};
        QString error;
        std::optional<QByteArray> data = readWhole(note.fileName, &error);
        if (data) {
            note.data = std::move(*data);
            m_known[name] = Fingerprint::of(note.data);
            // Two tools may keep the same text (the sync tool's copy and a
            // store's): a copy of a note already shown adds nothing but a
            // twin, and goes with the next store.
            const bool twin
                = std::any_of(result->notes.cbegin(), result->notes.cend(),
                              [&note](const StoredNote &shown) { return shown.data == note.data; });
            if (twin) {
                m_copies.append(note.fileName);
                continue;
            }
            if (!parser || parser(note, &error)) {
                m_copies.append(note.fileName);
                result->notes.append(std::move(note));
                result->problems.append(
                    tr("The note file %1 is a copy kept of a note that was changed in two places "
                       "(by a sync tool or by this program). It is shown as a note of its own at "
                       "the end of the board, and stored with the other notes from now on.")
                        .arg(QDir::toNativeSeparators(m_folder + name)));
                continue;
            }
        }
        m_unreadable.append(note.fileName);
        result->problems.append(
            tr("The note file %1 could not be read (%2). The note is not shown; the file "
               "is kept in its folder under a name beginning with \"QelNotes_unreadable_\".")
                .arg(QDir::toNativeSeparators(note.fileName), error));
    }
}

bool NoteStorage::isKnown(const QString &name, const Fingerprint &file) const
{
    const auto known = m_known.find(name);
    return known != m_known.end() && known->second == file;
}

void NoteStorage::tell(const QString &name, QByteArrayView contents, const QString &message)
{
    // The same file in the same state is told about once, however often it is stored.
    const QByteArray key = name.toUtf8() + '\t' + digestOf(contents);
    if (!m_told.contains(key)) {
        m_told.insert(key);
        m_notices.append(message);
    }
}

QStringList NoteStorage::takeNotices()
{
    QMutexLocker lock(&m_mutex);
    return std::exchange(m_notices, {});
}

QList<StoredNote> NoteStorage::takeAddedFiles()
{
    QList<StoredNote> added;
    QStringList copies;
    static const QRegularExpression series(QStringLiteral("^QelNotes_(0|[1-9][0-9]{0,8})\\.rtf$"));
    QDirIterator files(m_folder, QDir::Files | QDir::Hidden | QDir::System);
    while (files.hasNext()) {
        files.next();
        const QString name = files.fileName();
        const QRegularExpressionMatch match = series.match(name);
        const bool behindSeries = match.hasMatch() && match.captured(1).toInt() >= m_knownLength;
        const QString path = m_folder + name;
        if ((behindSeries || isConflictCopy(name)) && !m_known.count(name)
            && !m_unloaded.contains(path) && !m_unreadable.contains(path))
            (behindSeries ? added.append(StoredNote{path, {}, 0}) : copies.append(path));
    }
    std::sort(added.begin(), added.end(), [](const StoredNote &a, const StoredNote &b) {
        return a.fileName.size() != b.fileName.size() ? a.fileName.size() < b.fileName.size()
                                                      : a.fileName < b.fileName;
    });
    std::sort(copies.begin(), copies.end());
    for (const QString &path : std::as_const(copies))
        added.append(StoredNote{path, {}, 0});

    QMutexLocker lock(&m_mutex);
    QList<StoredNote> notes;
    for (StoredNote &note : added) {
        QString ignored;
        std::optional<QByteArray> data = readWhole(note.fileName, &ignored);
        // One that cannot be read is the next store's to set aside.
        if (!data)
            continue;
        note.data = std::move(*data);
        const QString name = QFileInfo(note.fileName).fileName();
        m_known[name] = Fingerprint::of(note.data);
        if (isConflictCopy(name))
            m_copies.append(note.fileName);
        notes.append(std::move(note));
    }
    return notes;
}

std::optional<NoteStorage::Stamp> NoteStorage::Stamp::of(const QString &path)
{
#ifdef Q_OS_UNIX
    // The change time moves with every write and rename and cannot be set
    // back the way a sync tool sets the modification time.
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    const qint64 fields[] = {qint64(status.st_dev),          qint64(status.st_ino),
                             qint64(status.st_size),         qint64(status.st_mtim.tv_sec),
                             qint64(status.st_mtim.tv_nsec), qint64(status.st_ctim.tv_sec),
                             qint64(status.st_ctim.tv_nsec)};
    return Stamp{QByteArray(reinterpret_cast<const char *>(fields), sizeof fields)};
#else
    Q_UNUSED(path);
    return std::nullopt;
#endif
}

QList<NoteStorage::OutsideChange> NoteStorage::outsideChanges()
{
    QMutexLocker lock(&m_mutex);
    QList<OutsideChange> changes;
    for (int number = 0; number < m_knownLength; ++number) {
        const QString path = noteFileName(number);
        const QString name = QFileInfo(path).fileName();
        const auto known = m_known.find(name);
        if (known == m_known.end())
            continue;
        const std::optional<Stamp> stamp = Stamp::of(path);
        const auto checked = m_checked.find(name);
        if (stamp && checked != m_checked.end() && checked->second.first == *stamp
            && checked->second.second == known->second)
            continue;
        if (!existsOrLinks(path)) {
            changes.append({number, std::nullopt});
            continue;
        }
        QString ignored;
        std::optional<QByteArray> data = readWhole(path, &ignored);
        if (!data)
            continue;
        if (Fingerprint::of(*data) != known->second)
            changes.append({number, std::move(data)});
        else if (stamp)
            m_checked[name] = {*stamp, known->second};
    }
    return changes;
}

void NoteStorage::keepRemovedNote(int number)
{
    QMutexLocker lock(&m_mutex);
    const QString name = QFileInfo(noteFileName(number)).fileName();
    tell(name, {}, removedNotice(name));
}

void NoteStorage::acceptOutsideChange(const OutsideChange &change)
{
    QMutexLocker lock(&m_mutex);
    const QString name = QFileInfo(noteFileName(change.number)).fileName();
    if (change.data)
        m_known[name] = Fingerprint::of(*change.data);
    else
        m_known.erase(name);
}

bool NoteStorage::store(const QList<QByteArray> &notes)
{
    m_error.clear();
    m_seriesLength = -1;
    // A journal that does not match the files is dropped: this store writes
    // every note anew.
    if (finishPendingStore() == Finish::Failed)
        return false;

    Journal journal;
    journal.count = int(notes.size());
    const Plan plan = this->plan(notes, &journal);
    if (!stage(notes, plan, &journal)) {
        dropPending();
        return false;
    }
    if (!journal.puts.empty() || !journal.moves.isEmpty() || !journal.removals.empty()
        || !journal.drops.empty()) {
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
    }
    m_unreadable.clear();
    m_unloaded.clear();
    m_copies.clear();
    QMutexLocker lock(&m_mutex);
    m_known.clear();
    for (int number = 0; number < notes.size(); ++number)
        m_known[QFileInfo(noteFileName(number)).fileName()] = Fingerprint::of(notes[number]);
    m_knownLength = journal.count;
    m_seriesLength = journal.count;
    for (const Plan::Notice &notice : plan.notices)
        tell(notice.name, notice.contents, notice.message);
    return true;
}

// Decides what a store of notes does with the files there are: which go
// aside, which are removed and which already hold their note. Only files
// whose contents this object knows are replaced or removed.
NoteStorage::Plan NoteStorage::plan(const QList<QByteArray> &notes, Journal *journal)
{
    Plan plan;
    const int count = int(notes.size());
    const auto moveAside = [&](const QString &name, const QString &kind) {
        if (plan.movedAside.contains(name))
            return QString();
        plan.movedAside.append(name);
        const QString aside = asideName(name, kind);
        journal->moves.append({QFileInfo(name).fileName(), aside});
        return aside;
    };
    for (const QString &name : std::as_const(m_unreadable)) {
        if (existsOrLinks(name))
            moveAside(name, QStringLiteral("unreadable"));
    }
    for (int number = 0; number < std::max(count, m_knownLength); ++number) {
        if (isObstacle(noteFileName(number)))
            moveAside(noteFileName(number), QStringLiteral("unreadable"));
    }
    // Files that were never loaded are kept, whatever their number.
    for (const QString &name : std::as_const(m_unloaded)) {
        if (existsOrLinks(name))
            moveAside(name, QStringLiteral("unloaded"));
    }
    const int previousText = seriesLength(QStringLiteral("txt"));
    for (int number : numbersFrom(previousText + 1, QStringLiteral("txt")))
        moveAside(noteFileName(number, QStringLiteral("txt")), QStringLiteral("unloaded"));
    // The plain-text series now lives in the new ".rtf" files; the originals
    // stay as copies.
    for (int number = 0; number < previousText; ++number)
        moveAside(noteFileName(number, QStringLiteral("txt")), QStringLiteral("converted"));

    const auto keep = [&](const QString &path, const QByteArray &contents) {
        const QString name = QFileInfo(path).fileName();
        const QString copy = moveAside(path, QStringLiteral("conflict"));
        plan.notices.append(
            {name, contents,
             (m_known.count(name)
                  ? tr("The note file %1 was changed by another program after it was read here. "
                       "The note as shown here is stored; the other text is kept as %2 and is "
                       "shown as a note of its own.")
                  : tr("The note file %1 was made by another program after the notes were read "
                       "here. It is kept as %2 and is shown as a note of its own."))
                 .arg(name, copy)});
    };
    for (int number = 0; number < count; ++number) {
        const QString path = noteFileName(number);
        const QString name = QFileInfo(path).fileName();
        if (plan.movedAside.contains(path))
            continue;
        if (!existsOrLinks(path)) {
            if (m_known.count(name))
                plan.notices.append({name, {}, removedNotice(name)});
            continue;
        }
        QString ignored;
        const std::optional<QByteArray> contents = readWhole(path, &ignored);
        if (contents == notes[number])
            plan.unchanged.insert(number);
        else if (!contents || !isKnown(name, Fingerprint::of(*contents)))
            keep(path, contents.value_or(QByteArray()));
    }
    // Behind the new series: what this object wrote or loaded goes, what
    // came from outside stays where it is while it follows on without a gap
    // (the next load takes it as notes), and goes aside after one.
    int next = count;
    for (int number : numbersFrom(count, QStringLiteral("rtf"))) {
        const QString path = noteFileName(number);
        const QString name = QFileInfo(path).fileName();
        if (plan.movedAside.contains(path)) {
            next = -1;
            continue;
        }
        QString ignored;
        const std::optional<QByteArray> contents = readWhole(path, &ignored);
        if (contents && isKnown(name, Fingerprint::of(*contents))) {
            journal->removals[number] = Fingerprint::of(*contents);
            next = -1;
        } else if (number == next && contents) {
            ++next;
            plan.notices.append(
                {name, *contents,
                 tr("The note file %1 was made or changed by another program after the notes "
                    "were read here. It is kept and is shown as a note of its own.")
                     .arg(name)});
        } else {
            next = -1;
            keep(path, contents.value_or(QByteArray()));
        }
    }
    // Conflict copies the last load took as notes are in the series now,
    // unless they changed again since.
    for (const QString &path : std::as_const(m_copies)) {
        if (const std::optional<Fingerprint> file = fingerprintOf(path)) {
            if (isKnown(QFileInfo(path).fileName(), *file))
                journal->drops[QFileInfo(path).fileName()] = *file;
        }
    }
    return plan;
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
    QMutexLocker lock(&m_mutex);
    const QString name = QFileInfo(path).fileName();
    QString reason;
    const std::optional<QByteArray> contents = readWhole(path, &reason);
    if (contents && *contents != data && !isKnown(name, Fingerprint::of(*contents))) {
        // Changed from outside: its text is kept before the note's own replaces it.
        const QString copy = asideName(path, QStringLiteral("conflict"));
        if (!writeNew(m_folder + copy, *contents, &reason, Durability::Synced)) {
            QFile::remove(m_folder + copy);
            *error = tr("The note could not be stored: %1 was changed by another program and "
                        "its text could not be kept as %2: %3.\nBoth texts are kept.")
                         .arg(QDir::toNativeSeparators(path), copy, reason);
            return false;
        }
        tell(name, *contents,
             tr("The note file %1 was changed by another program after it was read here. The "
                "note as shown here is stored; the other text is kept as %2 and is shown as a "
                "note of its own.")
                 .arg(name, copy));
    } else if (!contents && !existsOrLinks(path) && m_known.count(name)) {
        tell(name, {}, removedNotice(name));
    }
    if (!replaceNoteFile(path, data, error))
        return false;
    m_known[name] = Fingerprint::of(data);
    return true;
}

bool NoteStorage::replaceNoteFile(const QString &path, const QByteArray &data, QString *error)
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
bool NoteStorage::stage(const QList<QByteArray> &notes, const Plan &plan, Journal *journal)
{
    for (int number = 0; number < notes.size(); ++number) {
        if (plan.unchanged.contains(number))
            continue;
        const QString target = noteFileName(number);
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
        if (existsOrLinks(name) && fingerprintOf(name) != file)
            return false;
    }
    for (const auto &[name, file] : journal.drops) {
        if (existsOrLinks(m_folder + name) && fingerprintOf(m_folder + name) != file)
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
    for (const auto &drop : journal->drops)
        QFile::remove(m_folder + drop.first);
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
