#include "note/notelinks.h"

#include "commands/commandmodule.h"
#include "commands/linkcommands.h"
#include "links/droppedfiles.h"
#include "links/marklinks.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QMimeData>

NoteLinks::NoteLinks(TJvRichEdit *edit, QAction *sendNote, QObject *parent)
    : EditorDataFilter(parent)
    , m_edit(edit)
{
    connect(edit, &TJvRichEdit::OnDblClick, this, &NoteLinks::editDblClick);
    connect(edit, &TJvRichEdit::OnURLClick, this,
            [this](const QString &text) { editURLClick(text); });
    edit->installDataFilter(this);
    connect(sendNote, &QAction::triggered, this, &NoteLinks::SendNote1Click);
    sendNote->setEnabled(true);
}

void NoteLinks::SendNote1Click()
{
    m_edit->setTitle(TNoteFrame::NoteTitle(m_edit->Text()));
    TDM::instance()->acSendNote->trigger();
}

void NoteLinks::editDblClick()
{
    MarkLinks(*m_edit);
    TDM::instance()->links().open(tokenAtSelection(*m_edit));
}

void NoteLinks::editURLClick(const QString &text)
{
    TDM::instance()->links().open(text.trimmed());
}

bool NoteLinks::queryAcceptData(const QMimeData *data, bool really, bool)
{
    // While something is only dragged over the editor, it accepts as usual;
    // anything but a file manager's files it inserts itself.
    if (!really || !data)
        return false;
    const QStringList files = droppedFiles(*data);
    if (files.isEmpty())
        return false;
    insertFileLines(*m_edit, files);
    return true;
}
