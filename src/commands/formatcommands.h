#pragma once

#include <QColor>

class RichDocument;
enum class TParaAlignment;

// The formatting commands on one note: the character attributes of its
// selection (or of the text typed next when nothing is selected) and the
// paragraph attributes of the paragraphs it touches. Sizes and indents are
// whole points.
class FormatCommands
{
public:
    explicit FormatCommands(RichDocument &editor);

    void setSize(int points);
    // Two points up, without limit.
    void bigger();
    // Two points down, only above 7 points: 8 gives 6, 7 and less stay.
    void smaller();

    // Each flips its flag and leaves the other flags as they are.
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void toggleStrikeOut();
    void subscript();
    void superscript();

    // Bullets on or off after the first paragraph of the selection; the
    // paragraph attributes adjust the indent.
    void toggleBullets();
    void align(TParaAlignment alignment);
    // Ten points in or out (not below 0); the first line follows.
    void increaseIndent();
    void decreaseIndent();

    // The default character attributes and no space around the paragraphs;
    // alignment, bullets and indents stay.
    void reset();

    void setHighlight(const QColor &color);
    // The note colour as an explicit highlight.
    void highlightInNoteColor();

private:
    RichDocument &m_editor;
};
