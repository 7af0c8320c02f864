#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Replaces the file at path with data in one step: the old contents stay
// until the new ones are whole on the disk. Unlike a bare QSaveFile, a write
// the disk refused (a full disk, a file size limit) is noticed before the
// commit, so a short file never takes the place of a whole one. On failure
// the result is false, *error says why and the file is unchanged.
bool writeWholeFile(const QString &path, QByteArrayView data, QString *error);

// How readWholeFile treats a symbolic link at path itself.
enum class FileLinks {
    Follow, // read the file it points to (still only a regular file)
    Refuse  // fail: a link in a shared folder may point at any private file
};

// Reads the whole file at path, the one way every file of the program is read.
// Only a regular file is read, and opening never waits: a FIFO, a device or a
// folder fails at once instead of hanging the program. A file above maxSize
// bytes fails with a message that names the limit, so that no planted or
// runaway file costs the program its memory or its time. On failure the
// result is empty and *error says why in a phrase fit to follow a colon.
std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize, QString *error,
                                        FileLinks links = FileLinks::Follow);

// The limits the program reads its files with: far above any file it writes
// itself, far below what would stall it.
namespace FileSizeLimits {
constexpr qint64 Note = 64 * 1024 * 1024;
constexpr qint64 Settings = 4 * 1024 * 1024;
constexpr qint64 Password = 64 * 1024;
} // namespace FileSizeLimits
