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

// Opens path for reading into file without waiting on it, or says why not.
bool openRegular(const QString &path, FileLinks links, qint64 maxSize, QFile *file, QString *error)
{
#ifdef Q_OS_UNIX
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (links == FileLinks::Refuse)
        flags |= O_NOFOLLOW;
    const int handle = ::open(QFile::encodeName(path).constData(), flags);
    if (handle < 0) {
        const int reason = errno;
        *error = reason == ELOOP && links == FileLinks::Refuse
                     ? QCoreApplication::translate("WholeFile", "it is a symbolic link")
                     : qt_error_string(reason);
        return false;
    }
    struct stat status
    {
    };
    QString refusal;
    if (::fstat(handle, &status) != 0)
        refusal = qt_error_string(errno);
    else if (S_ISDIR(status.st_mode))
        refusal = QCoreApplication::translate("WholeFile", "it is a folder");
    else if (!S_ISREG(status.st_mode))
        refusal = QCoreApplication::translate("WholeFile", "it is not a regular file");
    else if (status.st_size > maxSize)
        refusal = tooLarge(maxSize);
    if (!refusal.isEmpty()) {
        ::close(handle);
        *error = refusal;
        return false;
    }
    // Read in one piece into its own buffer: a buffered device would first
    // copy every file through a block of its own.
    if (!file->open(handle, QIODevice::ReadOnly | QIODevice::Unbuffered,
                    QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        *error = file->errorString();
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (links == FileLinks::Refuse && info.isSymLink())
        *error = QCoreApplication::translate("WholeFile", "it is a symbolic link");
    else if (info.isDir())
        *error = QCoreApplication::translate("WholeFile", "it is a folder");
    else if (info.exists() && !info.isFile())
        *error = QCoreApplication::translate("WholeFile", "it is not a regular file");
    else if (info.size() > maxSize)
        *error = tooLarge(maxSize);
    else if (file->setFileName(path), !file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        *error = file->errorString();
    else
        return true;
    return false;
#endif
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize, QString *error,
                                        FileLinks links)
{
    QFile file;
    if (!openRegular(path, links, maxSize, &file, error))
        return std::nullopt;
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
