#include "platform/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QFileInfo>

namespace {

struct State
{
    QString folder;
    bool programFolder = true;
    bool writable = true;
};

State &state()
{
    static State current;
    return current;
}

QString withSlash(const QString &folder)
{
    QString path = QDir::fromNativeSeparators(folder);
    return path.endsWith(u'/') ? path : path + u'/';
}

// An installed program sits in a prefix's bin folder (/usr/bin, ~/.local/bin),
// shared with other programs and writable to the superuser or to its owner:
// notes never go there.
bool isInstalledProgramFolder(const QString &folder)
{
    return QDir(folder).dirName() == QLatin1String("bin");
}

QString userFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        return {};
    QDir().mkpath(folder);
    return withSlash(folder);
}

State &resolved()
{
    State &current = state();
    if (current.folder.isEmpty()) {
        const QString program = ProgramFolder();
        current.folder = resolveDataFolder(program);
        current.programFolder = current.folder == program;
        current.writable = isWritableFolder(current.folder);
    }
    return current;
}

} // namespace

// access(2) also knows read-only mounts; no probe file is made, so a second
// copy that only looks for the folder leaves it untouched.
bool isWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString ProgramFolder()
{
    return withSlash(QCoreApplication::applicationDirPath());
}

QString resolveDataFolder(const QString &programFolder)
{
    const QString program = withSlash(programFolder);
    if (isWritableFolder(program) && !isInstalledProgramFolder(program))
        return program;
    const QString user = userFolder();
    return user.isEmpty() || !isWritableFolder(user) ? program : user;
}

QString DataFolder()
{
    return resolved().folder;
}

bool DataFolderIsProgramFolder()
{
    return resolved().programFolder;
}

bool DataFolderIsWritable()
{
    return resolved().writable;
}

void setDataFolderForTesting(const QString &folder)
{
    State &current = state();
    current = State();
    if (!folder.isEmpty()) {
        current.folder = withSlash(folder);
        current.writable = isWritableFolder(current.folder);
    }
}

QString SettingsFilePath()
{
    return DataFolder() + QStringLiteral("QelNotes.ini");
}

QString ProgramSettingsFilePath()
{
    return DataFolder() + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
           + QStringLiteral(".ini");
}
