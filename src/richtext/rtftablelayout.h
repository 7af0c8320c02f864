#pragma once

#include "richtext/rtfcontent.h"

#include <QTextTableFormat>

#include <vector>

// How a table of parsed content becomes a QTextTable: where each of its cells stands and which
// are merged into a neighbour. The document reader builds the table from it and the text reader
// gives the text that table holds, so that the two agree.
class RtfTableLayout
{
public:
    // More cells of a row join its last column.
    static constexpr int MaxColumns = 63;

    struct Cell
    {
        size_t first; // its paragraphs [first, end); none for a cell the row lacks
        size_t end;
        int row;
        int column;
        int rowSpan = 1;
        int columnSpan = 1;
        bool merged = false; // covered by a cell that spans it: not in the table of its own
    };

    // The table whose first paragraph is content.paragraphs[first].
    RtfTableLayout(const RtfContent &content, size_t first);

    // The paragraph that follows the table.
    size_t end() const { return m_end; }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    // Row by row, each row's cells in order.
    const std::vector<Cell> &cells() const { return m_cells; }
    QTextTableFormat format() const;

private:
    void merge(const RtfContent &content);
    const RtfContent::Row::Cell *layout(int row, int column) const;
    Cell &at(int row, int column) { return m_cells[size_t(row * m_columns + column)]; }

    size_t m_end = 0;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<Cell> m_cells;
    std::vector<const RtfContent::Row *> m_layouts; // by row; null where none was given
};
