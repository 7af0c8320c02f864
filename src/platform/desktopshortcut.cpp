#include "platform/desktopshortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/wholefile.h"

namespace {

QString folderPath(ShortcutFolder folder)
{
    switch (folder) {
    case ShortcutFolder::Startup: {
        // The autostart folder of freedesktop sessions: $XDG_CONFIG_HOME/autostart.
        const QString config
            = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        return config.isEmpty() ? QString() : config + QStringLiteral("/autostart");
    }
    case ShortcutFolder::Desktop:
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    }
    return {};
}

// The escapes of a desktop entry's string values.
QString escapedValue(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\r', QStringLiteral("\\r"));
    text.replace(u'\t', QStringLiteral("\\t"));
    return text;
}

// One argument of an Exec line: quoted when it holds a reserved character,
// '%' doubled so that it is not taken for a field code.
QString execArgument(QString argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : std::as_const(argument))
        quote = quote || reserved.contains(c);
    if (quote) {
        QString quoted;
        for (QChar c : std::as_const(argument)) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    argument.replace(u'%', QStringLiteral("%%"));
    return escapedValue(argument);
}

// The program's picture under its name in the desktop's icon theme, as
// installing the program puts it there.
const QString IconName = QStringLiteral("qelnotes");
const QString IconFile = QStringLiteral("icons/hicolor/scalable/apps/qelnotes.svg");

// A copy of the program that was not installed (started from its own folder)
// gives the icon theme its picture itself, so that the launcher finds it. The
// picture is the one built into the program.
void provideIcon()
{
    if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation, IconFile).isEmpty())
        return;
    QFile picture(QStringLiteral(":/app/qelnotes.svg"));
    if (!picture.open(QIODevice::ReadOnly))
        return;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return;
    const QString path = data + u'/' + IconFile;
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeWholeFile(path, picture.readAll(), nullptr);
}

QByteArray desktopEntry(const QString &targetPath, const QString &linkName,
                        const QString &description)
{
    const QFileInfo target(targetPath);
    QString folder = QDir::fromNativeSeparators(target.absolutePath());
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString text
        = QStringLiteral("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Version=1.0\n"
                         "Name=%1\n"
                         "Comment=%2\n"
                         "Exec=%3\n"
                         "Path=%4\n"
                         "Icon=%5\n"
                         "Terminal=false\n")
              .arg(escapedValue(linkName), escapedValue(description),
                   execArgument(target.absoluteFilePath()), escapedValue(folder), IconName);
    return text.toUtf8();
}

void createShortcut(const QString &path, const QByteArray &entry)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!writeWholeFile(path, entry, nullptr))
        return;
    // File managers start only launchers that are marked executable.
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
}

} // namespace

QString ShortcutPath(const QString &linkName, ShortcutFolder folder)
{
    const QString path = folderPath(folder);
    return path.isEmpty() ? QString() : path + u'/' + linkName + QStringLiteral(".desktop");
}

void ToggleShortcut(const QString &targetPath, const QString &linkName, const QString &description,
                    ShortcutFolder folder)
{
    const QString path = ShortcutPath(linkName, folder);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path))
        QFile::remove(path);
    else {
        provideIcon();
        createShortcut(path, desktopEntry(targetPath, linkName, description));
    }
}

bool ShortcutExists(const QString &linkName, ShortcutFolder folder)
{
    const QString path = ShortcutPath(linkName, folder);
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString ShortcutDescription()
{
    return QStringLiteral("Qel Notes\r\nhttps://qelnotes.example.org/");
}
