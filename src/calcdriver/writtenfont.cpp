#include "calcdriver/writtenfont.h"

#include <QStringList>
#include <QTextCharFormat>

namespace {

QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

} // namespace

TextFont WrittenFont::inColor(const QColor &color)
{
    TextFont font = TextFont::standard();
    font.color = color;
    return font;
}

WrittenFont::WrittenFont(const TextFont &font, const QString &defaultFamily, int defaultSize)
    : m_defaultFamily(defaultFamily)
    , m_defaultSize(defaultSize)
    , m_family(font.font.family())
    , m_size(font.font.pointSize())
    , m_color(font.color)
{}

bool WrittenFont::matches(const QTextCharFormat &format) const
{
    const QColor color
        = format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
    if (color != m_color)
        return false;
    const qreal points = format.fontPointSize();
    const int size = points > 0 ? qRound(points * 20) / 20 : m_defaultSize;
    if (size != m_size)
        return false;
    QString family = familyOf(format);
    if (family.isEmpty())
        family = m_defaultFamily;
    return family.compare(m_family, Qt::CaseInsensitive) == 0;
}
