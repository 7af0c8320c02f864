#include "note/toolbarkeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QToolBar>
#include <QToolButton>

#include <cstdlib>

namespace {

const QString FocusMark
    = QStringLiteral("QToolButton { border: 2px solid palette(highlight); border-radius: 3px; }"
                     "QToolButton:checked { background: palette(midlight); }");

QToolButton *buttonFor(QToolBar *row, QAction *action)
{
    return qobject_cast<QToolButton *>(row->widgetForAction(action));
}

} // namespace

ToolBarKeys::ToolBarKeys(const QList<QToolBar *> &rows, QWidget *text, QObject *parent)
    : QObject(parent)
    , m_rows(rows)
    , m_text(text)
{
    for (QToolBar *row : m_rows) {
        for (QAction *action : row->actions()) {
            if (QToolButton *button = buttonFor(row, action))
                button->installEventFilter(this);
        }
    }
}

QList<QList<QToolButton *>> ToolBarKeys::usableRows() const
{
    QList<QList<QToolButton *>> rows;
    for (QToolBar *row : m_rows) {
        QList<QToolButton *> buttons;
        for (QAction *action : row->actions()) {
            QToolButton *button = buttonFor(row, action);
            if (button && button->isVisible() && button->isEnabled())
                buttons << button;
        }
        if (!buttons.isEmpty())
            rows << buttons;
    }
    return rows;
}

void ToolBarKeys::enter()
{
    const QList<QList<QToolButton *>> rows = usableRows();
    if (!rows.isEmpty())
        rows.first().first()->setFocus(Qt::ShortcutFocusReason);
}

QToolButton *ToolBarKeys::focusedButton() const
{
    for (const QList<QToolButton *> &row : usableRows()) {
        for (QToolButton *button : row) {
            if (button->hasFocus())
                return button;
        }
    }
    return nullptr;
}

void ToolBarKeys::moveWithinRow(QToolButton *from, int step)
{
    // Reading order, wrapping around at both ends of the whole bar.
    QList<QToolButton *> buttons;
    for (const QList<QToolButton *> &row : usableRows())
        buttons << row;
    const qsizetype at = buttons.indexOf(from);
    if (at < 0)
        return;
    const qsizetype count = buttons.size();
    buttons.at((at + step + count) % count)->setFocus(Qt::ShortcutFocusReason);
}

void ToolBarKeys::moveToRow(QToolButton *from, int step)
{
    // To the button of the next row that lies nearest below or above.
    const QList<QList<QToolButton *>> rows = usableRows();
    for (qsizetype index = 0; index < rows.size(); ++index) {
        if (!rows.at(index).contains(from))
            continue;
        const qsizetype target = index + step;
        if (target < 0 || target >= rows.size())
            return;
        const int x = from->mapToGlobal(from->rect().center()).x();
        QToolButton *nearest = nullptr;
        int distance = 0;
        for (QToolButton *button : rows.at(target)) {
            const int away = std::abs(button->mapToGlobal(button->rect().center()).x() - x);
            if (!nearest || away < distance) {
                nearest = button;
                distance = away;
            }
        }
        nearest->setFocus(Qt::ShortcutFocusReason);
        return;
    }
}

void ToolBarKeys::run(QToolButton *button)
{
    leave();
    button->click();
}

void ToolBarKeys::leave()
{
    m_text->setFocus(Qt::ShortcutFocusReason);
}

bool ToolBarKeys::eventFilter(QObject *watched, QEvent *event)
{
    // Styles mark a focused flat tool button faintly, if at all: the button
    // the keys are on gets a frame in the selection colour.
    if (event->type() == QEvent::FocusIn)
        static_cast<QWidget *>(watched)->setStyleSheet(FocusMark);
    else if (event->type() == QEvent::FocusOut)
        static_cast<QWidget *>(watched)->setStyleSheet(QString());
    // Other events reach a button also while it is being destroyed: it is
    // taken for a tool button only for a key.
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *button = static_cast<QToolButton *>(watched);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Left:
        moveWithinRow(button, -1);
        return true;
    case Qt::Key_Right:
        moveWithinRow(button, 1);
        return true;
    case Qt::Key_Up:
        moveToRow(button, -1);
        return true;
    case Qt::Key_Down:
        moveToRow(button, 1);
        return true;
    case Qt::Key_Home:
        enter();
        return true;
    case Qt::Key_End:
        if (const QList<QList<QToolButton *>> rows = usableRows(); !rows.isEmpty())
            rows.last().last()->setFocus(Qt::ShortcutFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        run(button);
        return true;
    case Qt::Key_Escape:
    case Qt::Key_F10:
        leave();
        return true;
    default:
        return false;
    }
}
