#pragma once

#include <QString>

class CommandDialogs;
class TJvRichEdit;

// The file commands on one note editor: Open inserts a file's content in
// place of the selection, Save As writes the selection as RTF, Print prints
// the whole note. Each asks with the dialogs first; a cancelled dialog
// changes nothing, and a failure is told to the user with the file and the
// reason, the note staying as it was.
class FileCommands
{
public:
    // Larger files are refused: reading them would freeze the window.
    static constexpr qint64 MaximumOpenSize = 50 * 1024 * 1024;

    FileCommands(TJvRichEdit &editor, CommandDialogs &dialogs);

    void open();
    void saveAs();
    void print();

    // Inserts the file (RTF, else text) in place of the selection. False with
    // *message telling why when it cannot be read or holds neither; true with
    // *message set when an RTF file was cut short and only its beginning went in.
    bool insertFile(const QString &fileName, QString *message);

private:
    TJvRichEdit &m_editor;
    CommandDialogs &m_dialogs;
};
