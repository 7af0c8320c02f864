#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

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
// first; a journal file then marks the store as decided, and only after that
// are files moved aside, the pending files renamed over the series and the
// surplus numbers removed from the top down. Killed before the journal exists,
// the previous series stays as it was; killed after, the next load or store
// finishes the job. Files whose contents did not change are not rewritten.
//
// A note file that cannot be read (or that the parser rejects) is left out of
// the notes and reported; the next store renames it to
// "QelNotes_unreadable_<n>_<time>.<ext>", so that it is neither overwritten
// nor deleted. A file above a gap in the series that a store would overwrite
// is renamed to "QelNotes_unloaded_<n>_<time>.rtf" the same way.
class NoteStorage
{
public:
    // Called for every note read; return false (and set *error) to reject it.
    using Parser = std::function<bool(const StoredNote &note, QString *error)>;

    explicit NoteStorage(QString folder); // folder ends in '/'

    NoteLoadResult load(const Parser &parser = {});

    // Writes notes as the series 0..n-1 in list order, removes the rest of the
    // previous series and the ".txt" series. The files the last load() of this
    // object left out are moved aside first, so keep one object per folder. On failure the previous
    // files are all still there, the result is false and errorString() says why.
    bool store(const QList<QByteArray> &notes);
    QString errorString() const { return m_error; }

    // Replaces the file of note number with data in one step, leaving every
    // other file alone. Only for a list that is still the one the last load()
    // or store() put on disk: refused (false) when the list has changed since
    // (listChanged()), when that load left notes out or read the ".txt"
    // series, when a store failed, or when number lies beyond that series.
    // Then a full store() is needed.
    bool storeNote(int number, const QByteArray &data);
    // A note was added to or removed from the list: its positions no longer
    // match the file numbers until the next store().
    void listChanged() { m_seriesLength = -1; }

    QString noteFileName(int number, const QString &extension = QStringLiteral("rtf")) const;

private:
    bool finishPendingStore();
    int seriesLength(const QString &extension) const;
    int stage(const QList<QByteArray> &notes, int previous);
    void dropPending() const;
    QString asideName(const QString &fileName, const QString &kind) const;

    QString m_folder;
    QStringList m_unreadable; // file names left out by the last load
    QString m_error;
    // The notes on disk as the series 0..n-1 in list order; -1 when unknown.
    int m_seriesLength = -1;
};
