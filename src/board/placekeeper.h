#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Keeps a frameless top-level window's idea of its own place true under a
// reparenting window manager. Such a manager puts the window into a frame of
// its own just after it is shown, and the place the window system reports
// then may be the window's place inside that frame (0, 0) rather than on the
// screen. Qt believes it: the place stored, and every later move or resize
// counted from it, go wrong while the window stays where it was put. The
// keeper notes where the program put the window; when the first report after
// showing says otherwise, it puts the window there once more, which the
// manager answers with the true place.
class PlaceKeeper : public QObject
{
    Q_OBJECT

public:
    // Watches window, which owns the keeper.
    explicit PlaceKeeper(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPoint m_place;          // where the program put the window
    bool m_checking = false; // shown, and the window system has not reported a place since
};
