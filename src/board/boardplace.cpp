#include "board/boardplace.h"

#include "board/placekeeper.h"
#include "platform/screenplace.h"
#include "platform/windowrecord.h"

#include <QMouseEvent>
#include <QSizeGrip>
#include <QWidget>

#include <algorithm>
#include <climits>

BoardPlace::BoardPlace(QWidget *board)
    : QObject(board)
    , m_board(board)
    , m_gripMark(new QSizeGrip(board))
{
    new PlaceKeeper(board);
    // Shows where the board is resized; the presses go through it to the
    // board's own handlers.
    m_gripMark->setAttribute(Qt::WA_TransparentForMouseEvents);
    board->installEventFilter(this);
}

void BoardPlace::takePresses(QWidget *part)
{
    m_parts.append(part);
    part->installEventFilter(this);
}

bool BoardPlace::InResizeGrip(int x, int y) const
{
    const int dx = m_board->width() - x;
    const int dy = m_board->height() - y;
    return dx >= 0 && dx <= GripSize && dy >= 0 && dy <= GripSize;
}

void BoardPlace::pnClientMouseDown(const QPoint &point, const QPoint &globalPoint)
{
    if (InResizeGrip(point.x(), point.y()))
        m_resizePoint = point;
    else
        m_movePoint = point;
    m_pressGlobal = globalPoint;
    m_pressPlace = QRect(m_board->pos(), m_board->size());
}

// The new place follows from the pointer's way on the screen since the press
// and the place at the press: a point in board coordinates would shift with
// every move and resize, which a window manager applies only later.
void BoardPlace::pnClientMouseMove(const QPoint &point, const QPoint &globalPoint)
{
    if (InResizeGrip(point.x(), point.y()))
        m_board->setCursor(Qt::SizeFDiagCursor);
    else
        m_board->unsetCursor();
    // The board stays wholly on the screen it is dragged to, so that the
    // filter field at its top and the grip at its corner stay in reach.
    const QPoint way = globalPoint - m_pressGlobal;
    if (m_resizePoint.x() != -1) {
        const QRect area = screenArea();
        const int tallest = area.isEmpty() ? INT_MAX : area.bottom() + 1 - m_board->y();
        m_board->resize(std::max(MinimumSize, m_pressPlace.width() + way.x()),
                        std::max(MinimumSize, std::min(tallest, m_pressPlace.height() + way.y())));
    }
    if (m_movePoint.x() != -1) {
        const QRect place(m_pressPlace.topLeft() + way, m_board->size());
        const QRect area = availableAreaAt(globalPoint);
        m_board->move(area.isEmpty() ? place.topLeft() : fitIntoArea(place, area));
    }
}

void BoardPlace::pnClientMouseUp()
{
    m_movePoint = QPoint(-1, -1);
    m_resizePoint = QPoint(-1, -1);
}

QRect BoardPlace::screenArea() const
{
    return availableAreaAt(QRect(m_board->pos(), m_board->size()).center());
}

void BoardPlace::keepOnScreen()
{
    const QRect area = screenArea();
    if (!area.isEmpty())
        m_board->move(fitIntoArea(QRect(m_board->pos(), m_board->size()), area));
}

int BoardPlace::heightOnScreen(int height) const
{
    const QRect area = screenArea();
    return area.isEmpty() ? height : std::min(height, std::max(MinimumSize, area.height()));
}

void BoardPlace::read(const SettingsFile &ini, const QString &section, int neededHeight)
{
    const QRect stored = readWindowRecord(ini, section, QRect(m_board->pos(), m_board->size()));
    // A record that would make the board vanish (off every screen, or
    // shrunk below its resizing minimum) is brought back within reach, and
    // one stored with fewer notes than there are now grows to show them all.
    QRect frame(stored.topLeft(), stored.size()
                                      .expandedTo(QSize(MinimumSize, MinimumSize))
                                      .expandedTo(QSize(0, neededHeight)));
    frame.moveTopLeft(placeOnScreen(frame));
    // No taller than the screen it comes back on, and wholly on it.
    const QRect area = availableAreaAt(frame.center());
    if (!area.isEmpty()) {
        frame.setHeight(std::min(frame.height(), std::max(MinimumSize, area.height())));
        frame.moveTopLeft(fitIntoArea(frame, area));
    }
    m_board->setGeometry(frame);
}

bool BoardPlace::write(SettingsFile &ini, const QString &section) const
{
    return writeWindowRecord(ini, section, QRect(m_board->pos(), m_board->size()));
}

bool BoardPlace::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_board) {
        if (event->type() == QEvent::Resize) {
            const QSize mark = m_gripMark->sizeHint();
            m_gripMark->setGeometry(QRect(m_board->contentsRect().bottomRight()
                                              - QPoint(mark.width(), mark.height()) + QPoint(1, 1),
                                          mark));
            m_gripMark->raise();
            return false;
        }
        return boardMouse(event);
    }
    auto *part = qobject_cast<QWidget *>(watched);
    return part && m_parts.contains(part) && partMouse(part, event);
}

bool BoardPlace::boardMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint point = mouse->position().toPoint();
        // Presses that the controls on the board pass up are not the board's.
        if (m_board->childAt(point))
            return false;
        pnClientMouseDown(point, mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pnClientMouseMove(mouse->position().toPoint(), mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease:
        pnClientMouseUp();
        return true;
    default:
        return false;
    }
}

bool BoardPlace::partMouse(QWidget *part, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint local = mouse->position().toPoint();
    // Presses passed up by a control on the part (a row, the filter field,
    // the New button) are not the board's; a part within it is the board.
    QWidget *child = part->childAt(local);
    if (child && !m_parts.contains(child) && type == QEvent::MouseButtonPress)
        return true;
    const QPoint point = part->mapTo(m_board, local);
    const QPoint globalPoint = mouse->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress)
        pnClientMouseDown(point, globalPoint);
    else if (type == QEvent::MouseMove)
        pnClientMouseMove(point, globalPoint);
    else
        pnClientMouseUp();
    return true;
}
