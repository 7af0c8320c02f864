#pragma once

#include <QRgb>
#include <QTextFormat>

#include <array>

// How note documents keep what QTextDocument has no direct place for, and the
// units of sizes. The RTF reader and writer, the editor's attribute classes and
// every other user of a note document share these conventions.
namespace TextFormat {

// Indents and paragraph spaces are kept in QTextBlockFormat in document units:
// pixels at 96 dpi, so that a note looks the same on every screen and printer.
inline constexpr qreal UnitsPerPoint = 96.0 / 72.0;
inline constexpr qreal pointsToUnits(qreal points)
{
    return points * UnitsPerPoint;
}
inline constexpr qreal unitsToPoints(qreal units)
{
    return units / UnitsPerPoint;
}
inline constexpr qreal twipsToUnits(qreal twips)
{
    return pointsToUnits(twips / 20.0);
}
inline constexpr qreal unitsToTwips(qreal units)
{
    return unitsToPoints(units) * 20.0;
}

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
    // QImage: what a foreign object looks like, where its RTF carries a
    // rendering that could be decoded (a metafile's bitmap, an object's
    // result picture). Absent: the object is drawn as a framed box.
    ObjectPreview,
    // QSizeF in document units: the size a foreign object takes on the page.
    ObjectSize,
    // bool: true on a picture its inserter made fixed in size; the editor
    // lets the user resize every other picture. Not kept in RTF.
    PictureFixedSize,
    // QString: the text of a run of hidden text (RTF's \v). QTextDocument
    // cannot hide characters, so hidden text is kept on one position of
    // object type HiddenTextType, which takes no room and draws nothing, and
    // the writer emits it again as hidden text.
    HiddenText,
    // int: the RTF character set (\fcharset) of the font face, where a document
    // named one other than the default; written back with the face. Setting a
    // face clears it.
    FontCharset,
    // QByteArray: the PNG or JPEG file an image of the document was read from.
    // The writer writes it again as it stands, so that a picture is not
    // re-encoded on every save; whoever changes the image's pixels removes it.
    PictureData,
    // int, on a QTextListFormat: the number of the list's first item where it is not 1. The
    // list labels of a note (ListLabel) count from it.
    ListStart,
    // QString, on a QTextListFormat of a bulleted list: the bullet where it is another than the
    // round one QTextListFormat::ListDisc draws ("-", "o", ...); written back as it was.
    ListBullet,
    // QByteArray, on a QTextBlockFormat with tab positions: one TabLeader per tab stop, where
    // any stop has one (QTextOption::Tab has no place for it).
    TabLeaders,
};

// What fills the room before a tab stop.
enum TabLeader : char {
    NoLeader,
    DotLeader,
    HyphenLeader,
    UnderlineLeader,
    ThickLeader,
    EqualLeader
};

// Object type of an undecodable picture or embedded object (one position,
// drawn as a framed box).
inline constexpr int ForeignObjectType = QTextFormat::UserObject + 1;
// Object type of a run of hidden text (see HiddenText).
inline constexpr int HiddenTextType = QTextFormat::UserObject + 2;

// Whether a character of a document's raw text (QTextDocument::toRawText) breaks the line:
// paragraph and line breaks, and the frame markers QTextDocument keeps between blocks. Each is
// one position and reads as one line break.
inline constexpr bool isBreak(QChar c)
{
    switch (c.unicode()) {
    case QChar::ParagraphSeparator:
    case QChar::LineSeparator:
    case 0xfdd0: // beginning of a frame
    case 0xfdd1: // end of a frame
        return true;
    default:
        return false;
    }
}

// The sixteen underline colours by UnderlineColorIndex (Black, Blue, Aqua,
// Lime, Fuchsia, Red, Yellow, White, Navy, Teal, Green, Purple, Maroon, Olive,
// Gray, Silver).
inline constexpr std::array<QRgb, 16> UnderlineColors = {
    0xff000000, 0xff0000ff, 0xff00ffff, 0xff00ff00, 0xffff00ff, 0xffff0000, 0xffffff00, 0xffffffff,
    0xff000080, 0xff008080, 0xff008000, 0xff800080, 0xff800000, 0xff808000, 0xff808080, 0xffc0c0c0,
};

// A bulleted paragraph belongs to a QTextList of style QTextListFormat::ListDisc
// with indent 1 (room for the bullet); its leftMargin/textIndent hold its
// indents like those of every paragraph. Numbered lists carry their label's text before and
// after the number in numberPrefix() and numberSuffix() (suffix "." where none is set).

// Font faces are set with setFontFamilies() (readers fall back to the older
// FontFamily property); sizes in points with setFontPointSize().

// Text with the link effect carries QTextCharFormat::setAnchor(true) and the
// link target in anchorHref(); the text itself is what a click reports.

} // namespace TextFormat
