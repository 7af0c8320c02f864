#pragma once

#include <QByteArray>
#include <QIconEngine>

// A picture of our own, drawn from its SVG text. The dark strokes of a
// picture drawn on nothing (a letter, an arrow) are drawn in the palette's
// button text colour, so that they read on light and on dark tool bars and
// menus; pictures on a sheet of their own (paper, a printer) keep their
// colours, which read on both.
class InkedIconEngine : public QIconEngine
{
public:
    explicit InkedIconEngine(QByteArray svg);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;

private:
    // The SVG text as drawn in mode.
    QByteArray inked(QIcon::Mode mode) const;

    QByteArray m_svg;
    bool m_inked;
};
