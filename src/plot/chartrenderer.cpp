#include "plot/chartrenderer.h"

#include <cmath>

#include <QChart>
#include <QFontInfo>
#include <QGraphicsLayout>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>
#include <QValueAxis>

namespace {

// Up to this many points a line shows its points as dots as well.
constexpr size_t MarkedPointsLimit = 50;
constexpr qreal LineWidth = 2.0;

// The smallest rectangle holding every point and arrow end of the plot.
QRectF dataBounds(const TPlotData &data)
{
    bool any = false;
    qreal left = 0, right = 0, top = 0, bottom = 0;
    const auto include = [&](const QPointF &point) {
        if (!any) {
            left = right = point.x();
            top = bottom = point.y();
            any = true;
        }
        left = std::min(left, point.x());
        right = std::max(right, point.x());
        top = std::min(top, point.y());
        bottom = std::max(bottom, point.y());
    };
    for (const TPlotSeries &series : data.series) {
        for (const QPointF &point : series.points)
            include(point);
        for (const QLineF &arrow : series.arrows) {
            include(arrow.p1());
            include(arrow.p2());
        }
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// An axis over [low, high] with round tick values; a single value gets room on both sides.
void setAxisRange(QValueAxis *axis, qreal low, qreal high)
{
    if (low == high) {
        const qreal margin = low == 0 ? 1.0 : std::abs(low) / 10;
        low -= margin;
        high += margin;
    }
    axis->setRange(low, high);
    axis->applyNiceNumbers();
}

QValueAxis *createAxis(const QString &title, const QFont &font)
{
    auto *axis = new QValueAxis;
    axis->setLabelsFont(font);
    QFont titleFont = font;
    titleFont.setBold(true);
    axis->setTitleFont(titleFont);
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setGridLineColor(QColor(0xdd, 0xdd, 0xdd));
    axis->setMinorGridLineVisible(false);
    return axis;
}

// The shafts and heads of an arrow series, drawn in chart coordinates.
QPainterPath arrowPath(QChart &chart, QLineSeries *anchor, const TPlotSeries &series)
{
    QPainterPath path;
    for (const QLineF &arrow : series.arrows) {
        const QLineF shaft(chart.mapToPosition(arrow.p1(), anchor),
                           chart.mapToPosition(arrow.p2(), anchor));
        path.moveTo(shaft.p1());
        path.lineTo(shaft.p2());
        if (shaft.length() == 0)
            continue;
        // The head: a triangle whose tip is the arrow's end.
        const QLineF back = QLineF(shaft.p2(), shaft.p1()).unitVector();
        const QPointF along = (back.p2() - back.p1()) * ChartRenderer::ArrowHeadLength;
        const QPointF across = QPointF(-along.y(), along.x()) / ChartRenderer::ArrowHeadLength
                               * (ChartRenderer::ArrowHeadWidth / 2.0);
        const QPointF base = shaft.p2() + along;
        path.moveTo(shaft.p2());
        path.lineTo(base + across);
        path.lineTo(base - across);
        path.closeSubpath();
    }
    return path;
}

} // namespace

QSize ChartRenderer::readableSize(const QFont &font)
{
    // The note's standard font, 8 points, is 11 pixels high on a 96 dpi surface.
    static constexpr QSize standard(360, 240);
    static constexpr qreal standardPixels = 11.0;
    const qreal scale = std::max(1.0, QFontInfo(font).pixelSize() / standardPixels);
    return (QSizeF(standard) * scale).toSize();
}

QImage ChartRenderer::render(const TPlotData &data, const QSize &requested, const QFont &font)
{
    const QSize size = requested.expandedTo(readableSize(font));
    QGraphicsScene scene;
    auto *chart = new QChart;
    scene.addItem(chart);
    chart->setTheme(QChart::ChartThemeLight);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setFont(font);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setContentsMargins(0, 0, 0, 0);
    chart->legend()->setVisible(data.showsLegend());

    QValueAxis *axisX = createAxis(data.bottomTitle, font);
    QValueAxis *axisY = createAxis(data.leftTitle, font);
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    // Arrow series: a series holding the arrows' ends sets the axes, takes its colour and its
    // place in the legend; the arrows themselves are drawn over the chart.
    struct Arrows
    {
        const TPlotSeries *series;
        QLineSeries *anchor;
        QColor color;
    };
    std::vector<Arrows> arrows;
    for (const TPlotSeries &series : data.series) {
        auto *line = new QLineSeries;
        line->setName(series.title);
        QList<QPointF> points;
        if (series.kind == TPlotSeries::Kind::Line) {
            points = QList<QPointF>(series.points.begin(), series.points.end());
        } else {
            for (const QLineF &arrow : series.arrows)
                points << arrow.p1() << arrow.p2();
        }
        line->replace(points);
        chart->addSeries(line);
        line->attachAxis(axisX);
        line->attachAxis(axisY);
        // The theme has given the series its colour.
        QPen pen = line->pen();
        pen.setWidthF(LineWidth);
        if (series.kind == TPlotSeries::Kind::Arrows) {
            arrows.push_back({&series, line, pen.color()});
            pen.setColor(Qt::transparent);
        } else {
            line->setPointsVisible(series.points.size() <= MarkedPointsLimit);
        }
        line->setPen(pen);
    }
    for (const Arrows &arrow : arrows) {
        for (QLegendMarker *marker : chart->legend()->markers(arrow.anchor))
            marker->setBrush(arrow.color);
    }

    const QRectF bounds = dataBounds(data);
    setAxisRange(axisX, bounds.left(), bounds.right());
    setAxisRange(axisY, bounds.top(), bounds.bottom());

    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    chart->layout()->activate();
    for (const Arrows &arrow : arrows) {
        auto *item = new QGraphicsPathItem(arrowPath(*chart, arrow.anchor, *arrow.series), chart);
        item->setPen(QPen(arrow.color, LineWidth));
        item->setBrush(arrow.color);
    }

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    scene.render(&painter, QRectF(image.rect()), QRectF(image.rect()));
    return image;
}
