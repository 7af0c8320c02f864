#include "board/folderwatch.h"

SystemFolderWatch::SystemFolderWatch(const QString &folder, QObject *parent)
    : FolderWatch(parent)
{
    // Sync tools put a file in place by renaming it, which changes the folder.
    m_watcher.addPath(folder);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::changed);
}
