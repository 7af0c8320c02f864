#include "note/notewindow.h"

#include "links/marklinks.h"
#include "note/noteeditorpane.h"
#include "note/notehost.h"
#include "platform/screenplace.h"
#include "richedit/jvrichedit.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// The width the window's height is measured at, as the note was written at.
constexpr int NoteWidth = 150;
} // namespace

TRichForm::TRichForm(NoteHost &host)
    : QWidget(nullptr, Qt::Window)
    , m_host(host)
    , m_pane(new NoteEditorPane(host.editSelectAllAction(), host.fileSaveAsAction(), this))
    , m_stayOnTop(host.stayOnTop())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    setWindowIcon(m_host.hostWindow()->windowIcon());
    setWindowFlag(Qt::WindowStaysOnTopHint, m_stayOnTop);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pane);
}

TJvRichEdit *TRichForm::editor() const
{
    return m_pane->edit();
}

void TRichForm::loadNote(const RichDocument &note)
{
    TJvRichEdit *target = editor();
    target->DefAttributes().Assign(note.DefAttributes());
    target->SelAttributes().Assign(note.SelAttributes());
    // Open inserts a file at the caret and Save As writes the selection.
    target->setStreamFormat(TStreamFormat::sfRichText);
    target->setStreamMode(TStreamMode::smSelection | TStreamMode::smPlainRtf
                          | TStreamMode::smUnicode);
    target->setContent(note);
}

void TRichForm::fitHeightToText()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int limit = screen ? screen->geometry().height() * 7 / 8 : 0;
    resize(width(), std::min(limit, editor()->MeasureTextHeight(NoteWidth, this)));
}

void TRichForm::setPlace(const QRect &place)
{
    resize(place.size());
    move(place.topLeft());
    keepFrameOnScreen();
}

void TRichForm::showActive()
{
    show();
    raise();
    activateWindow();
    editor()->setFocus(Qt::ActiveWindowFocusReason);
}

void TRichForm::keepFrameOnScreen()
{
    // The window manager's title bar and borders are known only once it has
    // framed the shown window; before, the window alone is kept on the screen.
    QWindow *window = isVisible() ? windowHandle() : nullptr;
    m_frameMargins = window ? window->frameMargins() : QMargins();
    const QRect frame = window ? window->frameGeometry() : QRect(pos(), size());
    const QRect area = availableAreaAt(frame.center());
    if (area.isEmpty())
        return;
    const QPoint place = fitIntoArea(frame, area);
    // Moved by the difference: platforms differ in whether a window's
    // position counts its frame.
    if (place != frame.topLeft())
        move(pos() + place - frame.topLeft());
}

void TRichForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    keepFrameOnScreen();
    FormShow();
}

bool TRichForm::event(QEvent *event)
{
    // A closed window deletes itself in here (WA_DeleteOnClose).
    if (event->type() == QEvent::DeferredDelete)
        return QWidget::event(event);
    const bool result = QWidget::event(event);
    // The frame came, or changed, since the window was last placed: its title
    // bar may lie above the screen now. No event says so of its own.
    if (isVisible() && windowHandle() && windowHandle()->frameMargins() != m_frameMargins)
        keepFrameOnScreen();
    return result;
}

void TRichForm::FormShow()
{
    MarkLinks(*editor());
    m_deactivationHandler = true;
    if (m_stayOnTop)
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
    setTopmost(m_host.stayOnTop());
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
