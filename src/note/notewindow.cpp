#include "note/notewindow.h"

#include "links/marklinks.h"
#include "note/noteeditorpane.h"
#include "note/notehost.h"
#include "platform/screenplace.h"
#include "richedit/jvrichedit.h"
#include "richtext/notetitle.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// The width the window's height is measured at, as the note was written at.
constexpr int NoteWidth = 150;

// The title of the note's text, read from its first paragraphs only: the
// window's title follows every keystroke.
QString titleOf(const QTextDocument &document)
{
    // The title ends at the first break behind the first paragraph that is not
    // blank; a note of one such paragraph gives its first characters.
    QString text;
    int filled = 0;
    for (QTextBlock block = document.begin(); block.isValid() && filled < 2; block = block.next()) {
        if (block != document.begin())
            text += QStringLiteral("\r\n");
        const QString line = block.text();
        text += line;
        if (std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 32; }))
            ++filled;
    }
    return NoteTitle(text);
}

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
    connect(editor()->document(), &QTextDocument::contentsChanged, this, &TRichForm::textChanged);
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

int TRichForm::heightLimit() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * 7 / 8 : 0;
}

void TRichForm::fitHeightToText()
{
    resizeTo(QSize(width(), std::min(heightLimit(), editor()->MeasureTextHeight(NoteWidth, this))));
}

void TRichForm::resizeTo(const QSize &size)
{
    resize(size);
    // As it came out: a window is never smaller than its least size.
    m_givenSize = this->size();
}

void TRichForm::textChanged()
{
    setWindowTitle(titleOf(*editor()->document()));
    growToText();
}

void TRichForm::growToText()
{
    if (m_userSized || !isVisible() || (windowState() & ~Qt::WindowActive) != Qt::WindowNoState)
        return;
    TJvRichEdit *edit = editor();
    const QSizeF text = edit->document()->size();
    const QSize shown = edit->viewport()->size();
    const int wider = int(std::ceil(edit->document()->idealWidth())) - shown.width();
    const int higher = int(std::ceil(text.height())) - shown.height();
    const QRect area = availableAreaAt(geometry().center());
    QSize size = this->size();
    if (wider > 0)
        size.setWidth(std::min(size.width() + wider, std::max(area.width(), size.width())));
    if (higher > 0)
        size.setHeight(std::min(size.height() + higher, std::max(heightLimit(), size.height())));
    if (size == this->size())
        return;
    resizeTo(size);
    keepFrameOnScreen();
}

void TRichForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The window system reports the sizes the program gave as well; another
    // one while shown is the user's doing.
    if (event->spontaneous() && isVisible() && m_givenSize.isValid()
        && event->size() != m_givenSize)
        m_userSized = true;
}

void TRichForm::setPlace(const QRect &place)
{
    resizeTo(place.size());
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

void TRichForm::setStayOnTop(bool stayOnTop)
{
    m_stayOnTop = stayOnTop;
    setTopmost(stayOnTop);
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
