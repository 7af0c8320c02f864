#include "richtext/rtftablelayout.h"

#include "richtext/textformat.h"

#include <algorithm>

RtfTableLayout::RtfTableLayout(const RtfContent &content, size_t first)
{
    using InTable = RtfContent::InTable;
    const auto &paragraphs = content.paragraphs;
    std::vector<std::vector<Cell>> rows;
    size_t i = first;
    while (i < paragraphs.size() && paragraphs[i].inTable != InTable::No) {
        const int row = int(rows.size());
        std::vector<Cell> &cells = rows.emplace_back();
        InTable ends = InTable::Cell;
        while (ends != InTable::RowEnd && i < paragraphs.size()) {
            Cell cell{i, i, row, int(cells.size())};
            while (i < paragraphs.size() && paragraphs[i].inTable == InTable::Cell)
                ++i;
            if (i < paragraphs.size()) // every table ends a row: this is its cell's last paragraph
                ends = paragraphs[i++].inTable;
            cell.end = i;
            if (cells.size() < size_t(MaxColumns))
                cells.push_back(cell);
            else
                cells.back().end = i;
        }
        const int layout = paragraphs[i - 1].row;
        m_layouts.push_back(ends == InTable::RowEnd && layout >= 0 ? &content.rows[size_t(layout)]
                                                                   : nullptr);
        m_columns = std::max(m_columns, int(cells.size()));
    }
    m_end = i;
    m_rows = int(rows.size());
    m_cells.reserve(size_t(m_rows * m_columns));
    for (int row = 0; row < m_rows; ++row) {
        const std::vector<Cell> &cells = rows[size_t(row)];
        m_cells.insert(m_cells.end(), cells.begin(), cells.end());
        // A row of fewer cells than the table has empty ones after them.
        for (int column = int(cells.size()); column < m_columns; ++column)
            m_cells.push_back({i, i, row, column});
    }
    merge(content);
}

const RtfContent::Row::Cell *RtfTableLayout::layout(int row, int column) const
{
    const RtfContent::Row *layout = m_layouts[size_t(row)];
    return layout && size_t(column) < layout->cells.size() ? &layout->cells[size_t(column)]
                                                           : nullptr;
}

void RtfTableLayout::merge(const RtfContent &content)
{
    using Merge = RtfContent::Row::Merge;
    // Only an empty cell is merged into another: the text of every cell stays where it was.
    const auto empty = [&](const Cell &cell) {
        return cell.end - cell.first == 1 && content.paragraphs[cell.first].runCount == 0;
    };
    const auto continues = [&](int row, int column, bool down) {
        const RtfContent::Row::Cell *cell = layout(row, column);
        return cell && (down ? cell->down : cell->across) == Merge::Continues
               && !at(row, column).merged && empty(at(row, column));
    };
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            Cell &cell = at(row, column);
            if (cell.merged)
                continue;
            while (column + cell.columnSpan < m_columns
                   && continues(row, column + cell.columnSpan, false))
                ++cell.columnSpan;
            const auto rowContinues = [&](int below) {
                for (int c = column; c < column + cell.columnSpan; ++c) {
                    if (!continues(below, c, true))
                        return false;
                }
                return true;
            };
            while (row + cell.rowSpan < m_rows && rowContinues(row + cell.rowSpan))
                ++cell.rowSpan;
            for (int r = row; r < row + cell.rowSpan; ++r) {
                for (int c = column; c < column + cell.columnSpan; ++c)
                    at(r, c).merged = r != row || c != column;
            }
        }
    }
}

QTextTableFormat RtfTableLayout::format() const
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    // Each column as wide as the first row that lays it out makes it.
    QList<QTextLength> widths;
    bool given = false;
    for (int column = 0; column < m_columns; ++column) {
        int twips = 0;
        for (int row = 0; row < m_rows && twips <= 0; ++row) {
            if (const RtfContent::Row::Cell *cell = layout(row, column)) {
                const int left = column == 0
                                     ? m_layouts[size_t(row)]->left
                                     : m_layouts[size_t(row)]->cells[size_t(column - 1)].right;
                twips = cell->right - left;
            }
        }
        given = given || twips > 0;
        widths.append(twips > 0
                          ? QTextLength(QTextLength::FixedLength, TextFormat::twipsToUnits(twips))
                          : QTextLength());
    }
    if (given)
        format.setColumnWidthConstraints(widths);
    return format;
}
