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
    // Too wide or too high for the screen: its top left corner stays reachable.
    const int x = std::max(primaryArea.left(),
                           std::min(frame.left(), primaryArea.right() + 1 - frame.width()));
    const int y = std::max(primaryArea.top(),
                           std::min(frame.top(), primaryArea.bottom() + 1 - frame.height()));
    return {x, y};
}

QPoint placeOnScreen(const QRect &frame)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    const QScreen *primary = QGuiApplication::primaryScreen();
    return placeOnScreen(frame, screens, primary ? primary->availableGeometry() : QRect());
}
