#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QSize>

#include "calc/plotdata.h"
#include "calc/strparser.h"
#include "richtext/textfont.h"

class QTextCharFormat;
class RichDocument;

// Runs a note's calculations on its document: Parse evaluates the whole note and writes every
// result right after the "=" that asks for it, in the result font (blue); errors go in the
// error font (red with a wavy red underline). A run's texts are written together when it ends
// (or before a plot, which needs the text above it), in one pass over the document. ClearResults
// removes both again; a result is recognised by its font alone. The same driver serves the note
// editor and the command-line tool: it works on a RichDocument, and the editor widget keeps its
// scroll position through the document's scroll position.
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

    // True for the format of a result or an error text this driver writes.
    bool isWritten(const QTextCharFormat &format) const;

    // The default writers the parser's callbacks point at; outside Parse they write at once.
    void DisplayResult(int StartPos, int EndPos, const QString &AResult);
    void DisplayError(int APos, const QString &AnError);

    // Draws a plot as a picture of the given size, in the note's font.
    using PlotRenderer
        = std::function<QImage(const TPlotData &data, const QSize &size, const QFont &font)>;
    // Plots are drawn by renderer; without one, plot calls insert nothing.
    void setPlotRenderer(PlotRenderer renderer) { m_plotRenderer = std::move(renderer); }
    // The picture of a plot takes 9/10 of the editor's width and half its height, within
    // bounds that keep it drawable.
    static QSize PlotSize(const QSize &editor);
    // Inserts picture at the start of the line at position, with a line break after it. A
    // picture with its line break already there (from an earlier run) is replaced. Returns how
    // many positions the note grew by.
    int InsertPlot(int position, const QImage &picture);

private:
    // A text of the run to write, at a position that counts the texts written before it.
    struct PendingText
    {
        int position;
        QString text;
        bool error;
    };

    int DisplayPlot(const TPlotData &data, int position);
    void writePending();
    // Sets the spacing of the paragraphs of the positions [from, from + length) to 0.
    void clearParagraphSpacing(int from, int length);

    // Collapses the caret, keeps the scroll position and redrawing off around a change.
    class Guard;

    RichDocument *src;
    TStrParser m_parser;
    TextFont FResultFont;
    TextFont FErrorFont;
    PlotRenderer m_plotRenderer;
    std::vector<PendingText> m_pending;
    bool m_running = false; // within Parse: texts wait for writePending
};
