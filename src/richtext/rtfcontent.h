#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextFormat>
#include <QTextListFormat>

#include <vector>

// What an RTF document holds, read completely before any of it reaches a
// QTextDocument: the text, cut into runs of one character format, grouped in
// paragraphs, and the pictures and objects.
struct RtfContent
{
    struct Run
    {
        qsizetype start; // into text
        qsizetype length;
        int charFormat;  // index into charFormats
        int object = -1; // index into objects; the run is one U+FFFC
    };

    // Where a paragraph stands in a table: its rows follow one another, each a run of cells,
    // each cell a run of paragraphs.
    enum class InTable : quint8 {
        No,
        Cell,    // a paragraph of a cell that more of the cell follows
        CellEnd, // the last paragraph of a cell
        RowEnd   // the last paragraph of a row's last cell
    };

    struct Paragraph
    {
        int blockFormat; // index into blockFormats
        int markFormat;  // character format of the paragraph mark
        int firstRun;
        int runCount;
        bool terminated; // ended by \par (otherwise the document ended)
        InTable inTable = InTable::No;
        int row = -1; // ending a row: its index into rows
    };

    // How a table row's cells are laid out, as \trowd and \cellx give it.
    struct Row
    {
        enum Merge : quint8 {
            Alone,
            First,    // begins cells merged into one (\clmgf, \clvmgf)
            Continues // merged into the cell before (\clmrg) or above (\clvmrg)
        };
        struct Cell
        {
            int right = 0; // twips from the row's left edge
            Merge across = Alone;
            Merge down = Alone;
        };
        int left = 0; // twips
        std::vector<Cell> cells;
    };

    struct Object
    {
        QImage image;       // a decoded picture
        QByteArray encoded; // the PNG or JPEG file it was decoded from
        QByteArray raw;     // else: the original RTF of a picture or object
        QImage preview;     // what a raw object looks like, when known
        QSizeF size;        // on the page, in document units
    };

    QString text;
    std::vector<Run> runs;
    std::vector<Paragraph> paragraphs;
    std::vector<QTextCharFormat> charFormats;
    std::vector<QTextBlockFormat> blockFormats;
    // By block format: the list its paragraphs belong to, of style 0 for none.
    std::vector<QTextListFormat> listFormats;
    std::vector<Object> objects;
    // By Paragraph::row, of the whole document like the formats.
    std::vector<Row> rows;
    // Why the document could be read only up to where its data ends; empty
    // when it was whole.
    QString damage;
    // Reading stopped at a paragraph limit before the document ended.
    bool cut = false;
    // Why the first picture that could not be decoded is damaged; it is kept as
    // RTF like pictures of unknown kinds.
    QString damagedPicture;
};
