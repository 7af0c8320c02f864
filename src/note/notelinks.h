#pragma once

#include <QObject>

class QAction;
class QMimeData;
class TJvRichEdit;

// The links and mail of one note editor: a double click marks the note's
// links and opens what the token at the selection leads to, a click on a link
// opens its text, files dropped or pasted from a file manager arrive as
// quoted, marked lines, and the note menu's "Send Note" mails the note.
class NoteLinks : public QObject
{
    Q_OBJECT

public:
    NoteLinks(TJvRichEdit *edit, QAction *sendNote, QObject *parent);

    // The editor's title becomes the note's title, then acSendNote mails the
    // note with it as the subject.
    void SendNote1Click();

private:
    void editDblClick();
    void editURLClick(const QString &text);
    void editQueryAcceptData(const QMimeData *data, bool really, bool &handled);

    TJvRichEdit *m_edit;
};
