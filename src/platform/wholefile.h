#pragma once

#include <QByteArrayView>
#include <QString>

// Replaces the file at path with data in one step: the old contents stay
// until the new ones are whole on the disk. Unlike a bare QSaveFile, a write
// the disk refused (a full disk, a file size limit) is noticed before the
// commit, so a short file never takes the place of a whole one. On failure
// the result is false, *error says why and the file is unchanged.
bool writeWholeFile(const QString &path, QByteArrayView data, QString *error);
