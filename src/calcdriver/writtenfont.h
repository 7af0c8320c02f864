#pragma once

#include "richtext/textfont.h"

#include <QColor>
#include <QString>

class QTextCharFormat;

// The fonts the calculator writes results (blue) and errors (red) in, and the test by which
// a run finds what an earlier run wrote: what the editor reports for a character as its
// colour, face and whole-point size, compared with such a font.
class WrittenFont
{
public:
    static TextFont result() { return inColor(QColor(0, 0, 255)); }
    static TextFont error() { return inColor(QColor(255, 0, 0)); }

    // A format without face or size has the document's default ones.
    WrittenFont(const TextFont &font, const QString &defaultFamily, int defaultSize);

    bool matches(const QTextCharFormat &format) const;

private:
    static TextFont inColor(const QColor &color);

    QString m_defaultFamily;
    int m_defaultSize;
    QString m_family;
    int m_size;
    QColor m_color;
};
