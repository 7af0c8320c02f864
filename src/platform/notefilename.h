#pragma once

#include <QString>
#include <QStringList>

// Note file number of a series in folder (ending in '/'): "QelNotes_<n>.<extension>".
QString NoteFileName(const QString &folder, int number,
                     const QString &extension = QStringLiteral("rtf"));

// The note files of folder in the order the board lists them: the ".rtf"
// series from 0 up to its first gap, then the ".txt" series the same way.
QStringList NoteFilesInBoardOrder(const QString &folder);
