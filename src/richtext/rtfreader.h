#pragma once

#include <QByteArray>
#include <QString>

class QTextCursor;

// Reads RTF (the rich-edit control's dialect and what RtfWriter writes) into a
// QTextDocument. Hostile or truncated input never crashes: it is refused with
// an error and the document stays as it was.
class RtfReader
{
public:
    // Inserts data at cursor, replacing the cursor's selection, as one undo step.
    // Data that does not begin with "{\rtf" is plain text in Windows-1252.
    // On failure returns false, sets *error and leaves the document unchanged.
    static bool read(const QByteArray &data, QTextCursor &cursor, QString *error = nullptr);
};
