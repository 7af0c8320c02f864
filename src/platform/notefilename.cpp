#include "platform/notefilename.h"

#include <QFileInfo>
#include <QRegularExpression>

QString NoteFileName(const QString &folder, int number, const QString &extension)
{
    return folder + QStringLiteral("QelNotes_%1.%2").arg(number).arg(extension);
}

int NoteSeriesLength(const QString &folder, const QString &extension)
{
    int length = 0;
    while (QFileInfo::exists(NoteFileName(folder, length, extension)))
        ++length;
    return length;
}

QStringList NoteFilesInBoardOrder(const QString &folder)
{
    QStringList files;
    for (const QString &extension : {QStringLiteral("rtf"), QStringLiteral("txt")}) {
        const int length = NoteSeriesLength(folder, extension);
        for (int number = 0; number < length; ++number)
            files.append(NoteFileName(folder, number, extension));
    }
    return files;
}

std::optional<NoteFileNumber> ParseNoteFileName(const QString &fileName)
{
    static const QRegularExpression name(QStringLiteral("^QelNotes_(0|[1-9][0-9]{0,8})\\.(\\w+)$"));
    const QRegularExpressionMatch match = name.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    return NoteFileNumber{match.captured(1).toInt(), match.captured(2)};
}
