#include "commands/inkedicon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <utility>

namespace {

// The greys our pictures draw their strokes with.
constexpr const char *InkColours[] = {"#111", "#333", "#555"};

} // namespace

InkedIconEngine::InkedIconEngine(QByteArray svg)
    : m_svg(std::move(svg))
    , m_inked(!m_svg.contains("#fff"))
{}

QByteArray InkedIconEngine::inked(QIcon::Mode mode) const
{
    if (!m_inked)
        return m_svg;
    const QPalette palette = QGuiApplication::palette();
    const QColor ink = mode == QIcon::Selected ? palette.color(QPalette::HighlightedText)
                                               : palette.color(QPalette::ButtonText);
    const QByteArray name = ink.name().toLatin1();
    QByteArray svg = m_svg;
    for (const char *colour : InkColours)
        svg.replace(colour, name);
    return svg;
}

void InkedIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                            QIcon::State state)
{
    Q_UNUSED(state)
    QSvgRenderer renderer(inked(mode));
    painter->save();
    if (mode == QIcon::Disabled)
        painter->setOpacity(0.4);
    renderer.render(painter, rect);
    painter->restore();
}

QPixmap InkedIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    // Tool bars repaint often; a picture is drawn once per size, mode and ink.
    const QByteArray svg = inked(mode);
    const QString cacheKey = QStringLiteral("qelnotes-inked-%1-%2x%3-%4")
                                 .arg(QString::number(qHash(svg), 16))
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(int(mode));
    QPixmap picture;
    if (QPixmapCache::find(cacheKey, &picture))
        return picture;
    picture = QPixmap(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    paint(&painter, QRect(QPoint(), size), mode, state);
    painter.end();
    QPixmapCache::insert(cacheKey, picture);
    return picture;
}

QIconEngine *InkedIconEngine::clone() const
{
    return new InkedIconEngine(m_svg);
}

QString InkedIconEngine::key() const
{
    return QStringLiteral("InkedIconEngine");
}
