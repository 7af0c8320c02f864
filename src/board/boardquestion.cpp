#include "board/boardquestion.h"

#include "board/desktopicon.h"
#include "platform/screenplace.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace {
// Room for a window manager's title bar and borders around a question.
constexpr QMargins QuestionFrame(8, 32, 8, 8);
constexpr int QuestionGap = 8;
} // namespace

BoardQuestion::BoardQuestion(QWidget &board, const DesktopIcon *icon, bool stayOnTop)
    : m_board(board)
    , m_icon(icon)
    , m_stayOnTop(stayOnTop)
{}

bool BoardQuestion::ask(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, &m_board);
    // Every question asks before something is lost: Enter must not lose it.
    box.setDefaultButton(QMessageBox::No);
    // In the board's band of windows, above the board.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, m_stayOnTop);
    m_box = &box;
    m_frame = QMargins();
    placeBox();
    box.installEventFilter(this);
    const bool yes = box.exec() == QMessageBox::Yes;
    m_box = nullptr;
    return yes;
}

void BoardQuestion::placeBox()
{
    if (!m_icon)
        return;
    // The window manager's title bar and borders are known once it has
    // framed the shown question; until then room is left for them. A window
    // manager may also have placed the question itself.
    QWindow *window = m_box->isVisible() ? m_box->windowHandle() : nullptr;
    m_frame = window ? window->frameMargins() : QMargins();
    const QSize frame
        = window ? window->frameGeometry().size() : m_box->sizeHint().grownBy(QuestionFrame);
    const QRect board(m_board.pos(), m_board.size());
    const QPoint place
        = BoardQuestion::place(frame, board, m_icon->iconFrame(), availableAreaAt(board.center()));
    const QPoint now = window ? window->frameGeometry().topLeft() : m_box->pos();
    // Moved by the difference: platforms differ in whether a window's
    // position counts its frame.
    m_box->move(m_box->pos() + place - now);
}

QPoint BoardQuestion::place(const QSize &question, const QRect &board, const QRect &icon,
                            const QRect &area)
{
    QRect place(board.center() - QPoint(question.width() / 2, question.height() / 2), question);
    if (place.intersects(icon)) {
        // Below the icon, or above it where the screen ends below.
        place.moveTop(icon.bottom() + 1 + QuestionGap);
        if (place.bottom() > area.bottom())
            place.moveBottom(icon.top() - 1 - QuestionGap);
    }
    if (!area.isEmpty())
        place.moveTopLeft(fitIntoArea(place, area));
    if (place.intersects(icon)) {
        // The screen has no room above or below: beside the icon instead.
        place.moveRight(icon.left() - 1 - QuestionGap);
        if (place.left() < area.left())
            place.moveLeft(icon.right() + 1 + QuestionGap);
    }
    return place.topLeft();
}

bool BoardQuestion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box) {
        const bool framed = event->type() == QEvent::Show
                            || (m_box->isVisible() && m_box->windowHandle()
                                && m_box->windowHandle()->frameMargins() != m_frame);
        if (framed)
            placeBox();
    }
    return false;
}
