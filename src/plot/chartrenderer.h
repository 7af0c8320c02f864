#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include "calc/plotdata.h"

// Draws a plot as a chart picture of a given size, off screen: line series with their points
// marked while there are few, arrow series as segments with 10 x 10 pixel heads, value axes
// with their titles, a legend when there is more than one series, on a white ground. Every
// series takes the chart's next automatic colour. Needs a QApplication (the offscreen platform
// will do).
class ChartRenderer
{
public:
    static constexpr int ArrowHeadLength = 10;
    static constexpr int ArrowHeadWidth = 10;

    // font is the note's: the axis labels and the legend use its size. The
    // picture is at least readableSize(font), whatever size asks for.
    static QImage render(const TPlotData &data, const QSize &size, const QFont &font);
    // Smaller than this, a chart's axis numbers in font no longer fit beside
    // one another: 360 x 240 pixels for the note's standard font, more for
    // larger fonts.
    static QSize readableSize(const QFont &font);
};
