#pragma once

#include <QColor>

// Note colours as the settings file keeps them: a 32-bit value 0x00BBGGRR for
// an RGB colour, or 0xFF0000nn for the desktop's system colour number nn. A new
// note has the info-tip background, system colour 24.
namespace ColorValue {

inline constexpr qint32 InfoBackground = qint32(0xFF000018);

QColor toColor(qint32 value);
// A colour equal to the desktop's info-tip background is written as that
// system colour, so notes never coloured by the user follow the desktop.
qint32 fromColor(const QColor &color);

} // namespace ColorValue
