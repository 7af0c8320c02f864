#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

// One note as found on disk.
struct StoredNote
{
    QString fileName; // full path it was loaded from
    QByteArray data;  // the file's bytes (RTF, or plain text)
    int record = 0;   // its window record: file number k gives record k + 1
};

struct NoteLoadResult
{
    QList<StoredNote> notes; // the ".rtf" series, then the ".txt" series
    QStringList problems;    // one message per note file that was left out
};

// The note files in the data folder: "QelNotes_<n>.rtf" numbered from 0 to the
// first gap, and the older "QelNotes_<n>.txt" series that is only read.
//
// Storing never puts a note at risk. New contents go to "<name>.pending" files
// first, each made anew (never written through a link); a journal file then
// marks the store as decided, and only after that are files moved aside, the
// pending files renamed over the series and the surplus numbers removed from
// the top down. Killed before the journal exists, the previous series stays as
// it was; killed after, the next load or store finishes the job. The journal
// names every file it puts in place or removes by size and digest, and is
// carried out only while the files match it: a journal cut short, left over or
// planted changes nothing. A journal that cannot be written and read back
// fails the store. Files whose contents did not change are not rewritten.
//
// The folder has other writers (a sync tool, the program on a second machine),
// so a store replaces or removes only files whose contents it knows: those it
// loaded or last wrote, unchanged since. A note file changed, added or put
// back from outside is kept: where a store must write its number it becomes
// "QelNotes_conflict_<n>_<time>.rtf"; right behind the new series it stays
// where it is. Such copies, and the conflict copies sync tools make of a note
// file, are loaded as notes of their own after the series and reported (a
// copy holding the very bytes of a note already loaded is not shown twice);
// the store after that writes them into the series and removes the copies. Every
// such event is told once through takeNotices(), naming the file.
//
// A note file that cannot be read (or that the parser rejects, or is too
// large, or is a symbolic link), or something that is not a file where a note
// file belongs, is left out of the notes and reported; the next store renames
// it to "QelNotes_unreadable_<n>_<time>.<ext>". Files behind a gap in a series
// are reported and renamed to "QelNotes_unloaded_<n>_<time>.<ext>", and the
// ".txt" series, once stored as ".rtf" files, to
// "QelNotes_converted_<n>_<time>.txt".
class NoteStorage
{
public:
    // Called for every note read; return false (and set *error) to reject it.
    using Parser = std::function<bool(const StoredNote &note, QString *error)>;

    explicit NoteStorage(QString folder); // folder ends in '/'

    NoteLoadResult load(const Parser &parser = {});

    // Writes notes as the series 0..n-1 in list order, removes the rest of the
    // series last loaded or stored and moves the ".txt" series aside. The files the last load() of
    // this object left out are moved aside first, so keep one object per folder and load() before
    // the first store(): files it never saw are all kept. On failure the previous files are all
    // still there, the result is false and errorString() says why.
    bool store(const QList<QByteArray> &notes);
    QString errorString() const { return m_error; }

    // Replaces the file of note number with data in one step, leaving every
    // other file alone. Only for a list that is still the one the last load()
    // or store() put on disk: refused (false) when the list has changed since
    // (listChanged()), when that load left notes out or read the ".txt"
    // series, when a store failed, or when number lies beyond that series.
    // Then a full store() is needed.
    bool storeNote(int number, const QByteArray &data);
    // Whether storeNote(number, ...) would be taken now.
    bool canStoreNote(int number) const { return number >= 0 && number < m_seriesLength; }
    // The write storeNote makes once it is taken: replaces the note file at
    // path with data in one step, after keeping a copy of it if it changed
    // from outside. Any thread may call it while no load() or store() runs;
    // *error is the message storeNote sets.
    bool writeNoteFile(const QString &path, const QByteArray &data, QString *error);
    // The write itself, touching no state: replaces the note file at path with
    // data in one step.
    static bool replaceNoteFile(const QString &path, const QByteArray &data, QString *error);
    // What happened to files from outside since the last call, one message
    // per file, each told once.
    QStringList takeNotices();
    // Note files other programs added since the last load or store that no
    // list holds yet: numbered files beyond the series and conflict copies,
    // each returned once, to be appended to the list as notes. A store
    // treats them like loaded files from then on.
    QList<StoredNote> takeAddedFiles();
    // A note was added to or removed from the list: its positions no longer
    // match the file numbers until the next store().
    void listChanged() { m_seriesLength = -1; }

    // A file of the series last loaded or stored that another program
    // rewrote or removed since this object read or wrote it.
    struct OutsideChange
    {
        int number = 0;
        std::optional<QByteArray> data; // the file's bytes now; none once it is removed
    };
    // The files of that series changed from outside, by number. A file found
    // unchanged before is read again only once the file system shows it
    // touched; one that cannot be read now is left to the next store, which
    // keeps it aside. Any thread may call it while no load() or store() runs.
    QList<OutsideChange> outsideChanges();
    // The note shows the file as the other program left it: stores replace
    // it from now on without keeping a copy, and a removed file no longer
    // counts as the note's.
    void acceptOutsideChange(const OutsideChange &change);
    // The note of file number, removed from outside, has changes made here
    // and stays: the user is told now, the next store writes the file again.
    void keepRemovedNote(int number);

    // Keeps the bytes of a note that could be read only in part in a new file
    // beside it, "QelNotes_damaged_<n>_<time>.<ext>", so that no store of its
    // readable text loses the rest. The copy's name, or empty with
    // errorString() set.
    QString keepDamagedCopy(const StoredNote &note);

    QString noteFileName(int number, const QString &extension = QStringLiteral("rtf")) const;

private:
    // What a file holds, enough to tell the file a store wrote from one cut
    // short or replaced since: the bytes themselves while they are at hand
    // (shared with the note that holds them, so they cost nothing), else the
    // size and digest a journal names. The digest is made only when asked:
    // most files are compared byte for byte or not at all, and a digest of
    // every note would cost each start time in proportion to the notes. Times
    // are no guide here: sync tools carry a peer's modification time over
    // with its contents.
    class Fingerprint
    {
    public:
        Fingerprint() = default;
        static Fingerprint of(const QByteArray &contents);
        static Fingerprint fromDigest(qint64 size, const QByteArray &digest);

        qint64 size() const { return m_size; }
        QByteArray digest() const;
        bool operator==(const Fingerprint &other) const;

    private:
        qint64 m_size = -1;
        std::optional<QByteArray> m_contents;
        QByteArray m_digest; // only without contents
    };
    // What the file system tells of a file without reading it; a write, a
    // rename over it or new times give another stamp.
    struct Stamp
    {
        QByteArray fields;

        static std::optional<Stamp> of(const QString &path);
        bool operator==(const Stamp &) const = default;
    };
    struct Journal;
    struct Plan;

    static std::optional<Fingerprint> fingerprintOf(const QString &path);
    enum class Finish {
        Done,      // no journal, or carried out
        Discarded, // the journal did not match the files and was dropped
        Failed     // errorString() says why; the journal stays for the next try
    };

    Finish finishPendingStore();
    bool matchesDisk(const Journal &journal) const;
    bool writeJournal(const Journal &journal);
    int seriesLength(const QString &extension) const;
    // The numbers of first and above that have a file of the series.
    QList<int> numbersFrom(int first, const QString &extension) const;
    bool stage(const QList<QByteArray> &notes, const Plan &plan, Journal *journal);
    Plan plan(const QList<QByteArray> &notes, Journal *journal);
    // Whether the file holds what this object loaded or last wrote there.
    bool isKnown(const QString &name, const Fingerprint &file) const;
    void loadConflictCopies(const Parser &parser, NoteLoadResult *result);
    void tell(const QString &name, QByteArrayView contents, const QString &message);
    void dropPending() const;
    QString asideName(const QString &fileName, const QString &kind) const;

    QString m_folder;
    QStringList m_unreadable; // file names left out by the last load
    QStringList m_unloaded;   // file names behind a gap at the last load
    QStringList m_copies;     // conflict copies the last load took as notes
    // Guards what writeNoteFile, called from the save queue's worker, shares
    // with the interface thread; load() and store() run only while no save does.
    QMutex m_mutex;
    std::map<QString, Fingerprint> m_known; // file name: contents as loaded or last written
    int m_knownLength = 0;                  // the ".rtf" series as last loaded or stored
    // Files of the series last found to hold their known contents, with the
    // stamp they had then: while both still hold, they are not read again.
    std::map<QString, std::pair<Stamp, Fingerprint>> m_checked;
    QStringList m_notices;
    QSet<QByteArray> m_told; // file name and digest of every file told about
    QString m_error;
    // The notes on disk as the series 0..n-1 in list order; -1 when unknown.
    int m_seriesLength = -1;
};
