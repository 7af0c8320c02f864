#pragma once

#include "calc/strparser.h"
#include "calcdriver/calcdriver.h"
#include "richtext/notetext.h"

#include <vector>

// Runs a note's calculations over its text alone, for printing: the text ends up as
// TCalcDriver::Parse leaves a document's text. The note is read with earlierResults() left
// out, as the driver clears the results of an earlier run first; the texts of the run are
// spliced into it in one pass when it ends (or before a plot, which needs the text above it),
// and a plot stands in it as the picture and line break the driver inserts.
class TextCalc
{
public:
    TextCalc();

    // What the driver clears before a run: the texts in its result and error fonts.
    static NoteText::FormatFilter earlierResults();

    // Plots are drawn by renderer only to learn whether there is one to show; without one,
    // plot calls insert nothing.
    void setPlotRenderer(TCalcDriver::PlotRenderer renderer)
    {
        m_plotRenderer = std::move(renderer);
    }

    void run(NoteText &note);

private:
    struct Insertion
    {
        int position; // counting the texts inserted before it
        QString text;
    };

    int plot(const TPlotData &data, int position);
    void writePending();
    // Inserts text at position, which lies within the note's text.
    void insert(qsizetype position, const QString &text);
    // Whether a text inserted at position goes into a table's cell, where its breaks are lines.
    bool inTable(qsizetype position) const;
    void remove(qsizetype position, qsizetype count);

    TStrParser m_parser;
    TCalcDriver::PlotRenderer m_plotRenderer;
    NoteText *m_note = nullptr;
    std::vector<Insertion> m_pending;
};
