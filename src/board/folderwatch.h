#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

// Tells when the data folder may have changed: other programs (a sync tool,
// the program on a second machine) write there while this one runs. Tests
// emit changed() themselves.
class FolderWatch : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    // Something in the folder was added, removed, renamed or rewritten.
    void changed();
};

// The data folder as the file system reports it.
class SystemFolderWatch : public FolderWatch
{
    Q_OBJECT

public:
    explicit SystemFolderWatch(const QString &folder, QObject *parent = nullptr);

private:
    QFileSystemWatcher m_watcher;
};
