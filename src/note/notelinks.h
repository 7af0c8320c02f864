#pragma once

#include "richedit/editordatafilter.h"
#include "richedit/jvrichedit.h"

class QAction;

// The links and mail of one note editor: addresses are marked as they are
// typed or pasted, a double click marks the note's
// links and opens the link it landed on, a Ctrl+click on a link opens it, files dropped or pasted
// from a file manager arrive as quoted, marked lines, and the note menu's "Send Note" mails the
// note.
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
    // A link Ctrl+click opens: text with the link effect, an address or a
    // quoted path, when it leads anywhere.
    static TJvRichEdit::Link linkAt(const TJvRichEdit &edit, int position);
    // Marks the addresses typed or pasted as soon as they are whole.
    void textChanged(int from, int removed, int added);
    void editDblClick();
    void editURLClick(const QString &text);

    TJvRichEdit *m_edit;
};
