#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

class QString;
class QWidget;
class SettingsFile;

// Where the frameless board lies and how the pointer changes it. A press in
// the 17 x 17 grip at the board's bottom-right corner resizes it, a press
// elsewhere drags it; the board stays wholly on the screen it is on, also
// when its stored record is read back. The board owns its place and hands it
// the parts of itself whose presses are the board's.
class BoardPlace : public QObject
{
    Q_OBJECT

public:
    static constexpr int GripSize = 16;     // largest distance from the edges inside the grip
    static constexpr int MinimumSize = 100; // while resizing

    // Takes the presses on board itself beside its children; shows the grip.
    explicit BoardPlace(QWidget *board);

    // Presses on part, a widget on the board, move and resize the board,
    // except presses on a child of part that is not itself such a part,
    // which are the child's.
    void takePresses(QWidget *part);

    // (x, y) in board coordinates lies in the grip.
    bool InResizeGrip(int x, int y) const;
    // The press point of a move and the last point of a resize in progress,
    // (-1, -1) when none.
    QPoint MousePos() const { return m_movePoint; }
    QPoint MouseResize() const { return m_resizePoint; }
    // Ends a move or resize, as a release does.
    void pnClientMouseUp();

    // The available part of the screen the board is on; empty without screens.
    QRect screenArea() const;
    // Moves the board as little as needed to lie wholly on that screen.
    void keepOnScreen();
    // height, no taller than that screen (but at least MinimumSize).
    int heightOnScreen(int height) const;

    // Puts the board where the record in section says, within reach and at
    // least neededHeight high.
    void read(const SettingsFile &ini, const QString &section, int neededHeight);
    // False when the file refuses.
    bool write(SettingsFile &ini, const QString &section) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Points are in board coordinates, global points on the screen.
    void pnClientMouseDown(const QPoint &point, const QPoint &globalPoint);
    void pnClientMouseMove(const QPoint &point, const QPoint &globalPoint);
    // The mouse event on the board itself; true when it was the board's.
    bool boardMouse(QEvent *event);
    // The mouse event on part; true when it was the board's.
    bool partMouse(QWidget *part, QEvent *event);

    QWidget *m_board;
    QWidget *m_gripMark;
    QList<QWidget *> m_parts;
    QPoint m_movePoint{-1, -1};
    QPoint m_resizePoint{-1, -1};
    // Where the pointer and the board were when a move or resize began.
    QPoint m_pressGlobal;
    QRect m_pressPlace;
};
