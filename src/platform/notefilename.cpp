#include "platform/notefilename.h"

#include <QFileInfo>

QString NoteFileName(const QString &folder, int number, const QString &extension)
{
    return folder + QStringLiteral("QelNotes_%1.%2").arg(number).arg(extension);
}

QStringList NoteFilesInBoardOrder(const QString &folder)
{
    QStringList files;
    for (const QString &extension : {QStringLiteral("rtf"), QStringLiteral("txt")}) {
        for (int number = 0;; ++number) {
            const QString name = NoteFileName(folder, number, extension);
            if (!QFileInfo::exists(name))
                break;
            files.append(name);
        }
    }
    return files;
}
