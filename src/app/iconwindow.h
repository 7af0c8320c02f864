#pragma once

#include "board/desktopicon.h"
#include "board/hovercount.h"

#include <QPoint>
#include <QPixmap>
#include <QWidget>

class IntervalTimer;
class TFrmNote;

// The desktop icon: a 32 x 32 always-on-top window showing only the program's
// picture, and the program's main window (closing it ends the program). The
// pointer resting on it brings the board up beside it; the auto-hide timer
// hides the board again once the pointer has left the icon and the board,
// unless a click has pinned the board open. The icon can be dragged and keeps
// its place in the record "NotesMain".
class TNoteMain : public QWidget, public DesktopIcon
{
    Q_OBJECT

public:
    static constexpr int IconSize = 32;
    static constexpr int FirstInterval = 1000;  // ms, until the pointer first came
    static constexpr int HoverInterval = 200;   // ms, from then on
    static constexpr int PointerRowOffset = 10; // the pointer's height in the board

    // timer drives the auto-hide (taken over; none: the system's timer).
    explicit TNoteMain(IntervalTimer *timer = nullptr);
    ~TNoteMain() override;

    void setBoard(TFrmNote *board) { m_board = board; }
    TFrmNote *board() const { return m_board; }

    void LoadSettings();
    void StoreSettings();

    // Brings the board up beside the icon (the pointer entering the icon).
    void Image1MouseEnter();
    // Another start of the program asked for the board: it comes up pinned
    // under the pointer (at pointer, on the screen), so that the user sees
    // the program that is already running.
    void showBoardOnRequest(const QPoint &pointer);
    // A click on the tray icon at trayIcon (empty where the tray does not
    // tell): the board comes up pinned beside it, or under the pointer, with
    // the keyboard; a click on the pinned board's tray icon lets go of it.
    void trayIconClick(const QRect &trayIcon);
    void Timer1Timer();
    void Close2Click(QObject *sender) override;
    void restartAutoHideTimer() override;
    HoverCount &hoverCount() override { return m_hoverCount; }
    QRect iconFrame() const override { return frameGeometry(); }

    // Where the board goes for an icon at icon on a screen of screen's size:
    // right of and below the icon, or left of it and up from the bottom edge
    // when it would not fit.
    static QPoint boardPlace(const QPoint &icon, const QSize &board, const QSize &screen);
    // Where the board goes to lie under pointer, within area.
    static QPoint boardUnderPointer(const QPoint &pointer, const QSize &board, const QRect &area);
    // Where the board goes beside a tray icon at anchor, within area: below
    // it, or above it where area ends below.
    static QPoint boardBeside(const QRect &anchor, const QSize &board, const QRect &area);

    // The press point inside the icon while a button is held, else (-1, -1).
    QPoint MovePos{-1, -1};

Q_SIGNALS:
    // The icon window was closed: the program ends.
    void closed();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Image1MouseUp();
    void Image1Click();
    void takeKeyboardToBoard();
    void renderPicture();

    IntervalTimer *Timer1;
    TFrmNote *m_board = nullptr;
    HoverCount m_hoverCount;
    QPixmap m_picture;
    QPoint m_pressPoint; // global, to tell a click from a drag
    bool m_dragged = false;
    bool m_shuttingDown = false;
    bool m_closedSignalled = false;
};
