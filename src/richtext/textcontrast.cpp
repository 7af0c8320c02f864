#include "richtext/textcontrast.h"

#include <algorithm>
#include <cmath>

namespace {

double linearChannel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF())
           + 0.0722 * linearChannel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor &first, const QColor &second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableTextColor(const QColor &background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}
