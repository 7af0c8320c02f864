#pragma once

#include "calc/plotdata.h"

class TParseObj;
class TStrParser;

// Reads the data groups of a call of "plot" into the series they ask for:
//   plot(y)             y's values against their index
//   plot([x, y])        y over x
//   plot([x, y], [x, z]) two series in one chart
//   plot(M)             the rows of a four-column matrix as arrows (x0, y0) -> (x1, y1)
// A single name not in brackets must be the last group (plot(x, y) is no plot). Each group sets
// the axis titles again, from the names as the calculator stores them (upper case).
class TPlotCall
{
public:
    enum class Outcome {
        Complete,      // ")" is the current symbol
        Abandoned,     // a name that names nothing or cannot be drawn, or a malformed group
        TooManyPoints, // more than MaxRangeElements points in all
    };

    explicit TPlotCall(TStrParser &parser);

    // Reads from the symbol after "(" up to the ")" that ends the call.
    Outcome read();
    const TPlotData &data() const { return m_data; }

private:
    enum class Group { Complete, Abandoned, TooManyPoints };
    Group readGroup();
    // The entry the current identifier names, with its name as the title; nullptr if none.
    const TParseObj *readName(QString &title);
    // The values of a range or the real parts of a vector; Abandoned for other classes.
    Group listValues(const TParseObj &e, std::vector<double> &values) const;
    bool takesArrows(const TParseObj &e) const;
    void addLine(std::vector<QPointF> points, const QString &title);
    void addArrows(const TParseObj &matrix, const QString &title);
    bool withinPointLimit(qsizetype more);

    TStrParser &m_parser;
    TPlotData m_data;
    // The name of the last second list of a bracketed group.
    QString m_yTitle;
    qint64 m_points = 0;
};
