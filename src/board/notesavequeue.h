#pragma once

#include "richtext/documentsnapshot.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWaitCondition>

#include <deque>
#include <memory>

class NoteStorage;
class QThread;

// Writes note files on one worker thread, in the order they are handed over,
// so that the periodic save of a long note does not hold up typing: the
// interface thread only takes a snapshot of the document, the worker writes
// it as RTF and puts the file in place. A save of a file that has not begun
// when a newer one of the same file comes gives way to it.
//
// Nothing else may write note files while a save is pending: whoever does
// calls waitForPendingSave() first.
class NoteSaveQueue : public QObject
{
    Q_OBJECT

public:
    // Writes through storage, which keeps a note file changed from outside
    // before it is replaced.
    explicit NoteSaveQueue(NoteStorage &storage, QObject *parent = nullptr);
    // Finishes every save handed over.
    ~NoteSaveQueue() override;

    // Writes snapshot to the note file path after every save handed over before.
    void save(const QString &path, DocumentSnapshot snapshot);
    // Returns once every save handed over is done. A failure is reported by
    // an event already posted by then.
    void waitForPendingSave();
    // Failures not reported yet will not be: a store of every note has made
    // them good.
    void discardFailures();

Q_SIGNALS:
    // A save failed; on the thread that owns the queue, after the save.
    void saveFailed(const QString &error);

private:
    struct Job
    {
        QString path;
        DocumentSnapshot snapshot;
    };

    void run();
    void reportFailures();

    NoteStorage &m_storage;
    QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false; // a job is being written
    bool m_stopping = false;
    QStringList m_failures;
    std::unique_ptr<QThread> m_thread;
};
