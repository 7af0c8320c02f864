#include "cli/password.h"

#include "crypt/textroutines.h"

#include <QFile>

#include <cstdio>
#include <termios.h>

namespace {

QString firstLine(const QByteArray &bytes)
{
    QString line = QString::fromUtf8(bytes);
    const qsizetype end = line.indexOf(u'\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
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
    line.fill('\0');
    return true;
}

bool readFromFile(const QString &path, QString *password, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    *password = firstLine(bytes);
    bytes.fill('\0');
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
