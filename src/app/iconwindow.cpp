#include "app/iconwindow.h"

#include "app/appicon.h"
#include "board/errormessage.h"
#include "board/notesboard.h"
#include "board/placekeeper.h"
#include "platform/datafolder.h"
#include "platform/screenplace.h"
#include "platform/settingsfile.h"
#include "platform/systemtimer.h"
#include "platform/windowrecord.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {
const QString Section = QStringLiteral("NotesMain");

QSize screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

// Pixels at the picture's edge are blended into this colour, which matches
// the picture's outline: the window mask leaves no room for partial alpha.
constexpr QColor EdgeColour(0x9c, 0x7a, 0x12);
} // namespace

TNoteMain::TNoteMain(IntervalTimer *timer)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , Timer1(timer ? timer : new SystemTimer)
{
    Timer1->setParent(this);
    setWindowTitle(QStringLiteral("NoteMain"));
    setObjectName(QStringLiteral("NoteMain"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Right presses come here, so the menu opens on the release like a click.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFixedSize(IconSize, IconSize);
    new PlaceKeeper(this);
    renderPicture();

    const QSize screen = screenSize();
    move(screen.width() * 7 / 8, screen.height() / 10);
    LoadSettings();

    Timer1->setInterval(FirstInterval);
    connect(Timer1, &IntervalTimer::timeout, this, &TNoteMain::Timer1Timer);
    Timer1->start();
}

TNoteMain::~TNoteMain() = default;

void TNoteMain::renderPicture()
{
    m_picture = AppIconPixmap(IconSize, devicePixelRatioF());
    // Only the picture is the window; the rest lets the desktop through, with
    // or without a compositor.
    const QImage shape = AppIconPixmap(IconSize).toImage();
    setMask(QBitmap::fromImage(shape.createAlphaMask(Qt::ThresholdAlphaDither)));
}

void TNoteMain::LoadSettings()
{
    const SettingsFile ini(SettingsFilePath());
    const QPoint stored = readWindowRecord(ini, Section, QRect(pos(), size())).topLeft();
    move(placeOnScreen(QRect(stored, size())));
}

void TNoteMain::StoreSettings()
{
    SettingsFile ini(SettingsFilePath());
    if (!writeWindowRecord(ini, Section, QRect(pos(), size()), WindowRecordKeys::Position))
        ShowErrorMessage(this, ini.errorString());
}

QPoint TNoteMain::boardPlace(const QPoint &icon, const QSize &board, const QSize &screen)
{
    const int left = icon.x() + 30 + board.width() > screen.width() ? icon.x() - 3 - board.width()
                                                                    : icon.x() + 30;
    const int top = icon.y() + 30 + board.height() > screen.height()
                        ? screen.height() - board.height() - 30
                        : icon.y() + 30;
    return {left, top};
}

void TNoteMain::Image1MouseEnter()
{
    if (m_board && !m_board->isVisible()) {
        m_board->move(boardPlace(pos(), m_board->size(), screenSize()));
        Timer1->setInterval(HoverInterval);
        Timer1->start();
        m_board->show();
    }
    // Set, not raised: an enter without a leave (after a menu) must not pile up.
    m_hoverCount.restart(1);
}

void TNoteMain::showBoardOnRequest(const QPoint &pointer)
{
    if (!m_board)
        return;
    Image1MouseEnter();
    m_board->setStayOpen(true);
    m_board->move(boardUnderPointer(pointer, m_board->size(), availableAreaAt(pointer)));
    takeKeyboardToBoard();
}

void TNoteMain::trayIconClick(const QRect &trayIcon)
{
    if (!m_board)
        return;
    if (m_board->StayOpen() && m_board->isVisible()) {
        m_board->setStayOpen(false);
        m_board->hide();
        return;
    }
    if (trayIcon.isEmpty()) {
        showBoardOnRequest(QCursor::pos());
        return;
    }
    m_board->setStayOpen(true);
    m_board->move(boardBeside(trayIcon, m_board->size(), availableAreaAt(trayIcon.center())));
    m_board->show();
    takeKeyboardToBoard();
}

QPoint TNoteMain::boardBeside(const QRect &anchor, const QSize &board, const QRect &area)
{
    QRect place(QPoint(anchor.left(), anchor.bottom() + 1), board);
    if (!area.isEmpty() && place.bottom() > area.bottom())
        place.moveBottom(anchor.top() - 1);
    return area.isEmpty() ? place.topLeft() : fitIntoArea(place, area);
}

void TNoteMain::takeKeyboardToBoard()
{
    // Shown on hover the board leaves the keyboard where it is; pinned, it
    // takes it, so that typing reaches its filter. Without a window manager
    // nobody else would give the board the input focus.
    m_board->raise();
    m_board->activateWindow();
}

QPoint TNoteMain::boardUnderPointer(const QPoint &pointer, const QSize &board, const QRect &area)
{
    // The pointer rests on the first row, in the middle of the board.
    const QRect place(pointer - QPoint(board.width() / 2, PointerRowOffset), board);
    return area.isEmpty() ? place.topLeft() : fitIntoArea(place, area);
}

void TNoteMain::Timer1Timer()
{
    // A question or box of the board waits for its answer with the board up.
    if (m_hoverCount.pointerOver() || !m_board || m_board->StayOpen()
        || QApplication::activeModalWidget())
        return;
    m_board->hide();
    m_hoverCount.restart(0);
}

void TNoteMain::restartAutoHideTimer()
{
    Timer1->stop();
    Timer1->start();
}

void TNoteMain::Close2Click(QObject *sender)
{
    m_shuttingDown = true;
    if (m_board)
        m_board->imCloseClick(sender);
    close();
}

void TNoteMain::enterEvent(QEnterEvent *)
{
    Image1MouseEnter();
}

void TNoteMain::leaveEvent(QEvent *)
{
    m_hoverCount.leave();
}

void TNoteMain::mousePressEvent(QMouseEvent *event)
{
    if (m_board && (event->buttons() & Qt::RightButton))
        m_board->hide();
    MovePos = event->position().toPoint();
    m_pressPoint = event->globalPosition().toPoint();
    m_dragged = false;
}

void TNoteMain::mouseMoveEvent(QMouseEvent *event)
{
    if (MovePos.x() < 0)
        return;
    if (m_board && m_board->isVisible())
        m_board->hide();
    move(pos() + event->position().toPoint() - MovePos);
    if ((event->globalPosition().toPoint() - m_pressPoint).manhattanLength()
        >= QApplication::startDragDistance())
        m_dragged = true;
}

void TNoteMain::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = MovePos.x() >= 0 && !m_dragged;
    Image1MouseUp();
    if (!click)
        return;
    if (event->button() == Qt::LeftButton)
        Image1Click();
    else if (event->button() == Qt::RightButton && m_board)
        m_board->popupMenuAt(event->globalPosition().toPoint());
}

void TNoteMain::Image1MouseUp()
{
    MovePos = QPoint(-1, -1);
    unsetCursor();
    StoreSettings();
}

void TNoteMain::Image1Click()
{
    if (!m_board)
        return;
    m_board->setStayOpen(!m_board->StayOpen());
    m_board->setVisible(m_board->StayOpen());
    if (m_board->StayOpen())
        takeKeyboardToBoard();
}

void TNoteMain::paintEvent(QPaintEvent *)
{
    if (!qFuzzyCompare(m_picture.devicePixelRatio(), devicePixelRatioF()))
        renderPicture(); // moved to a screen of another scale
    QPainter painter(this);
    painter.fillRect(rect(), EdgeColour);
    painter.drawPixmap(0, 0, m_picture);
}

void TNoteMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        raise();
    QWidget::changeEvent(event);
}

void TNoteMain::closeEvent(QCloseEvent *event)
{
    // A close from outside (the session ending) runs the whole shutdown, so
    // that the notes are stored; within it, the nested close does nothing.
    if (!m_shuttingDown)
        Close2Click(this);
    event->accept();
    if (!m_closedSignalled) {
        m_closedSignalled = true;
        Q_EMIT closed();
    }
}
