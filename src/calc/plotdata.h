#pragma once

#include <vector>

#include <QLineF>
#include <QPointF>
#include <QString>

// One series of a plot: a line through points, or arrows drawn each from its p1 to its p2.
struct TPlotSeries
{
    enum class Kind { Line, Arrows };

    Kind kind = Kind::Line;
    QString title;
    std::vector<QPointF> points; // Line
    std::vector<QLineF> arrows;  // Arrows
};

// What a plot call asks to be drawn: its series in order and the titles of the two axes. How it
// looks is the business of whoever draws it.
struct TPlotData
{
    std::vector<TPlotSeries> series;
    QString bottomTitle;
    QString leftTitle;

    // A legend tells series apart; one series needs none.
    bool showsLegend() const { return series.size() > 1; }
};
