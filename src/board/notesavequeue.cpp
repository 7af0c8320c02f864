#include "board/notesavequeue.h"

#include "board/notestorage.h"
#include "platform/conditionwait.h"
#include "richtext/rtfwriter.h"

#include <QTextDocument>
#include <QThread>

#include <algorithm>

NoteSaveQueue::NoteSaveQueue(NoteStorage &storage, QObject *parent)
    : QObject(parent)
    , m_storage(storage)
    , m_thread(QThread::create([this] { run(); }))
{
    m_thread->setObjectName(QStringLiteral("NoteSaveQueue"));
    m_thread->start();
}

NoteSaveQueue::~NoteSaveQueue()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
        m_changed.wakeAll();
    }
    m_thread->wait();
}

void NoteSaveQueue::save(const QString &path, DocumentSnapshot snapshot)
{
    QMutexLocker lock(&m_mutex);
    const auto waiting = std::find_if(m_jobs.begin(), m_jobs.end(),
                                      [&path](const Job &job) { return job.path == path; });
    if (waiting != m_jobs.end())
        waiting->snapshot = std::move(snapshot);
    else
        m_jobs.push_back({path, std::move(snapshot)});
    m_changed.wakeAll();
}

void NoteSaveQueue::waitForPendingSave()
{
    QMutexLocker lock(&m_mutex);
    while (!m_jobs.empty() || m_busy)
        conditionWait(m_changed, m_mutex);
}

void NoteSaveQueue::discardFailures()
{
    QMutexLocker lock(&m_mutex);
    m_failures.clear();
}

void NoteSaveQueue::run()
{
    QMutexLocker lock(&m_mutex);
    for (;;) {
        while (m_jobs.empty() && !m_stopping)
            conditionWait(m_changed, m_mutex);
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();

        const QByteArray data = RtfWriter::write(*job.snapshot.toDocument());
        job.snapshot = {};
        QString error;
        const bool saved = m_storage.writeNoteFile(job.path, data, &error);

        lock.relock();
        m_busy = false;
        if (!saved) {
            m_failures.append(error);
            // Posted before the waiters wake, so that it is there when they return.
            QMetaObject::invokeMethod(this, &NoteSaveQueue::reportFailures, Qt::QueuedConnection);
        }
        m_changed.wakeAll();
    }
}

void NoteSaveQueue::reportFailures()
{
    QStringList failures;
    {
        QMutexLocker lock(&m_mutex);
        failures = std::exchange(m_failures, {});
    }
    // One message stands for them all: the board answers it with a full store.
    if (!failures.isEmpty())
        Q_EMIT saveFailed(failures.first());
}
