#include "richtext/textattributes.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "richtext/richdocument.h"
#include "richtext/textformat.h"

namespace {

constexpr int MaximumNameLength = 31;

// Every property these attributes stand for; Assign copies exactly these.
constexpr int AttributeProperties[] = {
    QTextFormat::FontFamily,         QTextFormat::FontFamilies,
    QTextFormat::FontPointSize,      QTextFormat::FontPixelSize,
    QTextFormat::ForegroundBrush,    QTextFormat::FontWeight,
    QTextFormat::FontItalic,         QTextFormat::FontUnderline,
    QTextFormat::TextUnderlineStyle, QTextFormat::TextUnderlineColor,
    QTextFormat::FontStrikeOut,      QTextFormat::TextVerticalAlignment,
    QTextFormat::BackgroundBrush,    TextFormat::UnderlineType,
    TextFormat::UnderlineColorIndex,
};

QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

QTextCharFormat::UnderlineStyle drawingOf(TUnderlineType type)
{
    switch (type) {
    case TUnderlineType::utNone:
        return QTextCharFormat::NoUnderline;
    case TUnderlineType::utDotted:
        return QTextCharFormat::DotLine;
    case TUnderlineType::utDash:
        return QTextCharFormat::DashUnderline;
    case TUnderlineType::utDashDot:
        return QTextCharFormat::DashDotLine;
    case TUnderlineType::utDashDotDot:
        return QTextCharFormat::DashDotDotLine;
    case TUnderlineType::utWave:
        return QTextCharFormat::WaveUnderline;
    default: // solid, word, double and thick are drawn as a single line
        return QTextCharFormat::SingleUnderline;
    }
}

TUnderlineType underlineTypeOf(const QTextCharFormat &format)
{
    if (format.hasProperty(TextFormat::UnderlineType))
        return TUnderlineType(qBound(0, format.intProperty(TextFormat::UnderlineType), 9));
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        return format.boolProperty(QTextFormat::FontUnderline) ? TUnderlineType::utSolid
                                                               : TUnderlineType::utNone;
    case QTextCharFormat::DotLine:
        return TUnderlineType::utDotted;
    case QTextCharFormat::DashUnderline:
        return TUnderlineType::utDash;
    case QTextCharFormat::DashDotLine:
        return TUnderlineType::utDashDot;
    case QTextCharFormat::DashDotDotLine:
        return TUnderlineType::utDashDotDot;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return TUnderlineType::utWave;
    default:
        return TUnderlineType::utSolid;
    }
}

void setUnderlineTypeOf(QTextCharFormat &format, TUnderlineType type)
{
    format.setProperty(TextFormat::UnderlineType, int(type));
    format.clearProperty(QTextFormat::FontUnderline);
    format.setUnderlineStyle(drawingOf(type));
}

void setUnderlineOf(QTextCharFormat &format, bool on)
{
    const TUnderlineType current = underlineTypeOf(format);
    if (!on)
        setUnderlineTypeOf(format, TUnderlineType::utNone);
    else if (current == TUnderlineType::utNone)
        setUnderlineTypeOf(format, TUnderlineType::utSolid);
}

void setBoldOf(QTextCharFormat &format, bool on)
{
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
}

} // namespace

TJvTextAttributes::TJvTextAttributes(RichDocument &document, Kind kind)
    : m_document(document)
    , m_kind(kind)
{}

QTextCharFormat TJvTextAttributes::format() const
{
    const QTextCharFormat &defaults = m_document.m_defaultFormat;
    const QTextCharFormat own = m_kind == Kind::Default ? defaults : m_document.insertionFormat();
    QTextCharFormat result;
    QString family = familyOf(own);
    if (family.isEmpty())
        family = familyOf(defaults);
    result.setFontFamilies(QStringList{family});
    result.setProperty(QTextFormat::FontFamily, family);
    qreal size = own.fontPointSize();
    if (size <= 0 && own.hasProperty(QTextFormat::FontPixelSize)) // pasted HTML may size in pixels
        size = TextFormat::unitsToPoints(own.intProperty(QTextFormat::FontPixelSize));
    if (size <= 0)
        size = defaults.fontPointSize();
    result.setFontPointSize(size);
    for (int property : AttributeProperties) {
        if (property == QTextFormat::FontFamily || property == QTextFormat::FontFamilies
            || property == QTextFormat::FontPointSize || property == QTextFormat::FontPixelSize)
            continue;
        if (own.hasProperty(property))
            result.setProperty(property, own.property(property));
        else if (defaults.hasProperty(property))
            result.setProperty(property, defaults.property(property));
    }
    // The underline as one explicit kind, whichever way the source kept it.
    setUnderlineTypeOf(result, underlineTypeOf(result));
    if (result.foreground().style() == Qt::NoBrush)
        result.clearForeground();
    if (result.background().style() == Qt::NoBrush)
        result.clearBackground();
    return result;
}

template <typename Change>
void TJvTextAttributes::change(Change &&change)
{
    if (m_kind == Kind::Default) {
        QTextCharFormat format = m_document.m_defaultFormat;
        change(format);
        m_document.setDefaultFormat(format);
        return;
    }
    QTextCursor selection = m_document.currentCursor();
    if (!selection.hasSelection()) {
        // Attributes for the text inserted next at the caret.
        QTextCharFormat format = m_document.insertionFormat();
        change(format);
        selection.setCharFormat(format);
        m_document.applyCursor(selection);
        return;
    }
    // Each run of the selection keeps every attribute the change leaves alone.
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    struct Run
    {
        int from;
        int to;
        QTextCharFormat format;
    };
    QList<Run> runs;
    QTextDocument *document = m_document.textDocument();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = qMax(start, fragment.position());
            const int to = qMin(end, fragment.position() + fragment.length());
            if (from < to) {
                QTextCharFormat format = fragment.charFormat();
                change(format);
                runs.append({from, to, format});
            }
        }
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Run &run : std::as_const(runs)) {
        cursor.setPosition(run.from);
        cursor.setPosition(run.to, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
    cursor.endEditBlock();
}

void TJvTextAttributes::Assign(const TJvTextAttributes &source)
{
    const QTextCharFormat attributes = source.format();
    change([&](QTextCharFormat &format) {
        for (int property : AttributeProperties) {
            if (attributes.hasProperty(property))
                format.setProperty(property, attributes.property(property));
            else
                format.clearProperty(property);
        }
    });
}

void TJvTextAttributes::applyFont(QTextCharFormat &format, const TextFont &font)
{
    const QString family = font.font.family().left(MaximumNameLength);
    format.setFontFamilies(QStringList{family});
    format.setProperty(QTextFormat::FontFamily, family);
    format.clearProperty(TextFormat::FontCharset);
    format.clearProperty(QTextFormat::FontPixelSize);
    format.setFontPointSize(font.font.pointSizeF() > 0 ? font.font.pointSizeF()
                                                       : QFont().pointSizeF());
    if (font.color.isValid())
        format.setForeground(font.color);
    else
        format.clearForeground();
    format.setFontWeight(font.font.weight());
    format.setFontItalic(font.font.italic());
    setUnderlineOf(format, font.font.underline());
    format.setFontStrikeOut(font.font.strikeOut());
}

void TJvTextAttributes::Assign(const TextFont &font)
{
    change([&](QTextCharFormat &format) { applyFont(format, font); });
}

TextFont TJvTextAttributes::toFont() const
{
    const QTextCharFormat attributes = format();
    QFont font(Name());
    font.setPointSizeF(attributes.fontPointSize());
    font.setWeight(QFont::Weight(attributes.fontWeight()));
    font.setItalic(attributes.fontItalic());
    font.setUnderline(Underline());
    font.setStrikeOut(attributes.fontStrikeOut());
    return {font, Color()};
}

QString TJvTextAttributes::Name() const
{
    return familyOf(format());
}

void TJvTextAttributes::setName(const QString &name)
{
    const QString family = name.left(MaximumNameLength);
    change([&](QTextCharFormat &format) {
        format.setFontFamilies(QStringList{family});
        format.setProperty(QTextFormat::FontFamily, family);
        format.clearProperty(TextFormat::FontCharset);
    });
}

int TJvTextAttributes::Size() const
{
    // Sizes are kept in twentieths of a point; the whole points are read.
    return qRound(format().fontPointSize() * 20) / 20;
}

void TJvTextAttributes::setSize(int points)
{
    change([&](QTextCharFormat &format) {
        format.clearProperty(QTextFormat::FontPixelSize);
        format.setFontPointSize(points);
    });
}

QColor TJvTextAttributes::Color() const
{
    const QTextCharFormat attributes = format();
    return attributes.hasProperty(QTextFormat::ForegroundBrush) ? attributes.foreground().color()
                                                                : QColor();
}

void TJvTextAttributes::setColor(const QColor &color)
{
    change([&](QTextCharFormat &format) {
        if (color.isValid())
            format.setForeground(color);
        else
            format.clearForeground();
    });
}

TFontStyles TJvTextAttributes::Style() const
{
    TFontStyles style;
    style.setFlag(TFontStyle::fsBold, Bold());
    style.setFlag(TFontStyle::fsItalic, Italic());
    style.setFlag(TFontStyle::fsUnderline, Underline());
    style.setFlag(TFontStyle::fsStrikeOut, StrikeOut());
    return style;
}

void TJvTextAttributes::setStyle(TFontStyles style)
{
    change([&](QTextCharFormat &format) {
        setBoldOf(format, style.testFlag(TFontStyle::fsBold));
        format.setFontItalic(style.testFlag(TFontStyle::fsItalic));
        setUnderlineOf(format, style.testFlag(TFontStyle::fsUnderline));
        format.setFontStrikeOut(style.testFlag(TFontStyle::fsStrikeOut));
    });
}

bool TJvTextAttributes::Bold() const
{
    return format().fontWeight() > QFont::Medium;
}

void TJvTextAttributes::setBold(bool on)
{
    change([&](QTextCharFormat &format) { setBoldOf(format, on); });
}

bool TJvTextAttributes::Italic() const
{
    return format().fontItalic();
}

void TJvTextAttributes::setItalic(bool on)
{
    change([&](QTextCharFormat &format) { format.setFontItalic(on); });
}

bool TJvTextAttributes::Underline() const
{
    return UnderlineType() != TUnderlineType::utNone;
}

void TJvTextAttributes::setUnderline(bool on)
{
    change([&](QTextCharFormat &format) { setUnderlineOf(format, on); });
}

bool TJvTextAttributes::StrikeOut() const
{
    return format().fontStrikeOut();
}

void TJvTextAttributes::setStrikeOut(bool on)
{
    change([&](QTextCharFormat &format) { format.setFontStrikeOut(on); });
}

TSubscriptStyle TJvTextAttributes::SubscriptStyle() const
{
    switch (format().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript:
        return TSubscriptStyle::ssSubscript;
    case QTextCharFormat::AlignSuperScript:
        return TSubscriptStyle::ssSuperscript;
    default:
        return TSubscriptStyle::ssNone;
    }
}

void TJvTextAttributes::setSubscriptStyle(TSubscriptStyle style)
{
    const auto alignment = style == TSubscriptStyle::ssSubscript ? QTextCharFormat::AlignSubScript
                           : style == TSubscriptStyle::ssSuperscript
                               ? QTextCharFormat::AlignSuperScript
                               : QTextCharFormat::AlignNormal;
    change([&](QTextCharFormat &format) { format.setVerticalAlignment(alignment); });
}

QColor TJvTextAttributes::BackColor() const
{
    const QTextCharFormat attributes = format();
    if (attributes.hasProperty(QTextFormat::BackgroundBrush))
        return attributes.background().color();
    return QGuiApplication::palette().color(QPalette::Base);
}

void TJvTextAttributes::setBackColor(const QColor &color)
{
    change([&](QTextCharFormat &format) { format.setBackground(color); });
}

TUnderlineType TJvTextAttributes::UnderlineType() const
{
    return underlineTypeOf(format());
}

void TJvTextAttributes::setUnderlineType(TUnderlineType type)
{
    change([&](QTextCharFormat &format) { applyUnderlineType(format, type); });
}

void TJvTextAttributes::applyUnderlineType(QTextCharFormat &format, TUnderlineType type)
{
    setUnderlineTypeOf(format, type);
}

TUnderlineColor TJvTextAttributes::UnderlineColor() const
{
    return TUnderlineColor(qBound(0, format().intProperty(TextFormat::UnderlineColorIndex), 15));
}

void TJvTextAttributes::setUnderlineColor(TUnderlineColor color)
{
    change([&](QTextCharFormat &format) { applyUnderlineColor(format, color); });
}

void TJvTextAttributes::applyUnderlineColor(QTextCharFormat &format, TUnderlineColor color)
{
    format.setProperty(TextFormat::UnderlineColorIndex, int(color));
    format.setUnderlineColor(QColor(TextFormat::UnderlineColors[size_t(color)]));
    setUnderlineOf(format, true);
}
