#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
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
    QStringList problems;    // one message per note file set aside; show once
};

// The note files in the data folder: "QelNotes_<n>.rtf" numbered from 0 to the
// first gap, and the older "QelNotes_<n>.txt" series that is only read.
//
// Storing never puts a note at risk. New contents go to "<name>.pending" files
// first; a journal file then marks the store as decided, the pending files are
// renamed over the series and the surplus numbers are removed from the top
// down. Killed before the journal exists, the old series stays as it was;
// killed after, the next load or store finishes the job. Files whose contents
// did not change are not rewritten.
//
// A note file that cannot be read (or that the parser rejects) is renamed out
// of the series, so no later store overwrites or deletes it, and reported once.
// A file above a gap in the series that a store would overwrite is renamed
// aside the same way.
class NoteStorage
{
public:
    // Called for every note read; return false (and set *error) to reject it.
    using Parser = std::function<bool(const StoredNote &note, QString *error)>;

    explicit NoteStorage(QString folder); // folder ends in '/'

    NoteLoadResult load(const Parser &parser = {});

    // Writes notes as the series 0..n-1 in list order, removes the rest of the
    // previous series and the ".txt" series. On failure the previous files are
    // all still there, the result is false and errorString() says why.
    bool store(const QList<QByteArray> &notes);
    QString errorString() const { return m_error; }

    QString noteFileName(int number, const QString &extension = QStringLiteral("rtf")) const;

private:
    bool finishPendingStore();
    int seriesLength(const QString &extension) const;
    QString setAside(const QString &fileName, const QString &kind);
    bool stage(const QList<QByteArray> &notes, QList<int> *staged);
    void dropStaged(const QList<int> &staged);
    bool protectStrays(int newLength, int oldLength);

    QString m_folder;
    QSet<QString> m_untouchable; // unreadable files that could not be moved aside
    QString m_error;
};
