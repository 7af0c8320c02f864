#include "board/placekeeper.h"

#include <QEvent>
#include <QWidget>

PlaceKeeper::PlaceKeeper(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_place(window->pos())
{
    window->installEventFilter(this);
}

bool PlaceKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        m_checking = true;
        break;
    case QEvent::Hide:
        m_checking = false;
        break;
    case QEvent::Move:
        // The program's own moves arrive at once, not from the window system.
        if (!event->spontaneous()) {
            m_place = m_window->pos();
        } else if (m_checking) {
            m_checking = false;
            if (m_window->pos() != m_place)
                m_window->move(m_place);
        } else {
            // Moved by the window manager once settled: it is there.
            m_place = m_window->pos();
        }
        break;
    default:
        break;
    }
    return false;
}
