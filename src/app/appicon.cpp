#include "app/appicon.h"

#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace: Q_INIT_RESOURCE declares the registration function.
static QString iconPath()
{
    // The resource lives in a static library: it must be registered by hand.
    static const bool registered = [] {
        Q_INIT_RESOURCE(qelnotes);
        return true;
    }();
    Q_UNUSED(registered)
    return QStringLiteral(":/app/qelnotes.svg");
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128})
        icon.addPixmap(AppIconPixmap(size));
    return icon;
}

QPixmap AppIconPixmap(int size, qreal devicePixelRatio)
{
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(iconPath());
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}
