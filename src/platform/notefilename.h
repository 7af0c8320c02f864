#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Note file number of a series in folder (ending in '/'): "QelNotes_<n>.<extension>".
QString NoteFileName(const QString &folder, int number,
                     const QString &extension = QStringLiteral("rtf"));

// How many files the series of extension in folder holds: numbers from 0 up
// to the first gap.
int NoteSeriesLength(const QString &folder, const QString &extension);

// The note files of folder in the order the board lists them: the ".rtf"
// series from 0 up to its first gap, then the ".txt" series the same way.
QStringList NoteFilesInBoardOrder(const QString &folder);

// The number of a file named as a note of a series ("QelNotes_<n>.<extension>",
// n without leading zeros) with its extension; nullopt for any other name.
struct NoteFileNumber
{
    int number = 0;
    QString extension;
};
std::optional<NoteFileNumber> ParseNoteFileName(const QString &fileName);
