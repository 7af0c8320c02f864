#pragma once

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QString>

#include <optional>

// The folder the export subcommand writes into. A name is written only where
// nothing is, or where a file an earlier export wrote still holds what that
// export wrote; anything else there (the user's own file, a link, a folder)
// is left alone and the note takes the next free name, "3 Title (2).html".
// Files are never written through a link. What was written is recorded in
// the folder (RecordName: the SHA-256 and the name of each file), so that a
// later export may bring its own files up to date.
class ExportFolder
{
public:
    explicit ExportFolder(const QString &path);

    // Makes the folder when there is none and reads the record of earlier
    // exports; false with a message when the folder cannot be made.
    bool open(QString *error);

    struct Written
    {
        QString path;
        bool renamed = false; // name was taken by a file not ours
    };
    // Writes bytes under name, or under the next free variant of it. The
    // file is whole on the disk before it takes its name; nothing on failure,
    // with a message.
    std::optional<Written> write(const QString &name, const QByteArray &bytes, QString *error);

    // Stores the record of what this and earlier exports wrote.
    bool saveRecord(QString *error) const;

    static constexpr QLatin1StringView RecordName{".qelnote-export"};

private:
    enum class Place { Free, Ours, Taken };
    Place place(const QString &name) const;
    bool writeAt(const QString &name, Place place, const QByteArray &bytes, QString *error) const;

    QDir m_folder;
    QHash<QString, QByteArray> m_written; // file name -> SHA-256 of what was written
};
