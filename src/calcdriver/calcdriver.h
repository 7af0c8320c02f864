#pragma once

#include "calc/strparser.h"
#include "richtext/textfont.h"

class RichDocument;

// Runs a note's calculations on its document: Parse evaluates the whole note and writes every
// result right after the "=" that asks for it, in the result font (blue); errors go in the
// error font (red with a wavy red underline). ClearResults removes both again; a result is
// recognised by its font alone. The same driver serves the note editor and the command-line
// tool: it works on a RichDocument, and the editor widget keeps its scroll position through the
// document's scroll position.
//
// The driver owns the note's parser, so display settings (FIX, ENG, SCI) last as long as it.
class TCalcDriver
{
public:
    explicit TCalcDriver(RichDocument *ASource);

    void Parse();
    void ClearResults();

    TStrParser &Parser() { return m_parser; }
    const TextFont &ResultFont() const { return FResultFont; }
    void setResultFont(const TextFont &font) { FResultFont = font; }
    const TextFont &ErrorFont() const { return FErrorFont; }
    void setErrorFont(const TextFont &font) { FErrorFont = font; }

    // The default writers the parser's callbacks point at.
    void DisplayResult(int StartPos, int EndPos, const QString &AResult);
    void DisplayError(int APos, const QString &AnError);

private:
    // Sets the spacing of the paragraphs of the positions [from, from + length) to 0.
    void clearParagraphSpacing(int from, int length);

    // Collapses the caret, keeps the scroll position and redrawing off around a change.
    class Guard;

    RichDocument *src;
    TStrParser m_parser;
    TextFont FResultFont;
    TextFont FErrorFont;
};
