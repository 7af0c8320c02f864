#include <QApplication>
#include <QTest>

#include "plot/chartrenderer.h"

namespace {

// The pixels of a series: clearly coloured, unlike the white ground, the grey grid and the
// black text.
bool isSeriesColour(QRgb pixel)
{
    const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    return high - low > 80;
}

QList<QPoint> seriesPixels(const QImage &image)
{
    QList<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isSeriesColour(image.pixel(x, y)))
                pixels << QPoint(x, y);
        }
    }
    return pixels;
}

int hueOf(QRgb pixel)
{
    return qRound(QColor(pixel).hsvHue() / 30.0);
}

// The hues of the solid 4 x 4 squares of one colour: legend markers, since lines are thinner
// and these tests draw no points.
QSet<int> squareHues(const QImage &image)
{
    QSet<int> hues;
    for (int y = 0; y + 4 <= image.height(); ++y) {
        for (int x = 0; x + 4 <= image.width(); ++x) {
            const QRgb corner = image.pixel(x, y);
            bool solid = isSeriesColour(corner);
            for (int i = 0; i < 16 && solid; ++i)
                solid = image.pixel(x + i % 4, y + i / 4) == corner;
            if (solid)
                hues << hueOf(corner);
        }
    }
    return hues;
}

int pixelsNear(const QList<QPoint> &pixels, const QPoint &centre, int radius)
{
    return int(std::count_if(pixels.begin(), pixels.end(), [&](const QPoint &p) {
        return (p - centre).manhattanLength() <= radius;
    }));
}

// A line of count points from (0, from) to (1, to): more points than are marked with dots.
TPlotSeries line(const QString &title, double from, double to, int count = 60)
{
    TPlotSeries series;
    series.title = title;
    for (int i = 0; i < count; ++i)
        series.points.emplace_back(double(i) / (count - 1), from + (to - from) * i / (count - 1));
    return series;
}

TPlotSeries arrows(const QList<QLineF> &lines)
{
    TPlotSeries series;
    series.kind = TPlotSeries::Kind::Arrows;
    series.title = QStringLiteral("M");
    series.arrows.assign(lines.begin(), lines.end());
    return series;
}

QImage render(const TPlotData &data, const QSize &size = QSize(540, 200))
{
    QFont font;
    font.setPointSize(8);
    const QImage image = ChartRenderer::render(data, size, font);
    if (!image.isNull() && !qEnvironmentVariableIsEmpty("QEL_PLOT_DUMP"))
        image.save(qEnvironmentVariable("QEL_PLOT_DUMP") + u'/' + QTest::currentTestFunction()
                   + u'_' + QTest::currentDataTag() + QStringLiteral(".png"));
    return image;
}

} // namespace

class TestChartRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineRunsAlongItsValues_data();
    void lineRunsAlongItsValues();
    void legendOnlyWithSeveralSeries();
    void arrowsAreSegmentsWithHeads();
    void largerFontsNeedLargerCharts();
};

void TestChartRenderer::lineRunsAlongItsValues_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("size");

    // Never smaller than its axis numbers need in the note's standard font.
    QTest::newRow("rising") << 0.0 << 2.0 << QSize(360, 240) << QSize(360, 240);
    QTest::newRow("falling") << 5.0 << -3.0 << QSize(540, 300) << QSize(540, 300);
    QTest::newRow("a strip in a small window") << 0.0 << 2.0 << QSize(120, 35) << QSize(360, 240);
    QTest::newRow("too low") << 5.0 << -3.0 << QSize(540, 200) << QSize(540, 240);
}

void TestChartRenderer::lineRunsAlongItsValues()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QSize, asked);
    QFETCH(QSize, size);
    TPlotData data;
    data.series.push_back(line(QStringLiteral("X"), from, to));
    const QImage image = render(data, asked);
    QCOMPARE(image.size(), size);

    const QList<QPoint> pixels = seriesPixels(image);
    QVERIFY(pixels.size() > size.width() / 2);
    const QPoint leftmost = *std::min_element(pixels.begin(), pixels.end(),
                                              [](auto a, auto b) { return a.x() < b.x(); });
    const QPoint rightmost = *std::max_element(pixels.begin(), pixels.end(),
                                               [](auto a, auto b) { return a.x() < b.x(); });
    // The line spans the plot area, corner to corner, and every one of its pixels lies on the
    // straight line between its ends.
    QVERIFY(rightmost.x() - leftmost.x() > size.width() * 3 / 4);
    QCOMPARE(rightmost.y() < leftmost.y(), to > from);
    QVERIFY(std::abs(rightmost.y() - leftmost.y()) > size.height() / 2);
    const QLineF path(leftmost, rightmost);
    for (const QPoint &pixel : pixels) {
        const qreal t = (pixel.x() - path.x1()) / path.dx();
        QVERIFY2(
            std::abs(path.pointAt(t).y() - pixel.y()) < 4,
            qPrintable(QStringLiteral("pixel %1, %2 off the line").arg(pixel.x()).arg(pixel.y())));
    }
    // A single series has one colour and a white ground.
    QCOMPARE(squareHues(image).size(), 0);
    QCOMPARE(image.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(size.width() - 2, size.height() - 2), qRgb(255, 255, 255));
}

void TestChartRenderer::legendOnlyWithSeveralSeries()
{
    TPlotData data;
    data.series.push_back(line(QStringLiteral("Y"), 0, 4));
    data.series.push_back(line(QStringLiteral("Z"), 4, 2));
    const QImage image = render(data);

    // Each series in a colour of its own, shown again on its legend marker.
    QSet<int> lineHues;
    for (const QPoint &pixel : seriesPixels(image))
        lineHues << hueOf(image.pixel(pixel));
    QCOMPARE(squareHues(image).size(), 2);
    QVERIFY(lineHues.contains(squareHues(image)));
}

void TestChartRenderer::arrowsAreSegmentsWithHeads()
{
    // Two arrows apart: nothing joins the end of the first to the start of the second.
    TPlotData data;
    data.series.push_back(arrows({QLineF(0, 0, 1, 2), QLineF(3, 2, 4, 0)}));
    const QImage image = render(data);
    const QList<QPoint> pixels = seriesPixels(image);
    QVERIFY(!pixels.isEmpty());
    const auto [left, right] = std::minmax_element(pixels.begin(), pixels.end(),
                                                   [](auto a, auto b) { return a.x() < b.x(); });
    const int middle = (left->x() + right->x()) / 2;
    QCOMPARE(pixelsNear(pixels, QPoint(middle, image.height() / 2), image.height() / 2), 0);

    // The first arrow rises from its tail at the lower left to its head at the upper right of
    // the left half: the head's triangle holds more pixels than the tail.
    QList<QPoint> first;
    std::copy_if(pixels.begin(), pixels.end(), std::back_inserter(first),
                 [&](const QPoint &p) { return p.x() < middle; });
    const QPoint tail = *std::max_element(first.begin(), first.end(),
                                          [](auto a, auto b) { return a.y() < b.y(); });
    const QPoint tip = *std::min_element(first.begin(), first.end(),
                                         [](auto a, auto b) { return a.y() < b.y(); });
    QVERIFY(tip.x() > tail.x());
    QVERIFY2(pixelsNear(first, tip, 10) > 2 * pixelsNear(first, tail, 10),
             qPrintable(QStringLiteral("%1 pixels at the head, %2 at the tail")
                            .arg(pixelsNear(first, tip, 10))
                            .arg(pixelsNear(first, tail, 10))));
}

void TestChartRenderer::largerFontsNeedLargerCharts()
{
    QFont font;
    font.setPixelSize(22);
    QCOMPARE(ChartRenderer::readableSize(font), QSize(720, 480));
    font.setPixelSize(8);
    QCOMPARE(ChartRenderer::readableSize(font), QSize(360, 240));
}

QTEST_MAIN(TestChartRenderer)
#include "tst_chartrenderer.moc"
