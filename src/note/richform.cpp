#include "note/richform.h"

#include "note/notehost.h"
#include "note/noteframe.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QVBoxLayout>
#include <QWindow>

TRichForm::TRichForm(NoteHost *host)
    : QWidget(nullptr, Qt::Window)
    , m_host(host)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    if (m_host) {
        StayOnTop = m_host->stayOnTop();
        setWindowIcon(m_host->hostWindow()->windowIcon());
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, StayOnTop);

    nf = new TNoteFrame(m_host, TNoteFrame::EditorKind::Widget, this);
    nf->Panel1->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(nf);
}

void TRichForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TRichForm::FormShow()
{
    // Marking links in the note belongs here once the link pass exists.
    m_deactivationHandler = true;
    if (StayOnTop)
        setTopmost(true);
}

void TRichForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_deactivationHandler)
        FormDeactivate();
}

void TRichForm::FormDeactivate()
{
    setTopmost(m_host && m_host->stayOnTop());
}

void TRichForm::setTopmost(bool topmost)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    QWindow *window = windowHandle();
    if (!window || !isVisible()) {
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        return;
    }
    // Changing the widget's flags would hide and recreate the window; the
    // platform window takes the new band as it is.
    window->setFlag(Qt::WindowStaysOnTopHint, topmost);
    overrideWindowFlags(window->flags());
}

void TRichForm::closeEvent(QCloseEvent *event)
{
    Q_EMIT closing();
    event->accept();
}

void TRichForm::dragEnterEvent(QDragEnterEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TRichForm::dragMoveEvent(QDragMoveEvent *event)
{
    event->accept();
}

void TRichForm::dropEvent(QDropEvent *event)
{
    // Drops beside the editor (on the tool bar, say) take nothing.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}
