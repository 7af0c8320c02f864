#include "platform/screenplace.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QPoint placeOnScreen(const QRect &frame, const QList<QRect> &screens, const QRect &primaryArea)
{
    const bool visible = std::any_of(screens.cbegin(), screens.cend(),
                                     [&](const QRect &screen) { return screen.intersects(frame); });
    if (visible || primaryArea.isEmpty())
        return frame.topLeft();
    return fitIntoArea(frame, primaryArea);
}

QPoint fitIntoArea(const QRect &frame, const QRect &area)
{
    // Too wide or too high for the area: its top left corner stays reachable.
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    return {x, y};
}

QRect availableAreaAt(const QPoint &point)
{
    const QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QPoint placeOnScreen(const QRect &frame)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    const QScreen *primary = QGuiApplication::primaryScreen();
    return placeOnScreen(frame, screens, primary ? primary->availableGeometry() : QRect());
}
