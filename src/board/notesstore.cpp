#include "board/notesstore.h"

#include "board/folderwatch.h"
#include "board/notesavequeue.h"
#include "note/colorvalue.h"
#include "note/noteitem.h"
#include "platform/intervaltimer.h"
#include "platform/settingsfile.h"
#include "platform/timesource.h"
#include "platform/wholefile.h"
#include "richtext/notetitle.h"

#include <QDir>
#include <QScopedValueRollback>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {
// Typing in a note window reaches the disk within this time.
constexpr int SaveInterval = 3000;
// A sync tool writes a batch of files at once: the folder is looked at once
// it has been quiet this long.
constexpr int FolderCheckDelay = 500;
const QString DeletedPrefix = QStringLiteral("QelNotes_deleted_");
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");

// The time and colour a kept deleted note's name carries:
// "QelNotes_deleted_<time>_<rrggbb>[-<copy>].rtf".
bool parseDeletedName(const QString &fileName, QDateTime *deleted, QColor *color)
{
    if (!fileName.startsWith(DeletedPrefix) || !fileName.endsWith(QStringLiteral(".rtf")))
        return false;
    const QStringList parts = QFileInfo(fileName).completeBaseName().split(u'_');
    if (parts.size() != 4)
        return false;
    *deleted = QDateTime::fromString(parts.at(2), StampFormat);
    *color = QColor(u'#' + parts.at(3).left(6));
    return deleted->isValid() && color->isValid();
}
} // namespace

NotesStore::NotesStore(const QString &folder, const QString &settingsPath, const TimeSource &time,
                       QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_settingsPath(settingsPath)
    , m_storage(folder)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    m_readTimer = time.createTimer(this);
    m_readTimer->setInterval(0);
    connect(m_readTimer, &IntervalTimer::timeout, this, &NotesStore::readNextNote);
    m_saveQueue = new NoteSaveQueue(m_storage, this);
    // The note's file may be anywhere in between: a full store puts every
    // note in place, as after a failed synchronous save.
    connect(m_saveQueue, &NoteSaveQueue::saveFailed, this, [this] {
        QString error;
        const bool saved = store(&error);
        if (!saved) {
            for (NoteItem *note : std::as_const(m_notes))
                note->setWindowUnstored();
        }
        reportSaveResult(saved, error);
    });
    m_saveTimer = time.createTimer(this);
    m_saveTimer->setInterval(SaveInterval);
    connect(m_saveTimer, &IntervalTimer::timeout, this, &NotesStore::saveEdited);
    m_saveTimer->start();
    m_folderCheckTimer = time.createTimer(this);
    m_folderCheckTimer->setInterval(FolderCheckDelay);
    connect(m_folderCheckTimer, &IntervalTimer::timeout, this, [this] {
        m_folderCheckTimer->stop();
        checkFolder();
    });
}

void NotesStore::setFolderWatch(FolderWatch *watch)
{
    delete m_folderWatch;
    m_folderWatch = watch;
    m_folderWatch->setParent(this);
    connect(m_folderWatch, &FolderWatch::changed, m_folderCheckTimer, &IntervalTimer::start);
}

void NotesStore::checkFolder()
{
    if (!m_makeNote)
        return;
    // The saves still being written are this program's own changes.
    m_saveQueue->waitForPendingSave();
    tellNotices();
    takeOutsideChanges();
    takeAddedFiles();
}

void NotesStore::takeOutsideChanges()
{
    const QList<NoteStorage::OutsideChange> changes = m_storage.outsideChanges();
    if (changes.isEmpty())
        return;
    QHash<int, NoteItem *> byNumber;
    for (auto entry = m_fileNumbers.cbegin(); entry != m_fileNumbers.cend(); ++entry)
        byNumber.insert(entry.value(), const_cast<NoteItem *>(entry.key()));
    QList<NoteItem *> dropped;
    for (const NoteStorage::OutsideChange &change : changes) {
        NoteItem *note = byNumber.value(change.number);
        if (!note) {
            // Deleted here since the last store: a removal agrees with that;
            // a rewrite is kept by the next store as a conflict note.
            if (!change.data)
                m_storage.acceptOutsideChange(change);
            continue;
        }
        if (note->unstoredChanges()) {
            // What was typed here stays; the next store keeps a rewritten
            // file's text as a conflict note.
            if (!change.data)
                m_storage.keepRemovedNote(change.number);
            continue;
        }
        if (change.data) {
            note->reload(m_storage.noteFileName(change.number), *change.data);
            m_storage.acceptOutsideChange(change);
            Q_EMIT noteChanged(m_notes.indexOf(note));
            continue;
        }
        // The program that deleted the note kept its own copy, which the sync
        // tool brings along; and a deletion moves the notes behind it down a
        // number, so one of them may hold the text now.
        const QByteArray data = note->noteData();
        const bool elsewhere = keptAsDeleted(data)
                               || std::any_of(changes.cbegin(), changes.cend(),
                                              [&data](const NoteStorage::OutsideChange &other) {
                                                  return other.data == data;
                                              });
        QString error;
        if (!elsewhere && !keepAsDeleted(*note, &error)) {
            // Its text lives only here now: the next store writes it again.
            m_storage.keepRemovedNote(change.number);
            continue;
        }
        m_storage.acceptOutsideChange(change);
        dropped.append(note);
    }
    if (dropped.isEmpty())
        return;
    QStringList titles;
    for (NoteItem *note : std::as_const(dropped)) {
        titles.append(u'"' + note->caption() + u'"');
        m_notes.removeOne(note);
        m_fileNumbers.remove(note);
        m_uncopiedDamage.removeIf([note](const auto &owed) { return owed.first == note; });
        Q_EMIT noteDropped(note);
    }
    changed();
    tellLater(tr("Another program (a sync tool, say) deleted the files of these notes, so they "
                 "are no longer shown: %1. \"Restore Deleted Note\" brings them back.")
                  .arg(titles.join(QStringLiteral(", "))));
}

void NotesStore::takeAddedFiles()
{
    const QList<StoredNote> files = m_storage.takeAddedFiles();
    if (files.isEmpty())
        return;
    QStringList names;
    for (const StoredNote &file : files) {
        m_notes.append(m_makeNote(file));
        const QString name = QFileInfo(file.fileName).fileName();
        // A copy a save here kept of a file changed from outside is named
        // in what the save found already.
        if (std::none_of(m_untold.cbegin(), m_untold.cend(),
                         [&name](const QString &text) { return text.contains(name); }))
            names.append(name);
    }
    changed();
    if (!names.isEmpty())
        tellLater(
            tr("Another program (a sync tool, say) put note files into the notes folder; they "
               "are shown as notes at the end of the board: %1.")
                .arg(names.join(QStringLiteral(", "))));
}

NotesStore::~NotesStore() = default;

QStringList NotesStore::load(const NoteMaker &makeNote)
{
    m_makeNote = makeNote;
    if (!m_folderWatch)
        setFolderWatch(new SystemFolderWatch(m_folder));
    removeOldDeletedNotes();
    const NoteLoadResult result = m_storage.load([&](const StoredNote &file, QString *) {
        NoteItem *note = makeNote(file);
        if (file.fileName == m_storage.noteFileName(int(m_notes.size())))
            m_fileNumbers.insert(note, int(m_notes.size()));
        m_notes.append(note);
        return true;
    });
    // The titles show at once; the notes are read one by one once the board is up.
    m_readNext = 0;
    m_readTimer->start();
    Q_EMIT listChanged();
    return result.problems;
}

void NotesStore::readNextNote()
{
    while (m_readNext < m_notes.size() && m_notes.at(m_readNext)->noteRead())
        ++m_readNext;
    if (m_readNext == m_notes.size()) {
        m_readTimer->stop();
        return;
    }
    m_notes.at(m_readNext)->readNote();
}

void NotesStore::changed()
{
    // The list no longer matches the file numbers until the next store.
    m_storage.listChanged();
    // The notes not yet read may have moved.
    m_readNext = 0;
    Q_EMIT listChanged();
}

void NotesStore::append(NoteItem *note)
{
    m_notes.append(note);
    changed();
}

bool NotesStore::remove(NoteItem *note)
{
    const qsizetype index = m_notes.indexOf(note);
    if (index < 0)
        return false;
    QString error;
    if (!keepAsDeleted(*note, &error))
        tellLater(tr("The deleted note \"%1\" could not be kept for restoring: %2")
                      .arg(note->caption(), error));
    m_notes.removeAt(index);
    m_fileNumbers.remove(note);
    m_uncopiedDamage.removeIf([note](const auto &owed) { return owed.first == note; });
    m_restored.removeIf([note](const auto &restored) { return restored.first == note; });
    changed();
    return true;
}

void NotesStore::move(qsizetype from, qsizetype to)
{
    if (from == to || from < 0 || to < 0 || from >= m_notes.size() || to >= m_notes.size())
        return;
    m_notes.move(from, to);
    changed();
}

bool NotesStore::keepAsDeleted(const NoteItem &note, QString *error)
{
    // The note's text stays on disk under a name no store touches, so a
    // deletion can be taken back.
    return NoteStorage::replaceNoteFile(m_folder + deletedName(note.color()), note.noteData(),
                                        error);
}

bool NotesStore::keptAsDeleted(const QByteArray &data) const
{
    const QFileInfoList kept
        = QDir(m_folder).entryInfoList({DeletedPrefix + u'*'}, QDir::Files | QDir::NoSymLinks);
    return std::any_of(kept.cbegin(), kept.cend(), [&](const QFileInfo &file) {
        QString ignored;
        return file.size() == data.size()
               && readWholeFile(file.filePath(), FileSizeLimits::Note, &ignored, FileLinks::Refuse)
                      == data;
    });
}

QString NotesStore::deletedName(const QColor &color) const
{
    const QString name
        = DeletedPrefix + m_clock().toString(StampFormat) + u'_' + color.name().mid(1);
    QString candidate = name + QStringLiteral(".rtf");
    for (int copy = 2; QFileInfo::exists(m_folder + candidate); ++copy)
        candidate = name + u'-' + QString::number(copy) + QStringLiteral(".rtf");
    return candidate;
}

QList<DeletedNote> NotesStore::deletedNotes() const
{
    QList<DeletedNote> result;
    const QStringList names = QDir(m_folder).entryList({DeletedPrefix + u'*'}, QDir::Files);
    for (const QString &name : names) {
        DeletedNote note;
        if (!parseDeletedName(name, &note.deleted, &note.color))
            continue;
        const bool restored
            = std::any_of(m_restored.cbegin(), m_restored.cend(),
                          [&](const auto &entry) { return entry.second == m_folder + name; });
        if (restored)
            continue;
        QFile file(m_folder + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        note.fileName = m_folder + name;
        note.title = NoteTitleOfData(file.read(64 * 1024));
        result.append(note);
    }
    std::sort(result.begin(), result.end(), [](const DeletedNote &a, const DeletedNote &b) {
        return a.deleted != b.deleted ? a.deleted > b.deleted : a.fileName > b.fileName;
    });
    return result;
}

bool NotesStore::restore(const DeletedNote &deleted, QString *error)
{
    // Kept copies travel with the folder: one may be a link planted by a
    // sync peer, which must not bring a private file into the notes.
    std::optional<QByteArray> data
        = readWholeFile(deleted.fileName, FileSizeLimits::Note, error, FileLinks::Refuse);
    if (!data || !m_makeNote)
        return false;
    // Loaded like a note file without a record: the next store numbers it.
    NoteItem *note = m_makeNote(StoredNote{deleted.fileName, *data, 0});
    note->setNoteColor(deleted.color);
    m_restored.append({note, deleted.fileName});
    append(note);
    return true;
}

void NotesStore::removeOldDeletedNotes()
{
    const QDateTime oldest = m_clock().addDays(-KeepDeletedDays);
    const QStringList names = QDir(m_folder).entryList({DeletedPrefix + u'*'}, QDir::Files);
    for (const QString &name : names) {
        QDateTime deleted;
        QColor color;
        if (parseDeletedName(name, &deleted, &color) && deleted < oldest)
            QFile::remove(m_folder + name);
    }
}

void NotesStore::noteDamaged(NoteItem &note, const QString &title, const QString &damage)
{
    const StoredNote file{note.fileName(), note.fileData(), 0};
    const QString copy = keepDamagedCopy(note, file);
    if (copy.isEmpty()) {
        m_uncopiedDamage.append({&note, file});
        tellLater(tr("The note \"%1\" is damaged (%2). It shows the text that could be read; its "
                     "file stays as it is until a copy of it can be kept. %3")
                      .arg(title, damage, m_storage.errorString()));
    } else {
        tellLater(tr("The note \"%1\" is damaged (%2). It shows the text that could be read; the "
                     "file as it was is kept as %3.")
                      .arg(title, damage, copy));
    }
}

QString NotesStore::keepDamagedCopy(NoteItem &note, const StoredNote &file)
{
    // The next store writes only what could be read: the file as it is must be kept first.
    const QString copy = m_storage.keepDamagedCopy(file);
    if (!copy.isEmpty())
        note.forgetFileData();
    return copy;
}

bool NotesStore::keepDamagedCopies(QString *error)
{
    // A damaged note whose file could not be copied is stored as that file
    // until it changes; then the copy must be made before the store.
    for (qsizetype i = 0; i < m_uncopiedDamage.size();) {
        const auto &[note, file] = m_uncopiedDamage.at(i);
        if (!keepDamagedCopy(*note, file).isEmpty()) {
            m_uncopiedDamage.removeAt(i);
            continue;
        }
        if (note->hasOpenWindow() || note->fileData().isEmpty()) {
            *error = m_storage.errorString();
            return false;
        }
        ++i;
    }
    return true;
}

void NotesStore::tellLater(const QString &text)
{
    // A note is read wherever it is first needed: the message waits until
    // that is done, and says everything found meanwhile at once.
    if (m_untold.isEmpty())
        QMetaObject::invokeMethod(this, &NotesStore::tellNow, Qt::QueuedConnection);
    m_untold.append(text);
}

void NotesStore::tellNow()
{
    // A box that tells runs the event loop: what is found meanwhile waits
    // for it to close instead of opening a box over it.
    if (m_telling)
        return;
    const QScopedValueRollback telling(m_telling, true);
    while (!m_untold.isEmpty())
        Q_EMIT message(std::exchange(m_untold, {}).join(u'\n'));
}

bool NotesStore::store(QString *error)
{
    // A store writes every note as it is now: saves still pending would put
    // older texts over it, their failures are made good by it.
    m_saveQueue->waitForPendingSave();
    m_saveQueue->discardFailures();
    if (!keepDamagedCopies(error))
        return false;
    // A window's working copy, not the text it opened with: the periodic
    // save may have written it already, and a store must not take it back.
    QList<QByteArray> data;
    for (NoteItem *note : std::as_const(m_notes))
        data.append(note->noteData());
    if (!m_storage.store(data)) {
        *error = m_storage.errorString();
        return false;
    }
    numberNotes();
    if (!moveRecords(error))
        return false;
    for (NoteItem *note : std::as_const(m_notes)) {
        note->setWindowStored();
        if (!note->SaveFormInfo(error))
            return false;
    }
    // The restored notes are on disk under their numbers now: their kept
    // copies are no longer the only ones.
    for (const auto &[note, kept] : std::exchange(m_restored, {}))
        QFile::remove(kept);
    tellNotices();
    return true;
}

void NotesStore::numberNotes()
{
    m_fileNumbers.clear();
    for (qsizetype i = 0; i < m_notes.size(); ++i)
        m_fileNumbers.insert(m_notes.at(i), int(i));
}

void NotesStore::tellNotices()
{
    // Files changed from outside that the storage kept: the user hears of each once.
    const QStringList notices = m_storage.takeNotices();
    if (!notices.isEmpty())
        tellLater(notices.join(u'\n'));
}

void NotesStore::saveEdited()
{
    // What the saves of the last round found.
    tellNotices();
    for (qsizetype i = 0; i < m_notes.size(); ++i) {
        NoteItem *note = m_notes.at(i);
        if (!note->windowEdited())
            continue;
        const bool copyOwed = std::any_of(m_uncopiedDamage.cbegin(), m_uncopiedDamage.cend(),
                                          [note](const auto &owed) { return owed.first == note; });
        if (!m_storage.canStoreNote(int(i)) || copyOwed) {
            // The files are not numbered like the list (a note was added,
            // moved or deleted since the last store), or a damaged note's
            // file must be copied first: only a full store is safe.
            QString error;
            reportSaveResult(store(&error), error);
            return;
        }
        m_saveQueue->save(m_storage.noteFileName(int(i)), note->noteSnapshot());
        note->setWindowStored();
    }
}

void NotesStore::waitForPendingSave()
{
    m_saveQueue->waitForPendingSave();
}

void NotesStore::reportSaveResult(bool saved, const QString &error)
{
    if (saved) {
        m_saveFailureShown = false;
    } else if (!m_saveFailureShown) {
        m_saveFailureShown = true;
        Q_EMIT message(error);
    }
}

bool NotesStore::moveRecords(QString *error)
{
    QList<std::pair<QString, QString>> copies;
    for (qsizetype i = 0; i < m_notes.size(); ++i) {
        const int idx = m_notes.at(i)->Idx();
        if (idx != i + 1)
            copies.append({idx > 0 ? NoteItem::recordName(idx) : QString(),
                           NoteItem::recordName(int(i) + 1)});
    }
    if (copies.isEmpty())
        return true;
    SettingsFile ini(m_settingsPath);
    if (!ini.copySections(copies)) {
        *error = ini.errorString();
        return false;
    }
    for (qsizetype i = 0; i < m_notes.size(); ++i)
        m_notes.at(i)->setIdx(int(i) + 1);
    // A restored note's record is new: it takes the note's colour.
    for (const auto &[note, kept] : std::as_const(m_restored)) {
        if (!ini.writeInteger(NoteItem::recordName(note->Idx()), QStringLiteral("Color"),
                              ColorValue::fromColor(note->color()))) {
            *error = ini.errorString();
            return false;
        }
    }
    return true;
}
