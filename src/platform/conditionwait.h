#pragma once

#include <QMutex>
#include <QWaitCondition>

// Waits on condition, letting go of mutex (which the caller holds) until woken, as
// QWaitCondition::wait does. Qt lets go of the mutex and takes it back inside its own library;
// under ThreadSanitizer, with a Qt that is not built for it, this tells the sanitizer of both,
// as QMutex's own inline code does for its lock and unlock. Without it the sanitizer takes the
// mutex for held all through the wait and reports what the woken thread then reads as a race.
// In every other build the notes compile to nothing.
inline void conditionWait(QWaitCondition &condition, QMutex &mutex)
{
    QtTsan::mutexPreUnlock(&mutex, 0u);
    QtTsan::mutexPostUnlock(&mutex, 0u);
    condition.wait(&mutex);
    QtTsan::mutexPreLock(&mutex, 0u);
    QtTsan::mutexPostLock(&mutex, 0u, 0);
}
