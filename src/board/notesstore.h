#pragma once

#include "board/notestorage.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class FolderWatch;
class IntervalTimer;
class NoteItem;
class NoteSaveQueue;
class TimeSource;

// A deleted note whose file is kept in the data folder, ready to come back.
struct DeletedNote
{
    QString fileName; // full path of the kept copy
    QString title;
    QDateTime deleted;
    QColor color;
};

// The notes of the data folder as one ordered list, without any window: loads
// them (each note is read lazily, one per timer tick, once the list is up),
// stores them all in list order, writes the notes edited in open windows in
// the background every few seconds, keeps copies of damaged notes before
// their readable text is stored, moves the settings records with their notes,
// keeps deleted notes as files that can be restored, and follows what other
// programs (a sync tool, the program on a second machine) do to the note
// files while it runs: files they add become notes, a file they rewrite is
// read again, a file they delete takes its note off the list, each unless
// the note has changes made here.
//
// The board shows the list and forwards the user's actions; the notes
// themselves are made by the board (NoteItem), the store owns none of them.
class NotesStore : public QObject
{
    Q_OBJECT

public:
    // Makes the note for a file found at load or restored; the store takes it
    // into its list.
    using NoteMaker = std::function<NoteItem *(const StoredNote &file)>;
    using Clock = std::function<QDateTime()>;

    // folder ends in '/'; settingsPath is the settings file that holds the
    // notes' records.
    NotesStore(const QString &folder, const QString &settingsPath, const TimeSource &time,
               QObject *parent = nullptr);
    ~NotesStore() override;

    // The wall clock that dates deleted notes (the system's by default).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Loads the note files through makeNote and starts reading them one by
    // one; removes kept deleted notes older than KeepDeletedDays. The
    // problems found, one message per file left out.
    QStringList load(const NoteMaker &makeNote);
    const QList<NoteItem *> &notes() const { return m_notes; }
    qsizetype indexOf(const NoteItem *note) const { return m_notes.indexOf(note); }

    void append(NoteItem *note);
    // Takes note out of the list (the caller deletes it) and keeps its file as
    // a deleted note; false when it is not in the list.
    bool remove(NoteItem *note);
    // Moves the note at from to to; the files follow at the next store.
    void move(qsizetype from, qsizetype to);

    // Writes every note in list order; false with *error when that failed.
    bool store(QString *error);
    // The periodic save: the notes whose open window changed go to disk, each
    // as its own file written in the background while the files on disk are
    // numbered like the list, else with all notes in one store.
    void saveEdited();
    // Returns once the files of the periodic save are written.
    void waitForPendingSave();
    // Runs saveEdited every few seconds.
    IntervalTimer *saveTimer() const { return m_saveTimer; }

    // Watches the folder for what other programs do to the note files (the
    // folder's own watch from load() on unless one is set before); the store
    // takes ownership.
    void setFolderWatch(FolderWatch *watch);
    // Runs once the folder has been quiet for a moment after a change: notes
    // whose files were rewritten from outside are read again, those whose
    // files were deleted leave the list (kept as deleted notes), note files
    // added from outside are appended, and the user is told.
    IntervalTimer *folderCheckTimer() const { return m_folderCheckTimer; }

    // note could be read only in part (damage says why): its file is kept
    // as a copy before anything stores what could be read.
    void noteDamaged(NoteItem &note, const QString &title, const QString &damage);

    // The kept deleted notes, the latest first.
    QList<DeletedNote> deletedNotes() const;
    // Brings a kept deleted note back at the end of the list, with its
    // colour; its kept file goes once a store has written the note. False
    // with *error when the file could not be read.
    bool restore(const DeletedNote &deleted, QString *error);

    // Says at once what waits to be told: the program is about to end.
    void tellNow();

    static constexpr int KeepDeletedDays = 30;

Q_SIGNALS:
    // Notes were added, removed or moved.
    void listChanged();
    // Something the user must be told (a failed save, a damaged note).
    void message(const QString &text);
    // The note at index shows another text: its file was rewritten from outside.
    void noteChanged(qsizetype index);
    // note left the list because another program deleted its file; the one
    // who made it deletes it. listChanged() follows.
    void noteDropped(NoteItem *note);

private:
    void readNextNote();
    void checkFolder();
    void takeOutsideChanges();
    void takeAddedFiles();
    // Keeps the note's text as a deleted note that can be restored; false
    // with *error when that failed.
    bool keepAsDeleted(const NoteItem &note, QString *error);
    // Whether a kept deleted note holds data already.
    bool keptAsDeleted(const QByteArray &data) const;
    // The notes are the series 0..n-1 on disk.
    void numberNotes();
    QString keepDamagedCopy(NoteItem &note, const StoredNote &file);
    bool keepDamagedCopies(QString *error);
    bool moveRecords(QString *error);
    void reportSaveResult(bool saved, const QString &error);
    void tellLater(const QString &text);
    void tellNotices();
    void changed();
    // The name a deleted note's copy is kept under.
    QString deletedName(const QColor &color) const;
    void removeOldDeletedNotes();

    QString m_folder;
    QString m_settingsPath;
    NoteStorage m_storage;
    NoteSaveQueue *m_saveQueue = nullptr;
    IntervalTimer *m_readTimer = nullptr;
    IntervalTimer *m_saveTimer = nullptr;
    IntervalTimer *m_folderCheckTimer = nullptr;
    FolderWatch *m_folderWatch = nullptr;
    Clock m_clock;
    NoteMaker m_makeNote;
    QList<NoteItem *> m_notes;
    // The file number of each note the last load or store put in the series.
    QHash<const NoteItem *, int> m_fileNumbers;
    qsizetype m_readNext = 0;
    // Damaged notes with the files they were read from, still to be copied.
    QList<std::pair<NoteItem *, StoredNote>> m_uncopiedDamage;
    // Restored notes whose kept copies go after the next store, with the
    // colour their new record takes.
    QList<std::pair<NoteItem *, QString>> m_restored;
    QStringList m_untold;
    bool m_telling = false; // a message is being shown
    // A failing periodic save is told once, not every few seconds.
    bool m_saveFailureShown = false;
};
