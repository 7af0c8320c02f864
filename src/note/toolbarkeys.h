#pragma once

#include <QList>
#include <QObject>

class QToolBar;
class QToolButton;
class QWidget;

// Keyboard access to a note window's tool bar, whose buttons take no focus
// from the mouse or the Tab key: enter() puts the focus on the first button,
// the arrow keys (and Home, End) move it between the buttons and rows,
// Enter or Space runs the button's command and Escape goes back. Commands act
// on the focused note editor, so the focus returns to the text before a
// command runs.
class ToolBarKeys : public QObject
{
    Q_OBJECT

public:
    // rows from top to bottom; text is where the focus returns to.
    ToolBarKeys(const QList<QToolBar *> &rows, QWidget *text, QObject *parent = nullptr);

    // Focus on the first button that can be used.
    void enter();
    // The button holding the focus, or none while the focus is elsewhere.
    QToolButton *focusedButton() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The buttons that can be used, row after row, each row left to right.
    QList<QList<QToolButton *>> usableRows() const;
    void moveWithinRow(QToolButton *from, int step);
    void moveToRow(QToolButton *from, int step);
    void run(QToolButton *button);
    void leave();

    QList<QToolBar *> m_rows;
    QWidget *m_text;
};
