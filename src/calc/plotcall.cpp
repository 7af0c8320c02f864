#include "calc/plotcall.h"

#include <cmath>

#include "calc/strparser.h"

namespace {

bool isFinite(const QPointF &point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

TPlotCall::TPlotCall(TStrParser &parser)
    : m_parser(parser)
{}

TPlotCall::Outcome TPlotCall::read()
{
    TSeqScanner &scanner = m_parser.Scanner();
    while (scanner.sym() == LBrackets || scanner.sym() == Ident) {
        switch (readGroup()) {
        case Group::Abandoned:
            return Outcome::Abandoned;
        case Group::TooManyPoints:
            return Outcome::TooManyPoints;
        case Group::Complete:
            break;
        }
        if (scanner.sym() == RParen)
            return Outcome::Complete;
        if (scanner.sym() != Comma)
            return Outcome::Abandoned;
        scanner.GetSym();
    }
    return Outcome::Abandoned;
}

TPlotCall::Group TPlotCall::readGroup()
{
    TSeqScanner &scanner = m_parser.Scanner();
    const bool bracketed = scanner.sym() == LBrackets;
    if (bracketed)
        scanner.GetSym();
    QString firstTitle;
    const TParseObj *first = readName(firstTitle);
    if (!first)
        return Group::Abandoned;

    if (!bracketed && takesArrows(*first)) {
        // Arrows have no values of their own for the left axis: it keeps the title of the last
        // y list, and so does the series, which needs a name of its own for the legend.
        m_data.bottomTitle = firstTitle;
        m_data.leftTitle = m_yTitle;
        addArrows(*first, m_yTitle.isEmpty() ? firstTitle : m_yTitle);
        return withinPointLimit(0) ? Group::Complete : Group::TooManyPoints;
    }
    std::vector<double> xs;
    if (const Group got = listValues(*first, xs); got != Group::Complete)
        return got;
    if (!bracketed) {
        if (scanner.sym() != RParen)
            return Group::Abandoned;
        if (!withinPointLimit(xs.size()))
            return Group::TooManyPoints;
        std::vector<QPointF> points;
        points.reserve(xs.size());
        for (size_t i = 0; i < xs.size(); ++i)
            points.emplace_back(double(i), xs[i]);
        addLine(std::move(points), firstTitle);
        m_data.leftTitle = firstTitle;
        return Group::Complete;
    }

    if (scanner.sym() != Comma)
        return Group::Abandoned;
    scanner.GetSym();
    QString secondTitle;
    const TParseObj *second = readName(secondTitle);
    if (!second || scanner.sym() != RBrackets)
        return Group::Abandoned;
    scanner.GetSym();
    m_yTitle = secondTitle;
    m_data.bottomTitle = firstTitle;
    m_data.leftTitle = secondTitle;
    if (takesArrows(*second)) {
        addArrows(*second, secondTitle);
        return withinPointLimit(0) ? Group::Complete : Group::TooManyPoints;
    }
    std::vector<double> ys;
    if (const Group got = listValues(*second, ys); got != Group::Complete)
        return got;
    // Lists of different lengths pair as far as both go.
    const size_t count = std::min(xs.size(), ys.size());
    if (!withinPointLimit(count))
        return Group::TooManyPoints;
    std::vector<QPointF> points;
    points.reserve(count);
    for (size_t i = 0; i < count; ++i)
        points.emplace_back(xs[i], ys[i]);
    addLine(std::move(points), secondTitle);
    return Group::Complete;
}

const TParseObj *TPlotCall::readName(QString &title)
{
    TSeqScanner &scanner = m_parser.Scanner();
    if (scanner.sym() != Ident)
        return nullptr;
    title = scanner.GetIdent(scanner.idPos());
    const TParseObj *e = m_parser.Lookup(scanner.idPos());
    scanner.GetSym();
    return e;
}

TPlotCall::Group TPlotCall::listValues(const TParseObj &e, std::vector<double> &values) const
{
    if (e.obClass == ocRange) {
        // A range that cannot be counted has more values than any plot may show.
        const qint64 count = RangeCount(e);
        if (count < 0)
            return Group::TooManyPoints;
        // Counted from the start rather than added up, so that the last value is not lost to
        // rounding (0, 0.1 .. 1 ends at 1).
        values.resize(size_t(count));
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = e.p.rgStart + double(i) * e.p.rgBy;
        return Group::Complete;
    }
    if (e.obClass == ocVector) {
        values.clear();
        values.reserve(e.vecAr.size());
        for (const TCalcValue &element : e.vecAr)
            values.push_back(element.realPart());
        return Group::Complete;
    }
    return Group::Abandoned;
}

bool TPlotCall::takesArrows(const TParseObj &e) const
{
    return e.obClass == ocMatrix && !e.m.isEmpty() && e.m.first().size() == 4;
}

void TPlotCall::addLine(std::vector<QPointF> points, const QString &title)
{
    // A value that is no number (a division by zero) has no place on an axis.
    std::erase_if(points, [](const QPointF &point) { return !isFinite(point); });
    TPlotSeries series;
    series.title = title;
    series.points = std::move(points);
    m_data.series.push_back(std::move(series));
}

void TPlotCall::addArrows(const TParseObj &matrix, const QString &title)
{
    TPlotSeries series;
    series.kind = TPlotSeries::Kind::Arrows;
    series.title = title;
    for (const TComplexArray &row : matrix.m) {
        // Rows built by a calculation may be shorter than the first.
        if (row.size() < 4)
            continue;
        const QPointF from(row[0].realPart(), row[1].realPart());
        const QPointF to(row[2].realPart(), row[3].realPart());
        if (isFinite(from) && isFinite(to))
            series.arrows.emplace_back(from, to);
    }
    m_points += qint64(series.arrows.size());
    m_data.series.push_back(std::move(series));
}

bool TPlotCall::withinPointLimit(qsizetype more)
{
    m_points += more;
    return m_points <= MaxRangeElements;
}
