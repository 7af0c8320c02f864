#pragma once

#include <QColor>

// How well text reads on a background, measured as screen-reader guidelines
// do (relative luminance, ratios from 1 to 21), and the automatic text
// colour of a note: the note's own colour decides it, not the desktop's
// palette, so that a dark desktop theme never paints pale text on a pale
// note.

// The contrast ratio of two colours; 4.5 and above reads as body text.
double contrastRatio(const QColor &first, const QColor &second);

// Black or white, whichever reads better on background.
QColor readableTextColor(const QColor &background);
