#pragma once

#include "richedit/editordatafilter.h"

class QAction;
class TJvRichEdit;

// The links and mail of one note editor: a double click marks the note's
// links and opens what the token at the selection leads to, a click on a link
// opens its text, files dropped or pasted from a file manager arrive as
// quoted, marked lines, and the note menu's "Send Note" mails the note.
class NoteLinks : public EditorDataFilter
{
    Q_OBJECT

public:
    NoteLinks(TJvRichEdit *edit, QAction *sendNote, QObject *parent);

    // The editor's title becomes the note's title, then acSendNote mails the
    // note with it as the subject.
    void SendNote1Click();

    // The editor's OnQueryAcceptData: a file manager's files become lines.
    bool queryAcceptData(const QMimeData *data, bool really, bool isDrop) override;

private:
    void editDblClick();
    void editURLClick(const QString &text);

    TJvRichEdit *m_edit;
};
