#pragma once

#include <QStringList>

class QMimeData;
class RichDocument;

// The local files a file manager hands over by a drop or on the clipboard: a
// list of file:// URLs (text/uri-list and its KDE twin) or GNOME's copied
// files. Empty when the data holds no such list, or any address in it is not
// a local file: such data is no file manager's.
QStringList droppedFiles(const QMimeData &data);

// Inserts each file at the selection as a line of its own, its path in double
// quotes, and marks the lines as links; typing then goes on in the colour and
// style the insertion point had.
void insertFileLines(RichDocument &document, const QStringList &files);
