#include "platform/wholefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString tooLarge(qint64 maxSize)
{
    return QCoreApplication::translate(
               "WholeFile", "it is larger than %1, the most a file of this kind may hold")
        .arg(QLocale::c().formattedDataSize(maxSize, 0, QLocale::DataSizeTraditionalFormat));
}

// A file open for reading. On Unix straight on its descriptor: a QFile
// would look at the file twice more and seek in it, and thousands of notes
// are read at every start.
class OpenFile
{
public:
    OpenFile() = default;
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;
#ifdef Q_OS_UNIX
    ~OpenFile()
    {
        if (m_handle >= 0)
            ::close(m_handle);
    }
#endif

    // Opens path without waiting on it, or says why not.
    bool open(const QString &path, FileLinks links, qint64 maxSize, QString *error);
    // The size the file had when it was opened.
    qint64 size() const
    {
        return m_size;
    }
    // Reads up to size bytes into to; the bytes read, 0 at the end, -1 on an error.
    qint64 read(char *to, qint64 size);
    QString errorString() const;

private:
    qint64 m_size = 0;
#ifdef Q_OS_UNIX
    int m_handle = -1;
    int m_error = 0;
#else
    QFile m_file;
#endif
};

#ifdef Q_OS_UNIX
bool OpenFile::open(const QString &path, FileLinks links, qint64 maxSize, QString *error)
{
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (links == FileLinks::Refuse)
        flags |= O_NOFOLLOW;
    m_handle = ::open(QFile::encodeName(path).constData(), flags);
    if (m_handle < 0) {
        const int reason = errno;
        *error = reason == ELOOP && links == FileLinks::Refuse
                     ? QCoreApplication::translate("WholeFile", "it is a symbolic link")
                     : qt_error_string(reason);
        return false;
    }
    struct stat status
    {
    };
    if (::fstat(m_handle, &status) != 0)
        *error = qt_error_string(errno);
    else if (S_ISDIR(status.st_mode))
        *error = QCoreApplication::translate("WholeFile", "it is a folder");
    else if (!S_ISREG(status.st_mode))
        *error = QCoreApplication::translate("WholeFile", "it is not a regular file");
    else if (status.st_size > maxSize)
        *error = tooLarge(maxSize);
    else
        m_size = status.st_size;
    return error->isEmpty();
}

qint64 OpenFile::read(char *to, qint64 size)
{
    for (;;) {
        const ssize_t got = ::read(m_handle, to, size_t(size));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            m_error = errno;
            return -1;
        }
    }
}

QString OpenFile::errorString() const
{
    return qt_error_string(m_error);
}
#else
bool OpenFile::open(const QString &path, FileLinks links, qint64 maxSize, QString *error)
{
    const QFileInfo info(path);
    if (links == FileLinks::Refuse && info.isSymLink())
        *error = QCoreApplication::translate("WholeFile", "it is a symbolic link");
    else if (info.isDir())
        *error = QCoreApplication::translate("WholeFile", "it is a folder");
    else if (info.exists() && !info.isFile())
        *error = QCoreApplication::translate("WholeFile", "it is not a regular file");
    else if (info.size() > maxSize)
        *error = tooLarge(maxSize);
    else if (m_file.setFileName(path), !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        *error = m_file.errorString();
    else
        m_size = m_file.size();
    return error->isEmpty();
}

qint64 OpenFile::read(char *to, qint64 size)
{
    return m_file.read(to, size);
}

QString OpenFile::errorString() const
{
    return m_file.errorString();
}
#endif

} // namespace

std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize, QString *error,
                                        FileLinks links)
{
    OpenFile file;
    QString reason;
    if (!file.open(path, links, maxSize, &reason)) {
        *error = reason;
        return std::nullopt;
    }
    // Read to the end rather than the measured size: the file may have grown
    // since, and must not pass the limit then either. The buffer is the
    // measured size and one byte, which shows the end: the bytes are kept as
    // read, and a note of a few kilobytes must not hold a block of reserve.
    QByteArray data(std::min(file.size(), maxSize) + 1, Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        if (size == data.size()) {
            if (size > maxSize) {
                *error = tooLarge(maxSize);
                return std::nullopt;
            }
            data.resize(std::min(maxSize + 1, size + 65536));
        }
        const qint64 got = file.read(data.data() + size, data.size() - size);
        if (got < 0) {
            *error = file.errorString();
            return std::nullopt;
        }
        if (got == 0)
            break;
        size += got;
    }
    data.resize(size);
    return data;
}

bool writeWholeFile(const QString &path, QByteArrayView data, QString *error)
{
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        errno = 0;
        // QSaveFile::commit() only sees errors of its own writes, not those of
        // the buffer it flushes on closing: flush first and look at the result.
        written = file.write(data.data(), data.size()) == data.size() && file.flush()
                  && file.error() == QFileDevice::NoError;
        if (!written && errno != 0) {
            // The buffer's flush reports no reason of its own.
            if (error)
                *error = qt_error_string(errno);
            return false;
        }
    }
    if (written && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    // Leaving without commit() removes the temporary file.
    return false;
}
