#include "richtext/rtfrowreader.h"

#include <QtGlobal>

namespace {

// No word processor makes a row of more cells, nor one wider than 22 inches.
constexpr size_t MaxCells = 63;
constexpr int MaxTwips = 31680;

} // namespace

void RtfRowReader::word(RtfWord word, int param)
{
    using Merge = RtfContent::Row::Merge;
    switch (word) {
    case RtfWord::RowDefaults:
        m_row = RtfContent::Row();
        m_next = RtfContent::Row::Cell();
        break;
    case RtfWord::RowLeft:
        m_row.left = qBound(-MaxTwips, param, MaxTwips);
        break;
    case RtfWord::CellRight:
        m_next.right = qBound(-MaxTwips, param, MaxTwips);
        if (m_row.cells.size() < MaxCells)
            m_row.cells.push_back(m_next);
        m_next = RtfContent::Row::Cell();
        break;
    case RtfWord::CellMergeFirst:
    case RtfWord::CellMerged:
        m_next.across = Merge(int(word) - int(RtfWord::CellMergeFirst) + Merge::First);
        break;
    case RtfWord::CellMergeDownFirst:
    case RtfWord::CellMergedDown:
        m_next.down = Merge(int(word) - int(RtfWord::CellMergeDownFirst) + Merge::First);
        break;
    default:
        break;
    }
}
