#pragma once

#include <QColor>
#include <QFont>

// A font as the note editors take it: face, size, style and weight from QFont,
// plus the text colour, which QFont does not carry. An invalid colour means the
// automatic text colour (the system's window-text colour).
struct TextFont
{
    QFont font;
    QColor color;

    // The font every note editor starts with: "Tahoma" 8 points in the automatic
    // colour, or the face of the desktop's general font at 8 points where Tahoma is
    // missing.
    static TextFont standard();

    friend bool operator==(const TextFont &, const TextFont &) = default;
};
