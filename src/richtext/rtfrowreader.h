#pragma once

#include "richtext/rtfcontent.h"
#include "richtext/rtfword.h"

// Collects how a table row's cells are laid out from the words that say so (\trowd, \trleft,
// \cellx and the cell merges), which come before the row's cells or again before its \row.
class RtfRowReader
{
public:
    // Words that lay out no row are ignored.
    void word(RtfWord word, int param);
    // The layout of the row being read.
    const RtfContent::Row &row() const { return m_row; }

private:
    RtfContent::Row m_row;
    RtfContent::Row::Cell m_next; // merges of the cell whose \cellx comes next
};
