#pragma once

#include <QTextFormat>

// How note documents keep what QTextDocument has no direct place for, and the
// units of sizes. The RTF reader and writer, the editor's attribute classes and
// every other user of a note document share these conventions.
namespace TextFormat {

// Indents and paragraph spaces are kept in QTextBlockFormat in document units:
// pixels at 96 dpi, so that a note looks the same on every screen and printer.
inline constexpr qreal UnitsPerPoint = 96.0 / 72.0;
inline constexpr qreal pointsToUnits(qreal points) { return points * UnitsPerPoint; }
inline constexpr qreal unitsToPoints(qreal units) { return units / UnitsPerPoint; }
inline constexpr qreal twipsToUnits(qreal twips) { return pointsToUnits(twips / 20.0); }
inline constexpr qreal unitsToTwips(qreal units) { return unitsToPoints(units) * 20.0; }

// Paragraph indents: the note's FirstIndent is the first line's distance from
// the margin, LeftIndent the other lines' distance from the first line. In the
// block format leftMargin holds FirstIndent + LeftIndent and textIndent holds
// -LeftIndent (exactly RTF's \li and \fi).

enum Property {
    // int 0..9, the exact underline kind (None, Solid, Word, Double, Dotted,
    // Dash, DashDot, DashDotDot, Wave, Thick). QTextCharFormat's underline
    // style carries the nearest drawing; this keeps the kind for writing back.
    UnderlineType = QTextFormat::UserProperty + 1,
    // int 0..15, index into the sixteen underline colours (Black ... Silver);
    // the drawing colour is in QTextCharFormat::underlineColor().
    UnderlineColorIndex,
    // QByteArray: the original RTF group of a picture or object that could not
    // be decoded. It sits on the object replacement character that keeps its
    // position, and the writer emits it again unchanged.
    RawRtfObject,
};

// Object type of an undecodable picture or embedded object (one position,
// drawn as a framed box).
inline constexpr int ForeignObjectType = QTextFormat::UserObject + 1;

// Text with the link effect carries QTextCharFormat::setAnchor(true) and the
// link target in anchorHref(); the text itself is what a click reports.

} // namespace TextFormat
