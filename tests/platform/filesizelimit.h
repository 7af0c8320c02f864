#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// While it lives, no file of this process can grow beyond limit bytes: a
// write past it fails as it would on a full disk. Needs no privileges, unlike
// mounting a small file system. Keep it around the writes under test only, so
// that the test's own output is not cut.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 limit)
    {
#ifdef Q_OS_UNIX
        // The signal would end the process; the failed write is what we want.
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit lowered = m_old;
        lowered.rlim_cur = rlim_t(limit);
        m_active = m_active && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
#else
        Q_UNUSED(limit);
#endif
    }

    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
#endif
    }

    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False where the platform has no such limit: QSKIP the test.
    bool isActive() const
    {
        return m_active;
    }

private:
    bool m_active = false;
#ifdef Q_OS_UNIX
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
#endif
};
