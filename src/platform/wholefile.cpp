#include "platform/wholefile.h"

#include <QSaveFile>

#include <cerrno>

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
