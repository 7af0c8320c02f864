#include "note/colorvalue.h"

#include <QGuiApplication>
#include <QPalette>

namespace ColorValue {

namespace {

// The desktop colours that have a counterpart in a Qt palette.
QPalette::ColorRole roleOfSystemColor(int index)
{
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 16:
        return QPalette::Dark;
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor toColor(qint32 value)
{
    const quint32 bits = quint32(value);
    if ((bits >> 24) == 0xFF)
        return QGuiApplication::palette().color(roleOfSystemColor(int(bits & 0xFF)));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

qint32 fromColor(const QColor &color)
{
    if (color.rgb() == QGuiApplication::palette().color(QPalette::ToolTipBase).rgb())
        return InfoBackground;
    return qint32(quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16);
}

} // namespace ColorValue
