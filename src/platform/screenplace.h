#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// Stored window places are applied as read, except one that lies wholly
// outside every screen (a monitor was removed, the resolution shrank): such a
// window would be unreachable, so it comes back inside the primary screen's
// available area, as near to its stored place as fits.
QPoint placeOnScreen(const QRect &frame, const QList<QRect> &screens, const QRect &primaryArea);

// The same against the screens the desktop has now.
QPoint placeOnScreen(const QRect &frame);

// Where frame goes to lie wholly inside area, moved as little as it can be.
QPoint fitIntoArea(const QRect &frame, const QRect &area);

// The part of the screen at point (else of the primary screen) that windows
// may take: the screen without the desktop's panels.
QRect availableAreaAt(const QPoint &point);
