#include "cli/password.h"

#include "crypt/textroutines.h"
#include "crypt/wipe.h"
#include "platform/wholefile.h"

#include <QFile>

#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <termios.h>

namespace {

QString firstLine(QByteArrayView bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    if (end >= 0)
        bytes.truncate(end);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}

bool readFromTerminal(QString *password, QString *error)
{
    std::FILE *terminal = std::fopen("/dev/tty", "r+");
    if (!terminal) {
        *error = QStringLiteral("no terminal to ask for the password on; use --password-file");
        return false;
    }
    std::fputs("Master password: ", terminal);
    std::fflush(terminal);
    const int fd = fileno(terminal);
    termios saved{};
    const bool quiet = tcgetattr(fd, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(fd, TCSAFLUSH, &silent);
    }
    QByteArray line;
    for (int c = std::fgetc(terminal); c != EOF && c != '\n'; c = std::fgetc(terminal))
        line.append(char(c));
    if (quiet)
        tcsetattr(fd, TCSAFLUSH, &saved);
    std::fputs("\n", terminal);
    std::fclose(terminal);
    *password = firstLine(line);
    wipe(line);
    return true;
}

bool isPipe(const QString &path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

// A pipe, as "--password-file <(pass show key)" gives, is read as far as a
// password file may reach; opening it waits for its writer, as the user asked.
std::optional<QByteArray> readPipe(const QString &path, QString *reason)
{
    QFile pipe(path);
    if (!pipe.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *reason = pipe.errorString();
        return std::nullopt;
    }
    // One buffer, read into in place: no piece of the password is left in
    // memory that is not wiped.
    QByteArray bytes(FileSizeLimits::Password + 1, '\0');
    qint64 size = 0;
    for (qint64 got = 0; size < bytes.size(); size += got) {
        got = pipe.read(bytes.data() + size, bytes.size() - size);
        if (got <= 0)
            break;
    }
    if (size > FileSizeLimits::Password) {
        wipe(bytes);
        *reason = QStringLiteral("it holds more than a password file may");
        return std::nullopt;
    }
    bytes.truncate(size); // keeps the allocation, which wipe() writes over
    return bytes;
}

// Only a regular file or a pipe, and only as much as a password file may hold:
// a device such as /dev/zero or a huge file would never end.
bool readFromFile(const QString &path, QString *password, QString *error)
{
    QString reason;
    std::optional<QByteArray> bytes = isPipe(path)
                                          ? readPipe(path, &reason)
                                          : readWholeFile(path, FileSizeLimits::Password, &reason);
    if (!bytes) {
        *error = QStringLiteral("cannot read the password file %1: %2").arg(path, reason);
        return false;
    }
    *password = firstLine(*bytes);
    wipe(*bytes);
    return true;
}

} // namespace

bool Password::take(QStringList &arguments, QString *password, QString *error)
{
    const qsizetype option = arguments.indexOf(QLatin1String("--password-file"));
    if (option >= 0 && option + 1 >= arguments.size()) {
        *error = QStringLiteral("--password-file needs a file");
        return false;
    }
    bool read = false;
    if (option >= 0) {
        const QString path = arguments.at(option + 1);
        arguments.remove(option, 2);
        read = readFromFile(path, password, error);
    } else {
        read = readFromTerminal(password, error);
    }
    if (read && IsBlank(*password)) {
        *error = QStringLiteral("the password is blank");
        return false;
    }
    return read;
}
