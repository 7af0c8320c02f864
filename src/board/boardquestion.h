#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>

class DesktopIcon;
class QMessageBox;
class QWidget;

// A Yes/No question asked over the board before something is lost: No is
// the default button, and the question keeps clear of the desktop icon,
// moved again once a window manager has framed it.
class BoardQuestion : public QObject
{
    Q_OBJECT

public:
    // icon may be null: the question then goes where it is put.
    BoardQuestion(QWidget &board, const DesktopIcon *icon, bool stayOnTop);

    // Asks text modally; true when Yes was chosen.
    bool ask(const QString &text);

    // Where a question of size (its frame) goes: over the board, but clear
    // of the icon, within area.
    static QPoint place(const QSize &question, const QRect &board, const QRect &icon,
                        const QRect &area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Puts the open question clear of the icon, with its frame once known.
    void placeBox();

    QWidget &m_board;
    const DesktopIcon *m_icon;
    bool m_stayOnTop;
    QPointer<QMessageBox> m_box;
    // The frame margins the box was last placed with.
    QMargins m_frame;
};
