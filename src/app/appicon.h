#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own picture: the desktop icon, the About box and every
// window's icon show it.
QIcon AppIcon();

// The picture rendered at size x size logical pixels for devicePixelRatio.
QPixmap AppIconPixmap(int size, qreal devicePixelRatio = 1.0);
