#pragma once

#include <QColor>
#include <QString>

#include <optional>

class RichDocument;

// Copy Format: the first run picks up face, size and colour of a note's
// selection, the next run gives them to the selection then (in the same
// note or another one) and lets the format go. Styles are not carried.
//
// A blank selection (nothing, or blanks only) stands for its first character:
// that one is read or formatted, and the selection ends collapsed at its start.
class CopyFormat
{
public:
    // The format picked up.
    struct Format
    {
        QString Name;
        int Size = 0;
        QColor Color; // invalid: the automatic text colour
    };

    bool holding() const { return m_selFormat.has_value(); }
    const std::optional<Format> &SelFormat() const { return m_selFormat; }

    // Picks the format up or gives it away, whichever is due.
    void run(RichDocument &editor);

private:
    std::optional<Format> m_selFormat;
};
