#include "richtext/rtfwriter.h"

#include "richtext/listlabel.h"
#include "richtext/textformat.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

namespace {

constexpr int SymbolCharset = 2;

QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.property(QTextFormat::FontFamily).toString();
}

// The face a family stands for where it is one of the generic names ("Sans Serif", what Qt
// calls the desktop's font), which other readers do not know: they would show another face.
QString realFamily(const QString &family)
{
    static const QStringList generic = {
        QStringLiteral("Sans Serif"), QStringLiteral("Sans"),      QStringLiteral("sans-serif"),
        QStringLiteral("Serif"),      QStringLiteral("Monospace"), QStringLiteral("monospace"),
        QStringLiteral("system-ui"),
    };
    if (!generic.contains(family, Qt::CaseInsensitive))
        return family;
    const QString face = QFontInfo(QFont(family)).family();
    return face.isEmpty() ? family : face;
}

// Builds the document body while collecting the font and colour tables that
// must precede it.
class Writer
{
public:
    Writer(const QTextDocument &document, int from, int to);
    QByteArray write();

private:
    void block(const QTextBlock &block, int from, int to, bool paragraphMark);
    // The \\par that ends block, in the format of its mark.
    void paragraphMark(const QTextBlock &block);
    // The table that begins with block and lies in the range written, or null.
    const QTextTable *tableAt(const QTextBlock &block);
    void table(const QTextTable &table);
    void cell(const QTextTableCell &cell);
    void paragraphProperties(const QTextBlock &block);
    void listProperties(const QTextList &list, const QTextBlock &block);
    // The list table and its overrides: one list of one level for each list of the document.
    QByteArray listTable();
    void tabStops(const QTextBlockFormat &format);
    void characterProperties(const QTextCharFormat &format);
    // What characterProperties writes for a format without properties of its own.
    QByteArray plainProperties();
    // Runs write with the body set aside and gives back what it wrote. The body is moved, never
    // shared, so that appending to it afterwards does not copy it.
    template <typename Write>
    QByteArray aside(Write write);
    void text(QStringView text);
    void object(const QTextCharFormat &format);
    void picture(const QTextImageFormat &format);
    void beginLink(const QString &href);
    void endLink();
    int fontIndex(const QString &family, int charset = 0);
    int colorIndex(const QColor &color);
    void number(const char *word, qint64 value);

    const QTextDocument &m_document;
    const int m_from;
    const int m_to;
    const QString m_defaultFamily;
    const qreal m_defaultSize;
    QByteArray m_body;
    QByteArray m_plainProperties;
    using Font = std::pair<QString, int>; // face and \fcharset
    QList<Font> m_fonts;
    QHash<Font, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QHash<const QTextList *, int> m_listIds; // from 1, as \\ls and \\listid
    QList<QTextListFormat> m_lists;
    bool m_inLink = false;
    QString m_linkHref;
    QList<const QTextTable *> m_tables; // of the document's top level, in order
    qsizetype m_nextTable = 0;
    bool m_inTable = false;
};

Writer::Writer(const QTextDocument &document, int from, int to)
    : m_document(document)
    , m_from(from)
    , m_to(to)
    , m_defaultFamily(realFamily(document.defaultFont().family()))
    , m_defaultSize(document.defaultFont().pointSizeF())
{
    fontIndex(m_defaultFamily); // \deff0
    const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
    for (const QTextFrame *frame : frames) {
        if (const auto *table = qobject_cast<const QTextTable *>(frame))
            m_tables.append(table);
    }
}

const QTextTable *Writer::tableAt(const QTextBlock &block)
{
    while (m_nextTable < m_tables.size()
           && m_tables[m_nextTable]->firstPosition() < block.position())
        ++m_nextTable;
    if (m_nextTable == m_tables.size())
        return nullptr;
    const QTextTable *table = m_tables[m_nextTable];
    const bool whole = table->firstPosition() - 1 >= m_from && table->lastPosition() <= m_to;
    return table->firstPosition() == block.position() && whole ? table : nullptr;
}

void Writer::table(const QTextTable &table)
{
    const QTextTableFormat format = table.format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    const int columns = table.columns();
    QByteArray layout = "\\trowd\\trgaph108";
    int right = 0;
    for (int column = 0; column < columns; ++column) {
        const QTextLength width = widths.value(column);
        right += width.type() == QTextLength::FixedLength
                     ? qRound(TextFormat::unitsToTwips(width.rawValue()))
                     : qMax(500, 9000 / columns);
        if (format.border() > 0)
            layout += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                      "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
        layout += "%\\cellx" + QByteArray::number(right); // % is where the cell's merge goes
    }
    m_inTable = true;
    for (int row = 0; row < table.rows(); ++row) {
        QByteArray rowLayout = layout;
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            QByteArray merge;
            if (cell.row() == row && cell.column() == column) {
                if (cell.rowSpan() > 1)
                    merge += "\\clvmgf";
                if (cell.columnSpan() > 1)
                    merge += "\\clmgf";
            } else {
                if (cell.row() != row)
                    merge += "\\clvmrg";
                if (cell.column() != column)
                    merge += "\\clmrg";
            }
            rowLayout.replace(rowLayout.indexOf('%'), 1, merge);
        }
        m_body += rowLayout + "\r\n";
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() == row && cell.column() == column)
                this->cell(cell);
            else
                m_body += "\\pard\\intbl\\cell"; // covered by a merged cell
        }
        m_body += "\\row\r\n";
    }
    m_inTable = false;
}

void Writer::cell(const QTextTableCell &cell)
{
    const QTextBlock last = m_document.findBlock(cell.lastPosition());
    for (QTextBlock b = m_document.findBlock(cell.firstPosition()); b.isValid(); b = b.next()) {
        block(b, b.position(), b.position() + b.length() - 1, false);
        if (b == last)
            break;
        paragraphMark(b);
    }
    m_body += "\\cell";
}

QByteArray Writer::write()
{
    const int end = m_document.characterCount() - 1; // the final paragraph mark is not a position
    m_body.reserve((m_to - m_from) * 2 + 256);
    for (QTextBlock b = m_document.findBlock(m_from); b.isValid() && b.position() <= m_to;
         b = b.next()) {
        const int blockEnd = b.position() + b.length() - 1; // its paragraph mark
        const bool isLast = blockEnd >= end;
        // The whole document, and every range reaching its end, closes with the
        // last paragraph mark like every other paragraph.
        const bool mark
            = isLast ? (m_to == end && (m_from < m_to || m_from == 0)) : blockEnd < m_to;
        if (b.position() >= m_to && !mark)
            break;
        // The empty paragraph a document keeps before a table that begins it is not the note's.
        if (b.position() == 0 && b.length() == 1 && tableAt(b.next()))
            continue;
        if (const QTextTable *table = tableAt(b)) {
            this->table(*table);
            b = m_document.findBlock(table->lastPosition());
            continue;
        }
        block(b, qMax(m_from, b.position()), qMin(m_to, blockEnd), mark);
    }

    const QByteArray lists = m_lists.isEmpty() ? QByteArray() : listTable();
    QByteArray out;
    out.reserve(m_body.size() + lists.size() + 1024); // the body is not copied twice
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        const auto &font = m_fonts[i];
        out += "{\\f" + QByteArray::number(i)
               + (font.second == SymbolCharset ? "\\ftech" : "\\fnil") + "\\fcharset"
               + QByteArray::number(font.second) + ' ';
        out += aside([&] { text(font.first); }) + ";}";
    }
    out += "}\r\n";
    if (!m_colors.isEmpty()) {
        out += "{\\colortbl ;";
        for (const QRgb rgb : std::as_const(m_colors))
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green"
                   + QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb))
                   + ';';
        out += "}\r\n";
    }
    out += lists;
    out += "\\viewkind4\\uc1 \r\n";
    out += m_body;
    out += "}\r\n";
    return out;
}

void Writer::block(const QTextBlock &block, int from, int to, bool paragraphMark)
{
    paragraphProperties(block);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = qMax(from, fragment.position());
        const int stop = qMin(to, fragment.position() + fragment.length());
        if (start >= stop)
            continue;
        const QTextCharFormat format = fragment.charFormat();
        if (format.isAnchor())
            beginLink(format.anchorHref());
        else
            endLink();
        const QString fragmentString = fragment.text();
        const QStringView fragmentText
            = QStringView(fragmentString).sliced(start - fragment.position(), stop - start);
        m_body += '{';
        characterProperties(format);
        if (format.objectType() == TextFormat::HiddenTextType) {
            m_body += "\\v ";
            for (qsizetype i = 0; i < fragmentText.size(); ++i)
                text(format.stringProperty(TextFormat::HiddenText));
        } else if (format.objectType() != QTextFormat::NoObject) {
            for (qsizetype i = 0; i < fragmentText.size(); ++i)
                object(format);
        } else {
            m_body += ' ';
            text(fragmentText);
        }
        m_body += '}';
    }
    endLink();
    if (paragraphMark)
        this->paragraphMark(block);
}

void Writer::paragraphMark(const QTextBlock &block)
{
    // The mark ending this paragraph is the separator that begins the next block, and has its
    // format; the format goes right before \par, as a group of its own unless it is the plain
    // one (a result written in a font of its own ends its lines in that font).
    const QByteArray mark = aside([&] { characterProperties(block.next().charFormat()); });
    if (mark == plainProperties())
        m_body += "\\par\r\n";
    else
        m_body += '{' + mark + "\\par}\r\n";
}

QByteArray Writer::plainProperties()
{
    if (m_plainProperties.isNull())
        m_plainProperties = aside([this] { characterProperties(QTextCharFormat()); });
    return m_plainProperties;
}

template <typename Write>
QByteArray Writer::aside(Write write)
{
    QByteArray body = std::exchange(m_body, QByteArray());
    write();
    return std::exchange(m_body, std::move(body));
}

void Writer::paragraphProperties(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    m_body += "\\pard";
    if (m_inTable)
        m_body += "\\intbl";
    if (const QTextList *list = block.textList())
        listProperties(*list, block);
    if (format.hasProperty(QTextFormat::LayoutDirection)) {
        if (format.layoutDirection() == Qt::RightToLeft)
            m_body += "\\rtlpar";
        else if (format.layoutDirection() == Qt::LeftToRight)
            m_body += "\\ltrpar";
    }
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        m_body += "\\qc";
    else if (alignment & Qt::AlignJustify)
        m_body += "\\qj";
    else if (alignment & Qt::AlignRight)
        m_body += "\\qr";
    const auto twips = [](qreal units) { return qRound64(TextFormat::unitsToTwips(units)); };
    if (format.leftMargin() != 0)
        number("\\li", twips(format.leftMargin()));
    if (format.textIndent() != 0)
        number("\\fi", twips(format.textIndent()));
    if (format.rightMargin() != 0)
        number("\\ri", twips(format.rightMargin()));
    if (format.topMargin() != 0)
        number("\\sb", twips(format.topMargin()));
    if (format.bottomMargin() != 0)
        number("\\sa", twips(format.bottomMargin()));
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        number("\\sl", qRound64(format.lineHeight() * 240 / 100));
        m_body += "\\slmult1";
        break;
    case QTextBlockFormat::MinimumHeight:
        number("\\sl", twips(format.lineHeight()));
        m_body += "\\slmult0";
        break;
    case QTextBlockFormat::FixedHeight:
        number("\\sl", -twips(format.lineHeight()));
        m_body += "\\slmult0";
        break;
    default:
        break;
    }
    tabStops(format);
    if (!m_body.endsWith('}'))
        m_body += ' '; // ends the last control word
}

void Writer::listProperties(const QTextList &list, const QTextBlock &block)
{
    // The label as old-style numbering, which the rich-edit control reads, then the list it
    // belongs to, which word processors read.
    const QTextListFormat format = list.format();
    auto id = m_listIds.constFind(&list);
    if (id == m_listIds.constEnd()) {
        m_lists.append(format);
        id = m_listIds.insert(&list, int(m_lists.size()));
    }
    const QByteArray ls = "\\ls" + QByteArray::number(id.value());
    const QString bullet = ListLabel::bullet(format);
    if (bullet == u"\u2022") {
        const QByteArray font
            = QByteArray::number(fontIndex(QStringLiteral("Symbol"), SymbolCharset));
        m_body += "{\\pntext\\f" + font + "\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + font
                  + "\\pnindent0{\\pntxtb\\'B7}}" + ls;
        return;
    }
    m_body += "{\\pntext\\f0 ";
    text(ListLabel::of(block));
    m_body += "\\tab}{\\*\\pn";
    if (!bullet.isEmpty()) {
        m_body += "\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb ";
        text(bullet);
        m_body += "}}" + ls;
        return;
    }
    static const QHash<int, QByteArray> kinds = {
        {QTextListFormat::ListDecimal, "\\pndec"},
        {QTextListFormat::ListLowerAlpha, "\\pnlcltr"},
        {QTextListFormat::ListUpperAlpha, "\\pnucltr"},
        {QTextListFormat::ListLowerRoman, "\\pnlcrm"},
        {QTextListFormat::ListUpperRoman, "\\pnucrm"},
    };
    m_body += "\\pnlvlbody\\pnf0\\pnindent0";
    number("\\pnstart", format.hasProperty(TextFormat::ListStart)
                            ? format.intProperty(TextFormat::ListStart)
                            : 1);
    m_body += kinds.value(format.style(), "\\pndec");
    const QString suffix = ListLabel::suffix(format);
    for (const auto &[word, label] :
         {std::pair("{\\pntxtb ", format.numberPrefix()), std::pair("{\\pntxta ", suffix)}) {
        if (label.isEmpty())
            continue;
        m_body += word;
        text(label);
        m_body += '}';
    }
    m_body += '}' + ls;
}

QByteArray Writer::listTable()
{
    static const QHash<int, int> numberings = {
        {QTextListFormat::ListDecimal, 0},    {QTextListFormat::ListUpperRoman, 1},
        {QTextListFormat::ListLowerRoman, 2}, {QTextListFormat::ListUpperAlpha, 3},
        {QTextListFormat::ListLowerAlpha, 4},
    };
    return aside([&] {
        m_body += "{\\*\\listtable";
        for (qsizetype i = 0; i < m_lists.size(); ++i) {
            const QTextListFormat &format = m_lists[i];
            const QByteArray id = QByteArray::number(i + 1);
            const QString bullet = ListLabel::bullet(format);
            const QString prefix = bullet.isEmpty() ? format.numberPrefix() : QString();
            const QString suffix = bullet.isEmpty() ? ListLabel::suffix(format) : QString();
            m_body += "\r\n{\\list\\listtemplateid" + id + "\\listsimple{\\listlevel";
            const int numbering = bullet.isEmpty() ? numberings.value(format.style(), 0) : 23;
            number("\\levelnfc", numbering);
            number("\\levelnfcn", numbering);
            m_body += "\\leveljc0\\levelfollow0";
            number("\\levelstartat", format.hasProperty(TextFormat::ListStart)
                                         ? format.intProperty(TextFormat::ListStart)
                                         : 1);
            // The level's text: its length, then the label with the number's place as \\'00.
            const QString before = bullet.isEmpty() ? prefix : bullet;
            const int length = int(before.size() + suffix.size()) + (bullet.isEmpty() ? 1 : 0);
            m_body += "{\\leveltext\\'"
                      + QByteArray::number(qMin(length, 255), 16).rightJustified(2, '0');
            text(before);
            if (bullet.isEmpty())
                m_body += "\\'00";
            text(suffix);
            m_body += ";}{\\levelnumbers";
            if (bullet.isEmpty())
                m_body += "\\'" + QByteArray::number(before.size() + 1, 16).rightJustified(2, '0');
            m_body += ";}}\\listid" + id + '}';
        }
        m_body += "}\r\n{\\*\\listoverridetable";
        for (qsizetype i = 1; i <= m_lists.size(); ++i)
            m_body += "{\\listoverride\\listid" + QByteArray::number(i) + "\\listoverridecount0\\ls"
                      + QByteArray::number(i) + '}';
        m_body += "}\r\n";
    });
}

void Writer::tabStops(const QTextBlockFormat &format)
{
    static const char *const types[] = {"", "\\tqr", "\\tqc", "\\tqdec"};
    static const char *const leaders[] = {"", "\\tldot", "\\tlhyph", "\\tlul", "\\tlth", "\\tleq"};
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    const QByteArray tabLeaders = format.property(TextFormat::TabLeaders).toByteArray();
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        const int type = tabs[i].type;
        if (type > 0 && type < 4)
            m_body += types[type];
        const int leader = i < tabLeaders.size() ? tabLeaders[i] : 0;
        if (leader > 0 && leader < 6)
            m_body += leaders[leader];
        number("\\tx", qRound64(TextFormat::unitsToTwips(tabs[i].position)));
    }
}

void Writer::characterProperties(const QTextCharFormat &format)
{
    const QString family = familyOf(format);
    number("\\f", fontIndex(family.isEmpty() ? m_defaultFamily : family,
                            format.intProperty(TextFormat::FontCharset)));
    const qreal size
        = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : m_defaultSize;
    if (size > 0)
        number("\\fs", qRound64(size * 2));
    if (format.fontWeight() >= QFont::DemiBold)
        m_body += "\\b";
    if (format.fontItalic())
        m_body += "\\i";
    if (format.fontStrikeOut())
        m_body += "\\strike";
    int underline = format.property(TextFormat::UnderlineType).toInt();
    if (!format.hasProperty(TextFormat::UnderlineType)) {
        switch (format.underlineStyle()) {
        case QTextCharFormat::NoUnderline:
            underline = 0;
            break;
        case QTextCharFormat::DotLine:
            underline = 4;
            break;
        case QTextCharFormat::DashUnderline:
            underline = 5;
            break;
        case QTextCharFormat::DashDotLine:
            underline = 6;
            break;
        case QTextCharFormat::DashDotDotLine:
            underline = 7;
            break;
        case QTextCharFormat::WaveUnderline:
        case QTextCharFormat::SpellCheckUnderline:
            underline = 8;
            break;
        default:
            underline = 1;
            break;
        }
    }
    static const char *const underlines[]
        = {"",         "\\ul",      "\\ulw",      "\\uldb",   "\\uld",
           "\\uldash", "\\uldashd", "\\uldashdd", "\\ulwave", "\\ulth"};
    if (underline > 0 && underline < 10)
        m_body += underlines[underline];
    QColor underlineColor = format.underlineColor();
    if (!underlineColor.isValid() && format.hasProperty(TextFormat::UnderlineColorIndex))
        underlineColor = QColor::fromRgb(TextFormat::UnderlineColors[qBound(
            0, format.intProperty(TextFormat::UnderlineColorIndex), 15)]);
    if (underline > 0 && underlineColor.isValid())
        number("\\ulc", colorIndex(underlineColor));
    if (format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        number("\\cf", colorIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush)
        && format.background().style() != Qt::NoBrush)
        number("\\highlight", colorIndex(format.background().color()));
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        m_body += "\\sub";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        m_body += "\\super";
    // The offset is a share of the size: in half-points it follows the size.
    if (format.hasProperty(QTextFormat::TextBaselineOffset)) {
        const qint64 offset = qRound64(format.baselineOffset() * (size > 0 ? size * 2 : 24) / 100);
        if (offset > 0)
            number("\\up", offset);
        else if (offset < 0)
            number("\\dn", -offset);
    }
    const int capitalization = format.intProperty(QTextFormat::FontCapitalization);
    if (capitalization == QFont::AllUppercase)
        m_body += "\\caps";
    else if (capitalization == QFont::SmallCaps)
        m_body += "\\scaps";
    if (format.hasProperty(QTextFormat::TextOutline) && format.textOutline().style() != Qt::NoPen)
        m_body += "\\outl";
}

void Writer::text(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == u'\\' || c == u'{' || c == u'}')
                m_body += '\\';
            m_body += char(c);
        } else if (c == u'\t') {
            m_body += "\\tab ";
        } else if (c == QChar::LineSeparator) {
            m_body += "\\line ";
        } else if (c == 0x00A0) {
            m_body += "\\~";
        } else if (c >= 0x80) {
            number("\\u", c > 32767 ? int(c) - 65536 : int(c));
            m_body += '?';
        }
    }
}

void Writer::object(const QTextCharFormat &format)
{
    if (format.isImageFormat()) {
        picture(format.toImageFormat());
        return;
    }
    if (format.objectType() == TextFormat::ForeignObjectType)
        m_body += format.property(TextFormat::RawRtfObject).toByteArray();
}

void Writer::picture(const QTextImageFormat &format)
{
    const QVariant resource
        = m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = resource.value<QImage>();
    if (image.isNull())
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return; // nothing left to write of a picture whose image is gone
    // A picture read from a PNG or JPEG file is written as that file again.
    QByteArray data = format.property(TextFormat::PictureData).toByteArray();
    const bool jpeg = data.startsWith("\xFF\xD8");
    if (!jpeg && !data.startsWith("\x89PNG")) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    const qreal width = format.width() > 0 ? format.width() : image.width();
    const qreal height = format.height() > 0 ? format.height() : image.height();
    m_body += jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip";
    number("\\picw", image.width());
    number("\\pich", image.height());
    number("\\picwgoal", qRound64(TextFormat::unitsToTwips(width)));
    number("\\pichgoal", qRound64(TextFormat::unitsToTwips(height)));
    m_body += "\r\n";
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        m_body += QByteArrayView(hex).sliced(i, qMin<qsizetype>(128, hex.size() - i));
        m_body += "\r\n";
    }
    m_body += '}';
}

void Writer::beginLink(const QString &href)
{
    if (m_inLink && href == m_linkHref)
        return;
    endLink();
    // The instruction without a group of its own: simpler readers show the
    // result text only in this form.
    m_body += "{\\field{\\*\\fldinst HYPERLINK \"";
    QString escaped = href;
    escaped.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    text(escaped);
    m_body += "\"}{\\fldrslt{";
    m_inLink = true;
    m_linkHref = href;
}

void Writer::endLink()
{
    if (!m_inLink)
        return;
    m_body += "}}}";
    m_inLink = false;
}

int Writer::fontIndex(const QString &family, int charset)
{
    // Found by the name the document uses, written by the face it stands for.
    const Font font(family, charset);
    const auto it = m_fontIndex.constFind(font);
    if (it != m_fontIndex.constEnd())
        return it.value();
    const Font face(realFamily(family), charset);
    qsizetype index = m_fonts.indexOf(face);
    if (index < 0) {
        m_fonts.append(face);
        index = m_fonts.size() - 1;
    }
    m_fontIndex.insert(font, int(index));
    return int(index);
}

int Writer::colorIndex(const QColor &color)
{
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    const auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd())
        return it.value();
    m_colors.append(rgb);
    const int index = int(m_colors.size()); // index 0 is the automatic colour
    m_colorIndex.insert(rgb, index);
    return index;
}

void Writer::number(const char *word, qint64 value)
{
    m_body += word;
    m_body += QByteArray::number(value);
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document, int from, int to)
{
    const int end = document.characterCount() - 1;
    if (to < 0 || to > end)
        to = end;
    from = qBound(0, from, to);
    return Writer(document, from, to).write();
}
