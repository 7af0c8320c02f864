#pragma once

#include "richtext/textfont.h"

#include <QColor>
#include <QFlags>
#include <QString>
#include <QTextCharFormat>

class RichDocument;

enum class TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

enum class TSubscriptStyle { ssNone, ssSubscript, ssSuperscript };

// The exact underline kinds; the values are those kept in TextFormat::UnderlineType.
enum class TUnderlineType {
    utNone,
    utSolid,
    utWord,
    utDouble,
    utDotted,
    utDash,
    utDashDot,
    utDashDotDot,
    utWave,
    utThick
};

// The sixteen underline colours; the values are those kept in
// TextFormat::UnderlineColorIndex.
enum class TUnderlineColor {
    ucBlack,
    ucBlue,
    ucAqua,
    ucLime,
    ucFuchsia,
    ucRed,
    ucYellow,
    ucWhite,
    ucNavy,
    ucTeal,
    ucGreen,
    ucPurple,
    ucMaroon,
    ucOlive,
    ucGray,
    ucSilver
};

// Character attributes of a note document, in one of two views: the selection
// (RichDocument::SelAttributes: the selected characters, read from the first of
// them; with nothing selected, the attributes the next inserted text receives)
// or the document's defaults (RichDocument::DefAttributes). A view belongs to
// its document and cannot be copied; Assign copies attribute values.
//
// Colours are QColor. Color(): an invalid QColor is the automatic text colour,
// and writing an invalid colour makes the text automatic again. BackColor():
// reads the window colour (QPalette::Base) where the characters have no
// highlight; writing always sets an explicit highlight.
class TJvTextAttributes
{
public:
    enum class Kind { Selection, Default };

    TJvTextAttributes(RichDocument &document, Kind kind);
    TJvTextAttributes(const TJvTextAttributes &) = delete;
    TJvTextAttributes &operator=(const TJvTextAttributes &) = delete;

    // Every attribute, sub-/superscript, highlight and underline kind and colour included.
    void Assign(const TJvTextAttributes &source);
    // Name, size, colour, style and weight; every other attribute stays.
    void Assign(const TextFont &font);

    QString Name() const;
    void setName(const QString &name); // keeps at most 31 characters
    int Size() const;                  // whole points, fractions dropped
    void setSize(int points);
    QColor Color() const;
    void setColor(const QColor &color);
    TFontStyles Style() const;
    void setStyle(TFontStyles style);
    bool Bold() const;
    void setBold(bool on);
    bool Italic() const;
    void setItalic(bool on);
    bool Underline() const;
    void setUnderline(bool on);
    bool StrikeOut() const;
    void setStrikeOut(bool on);
    TSubscriptStyle SubscriptStyle() const;
    void setSubscriptStyle(TSubscriptStyle style);
    QColor BackColor() const;
    void setBackColor(const QColor &color);
    // Writing either of these also switches underlining on.
    TUnderlineType UnderlineType() const;
    void setUnderlineType(TUnderlineType type);
    TUnderlineColor UnderlineColor() const;
    void setUnderlineColor(TUnderlineColor color);

    // Writes name, size, colour, style and weight of font into format.
    static void applyFont(QTextCharFormat &format, const TextFont &font);
    // What setUnderlineType and setUnderlineColor write into a format.
    static void applyUnderlineType(QTextCharFormat &format, TUnderlineType type);
    static void applyUnderlineColor(QTextCharFormat &format, TUnderlineColor color);

    // The attributes as one font value (what RichDocument::Font returns).
    TextFont toFont() const;
    // The attributes as a character format with every property explicit.
    QTextCharFormat format() const;

private:
    template <typename Change>
    void change(Change &&change);

    RichDocument &m_document;
    Kind m_kind;
};
