#include "note/notelinks.h"

#include "commands/commandmodule.h"
#include "commands/linkcommands.h"
#include "links/droppedfiles.h"
#include "links/linktarget.h"
#include "links/marklinks.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QMimeData>
#include <QTextDocument>

namespace {

// What a link leads to, as the user reads it.
QString targetText(const LinkTarget &target)
{
    switch (target.kind) {
    case LinkTarget::Kind::Open:
        return target.url.isLocalFile() ? target.url.toLocalFile() : target.url.toDisplayString();
    case LinkTarget::Kind::ShowInFolder:
        return target.path;
    case LinkTarget::Kind::Mail:
        return QStringLiteral("mailto:") + target.address;
    case LinkTarget::Kind::None:
        break;
    }
    return {};
}

} // namespace

NoteLinks::NoteLinks(TJvRichEdit *edit, QAction *sendNote, QObject *parent)
    : EditorDataFilter(parent)
    , m_edit(edit)
{
    connect(edit, &TJvRichEdit::OnDblClick, this, &NoteLinks::editDblClick);
    connect(edit, &TJvRichEdit::OnURLClick, this,
            [this](const QString &text) { editURLClick(text); });
    edit->setLinkFinder([edit](int position) { return linkAt(*edit, position); });
    edit->installDataFilter(this);
    connect(edit->document(), &QTextDocument::contentsChange, this, &NoteLinks::textChanged);
    connect(sendNote, &QAction::triggered, this, &NoteLinks::SendNote1Click);
    sendNote->setEnabled(true);
}

void NoteLinks::SendNote1Click()
{
    m_edit->setTitle(TNoteFrame::NoteTitle(m_edit->Text()));
    TDM::instance()->action(CommandId::acSendNote)->trigger();
}

TJvRichEdit::Link NoteLinks::linkAt(const TJvRichEdit &edit, int position)
{
    QString text = edit.anchorTextAt(position).trimmed();
    if (text.isEmpty())
        text = ::linkAt(edit, position);
    const QString target = targetText(LinkTarget::resolve(text));
    return target.isEmpty() ? TJvRichEdit::Link() : TJvRichEdit::Link{text, target};
}

void NoteLinks::textChanged(int from, int removed, int added)
{
    // A format change (marking, say) removes and adds as much as it changes.
    if (added <= removed)
        return;
    const QTextDocument *document = m_edit->document();
    const QChar typed = document->characterAt(from + added - 1);
    // An address is whole once a blank or a line break follows it.
    if (added == 1 && !typed.isSpace())
        return;
    // Not while the document is in the middle of the change.
    QMetaObject::invokeMethod(
        this,
        [this, from, to = from + added] {
            const int end = m_edit->document()->characterCount() - 1;
            markAddressesIn(*m_edit, std::min(from, end), std::min(to, end));
        },
        Qt::QueuedConnection);
}

void NoteLinks::editDblClick()
{
    MarkLinks(*m_edit);
    TDM::instance()->links().open(linkAtSelection(*m_edit));
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
