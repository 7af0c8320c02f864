#include "richtext/rtfparser.h"

#include "platform/codepage.h"
#include "richtext/rtfpicture.h"
#include "richtext/rtftokenizer.h"
#include "richtext/textformat.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextListFormat>

#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace {

enum class Dest : quint8 {
    Normal,
    FontTable,
    ColorTable,
    Picture,
    Object,       // an embedded object's own data: kept raw, not read
    ObjectResult, // its rendering: only a picture is taken, as the preview
    FieldInstruction,
    Pn, // the old-style paragraph numbering properties
    ListTable,
    ListOverrides,
};

enum class Opens : quint8 { None, Picture, Object, Pn };

struct CharState
{
    int font = -1;
    int halfPoints = 0;
    int foreground = 0; // colour table index; 0 is automatic
    int background = 0;
    int underlineColor = -1;
    int link = -1;
    quint8 underline = 0; // TextFormat::UnderlineType value
    quint8 script = 0;    // 1 subscript, 2 superscript
    bool bold = false;
    bool italic = false;
    bool strike = false;

    bool operator==(const CharState &) const = default;
};

size_t qHash(const CharState &s, size_t seed = 0)
{
    return qHashMulti(seed, s.font, s.halfPoints, s.foreground, s.background, s.underlineColor,
                      s.link, s.underline, s.script, s.bold, s.italic, s.strike);
}

struct ParaState
{
    int alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
    int left = 0;      // twips
    int first = 0;
    int right = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    int list = 0; // QTextListFormat::Style, 0 for none

    bool operator==(const ParaState &) const = default;
};

size_t qHash(const ParaState &s, size_t seed = 0)
{
    return qHashMulti(seed, s.alignment, s.left, s.first, s.right, s.before, s.after, s.lineSpacing,
                      s.lineMultiple, s.list);
}

struct GroupState
{
    CharState chr;
    ParaState para;
    Dest dest = Dest::Normal;
    Opens opens = Opens::None;
    int uc = 1;          // bytes of fallback text after \uN
    qsizetype start = 0; // offset of the \pict or \object word that opens it
    int picture = -1;    // the picture being read
    int object = -1;     // the object being read
    int previewOf = -1;  // the object whose result picture is being read
    int field = -1;      // the field whose instruction or result this is
    int pnList = 0;      // list style gathered in a \pn group
};

struct Font
{
    QByteArray name;
    int charset = -1;
    int codePage = 0;
};

struct ObjectInProgress
{
    QImage preview;
    int width = 0; // twips
    int height = 0;
    int scaleX = 100;
    int scaleY = 100;
};

enum class Word {
    // destinations
    Fonttbl,
    Colortbl,
    ListTableWord,
    ListOverrideTableWord,
    ListDefinition,
    ListLevel,
    LevelNumbering,
    ListId,
    ListOverrideEntry,
    Pict,
    Object,
    Result,
    Field,
    Fldinst,
    Fldrslt,
    Pn,
    Shppict,
    SkipGroup,
    // document
    Ansicpg,
    Ansi,
    Mac,
    Pc,
    Pca,
    Deff,
    Fcharset,
    Cpg,
    Red,
    Green,
    Blue,
    // characters
    Plain,
    Bold,
    Italic,
    Strike,
    Underline,
    UnderlineWord,
    UnderlineDouble,
    UnderlineDotted,
    UnderlineDash,
    UnderlineDashDot,
    UnderlineDashDotDot,
    UnderlineWave,
    UnderlineThick,
    UnderlineNone,
    UnderlineColor,
    Sub,
    Super,
    NoSuperSub,
    FontSize,
    FontIndex,
    Foreground,
    Background,
    // paragraphs
    Pard,
    Par,
    Left,
    Centre,
    Right,
    Justify,
    LeftIndent,
    FirstIndent,
    RightIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    ListOverride,
    PnBullet,
    PnBody,
    PnDecimal,
    PnLowerLetter,
    PnUpperLetter,
    PnLowerRoman,
    PnUpperRoman,
    // special characters
    Tab,
    Line,
    Cell,
    EmDash,
    EnDash,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    Bullet,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    ZeroWidthBreak,
    LeftToRightMark,
    RightToLeftMark,
    Unicode,
    UnicodeSkip,
    Bin,
    // pictures and objects
    PngBlip,
    JpegBlip,
    DiBitmap,
    WBitmap,
    WMetafile,
    EmfBlip,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    BitsPerPixel,
    WidthBytes,
    ObjW,
    ObjH,
    ObjScaleX,
    ObjScaleY,
};

// Control words by name. RTF words are short lowercase ASCII: a handful of
// candidates share a first letter and a length.
class WordTable
{
public:
    WordTable(std::initializer_list<std::pair<std::string_view, Word>> entries)
    {
        for (const auto &entry : entries)
            m_buckets[bucket(entry.first)].push_back(entry);
    }

    std::optional<Word> find(QByteArrayView name) const
    {
        if (name.isEmpty() || name.size() > MaxLength || name.front() < 'a' || name.front() > 'z')
            return std::nullopt;
        const std::string_view key(name.data(), size_t(name.size()));
        for (const auto &[candidate, word] : m_buckets[bucket(key)]) {
            if (candidate == key)
                return word;
        }
        return std::nullopt;
    }

private:
    static constexpr qsizetype MaxLength = 20;
    static size_t bucket(std::string_view name)
    {
        return size_t(name.front() - 'a') * (MaxLength + 1) + name.size();
    }

    std::array<std::vector<std::pair<std::string_view, Word>>, 26 * (MaxLength + 1)> m_buckets;
};

const WordTable &words()
{
    static const WordTable table = {
        {"fonttbl", Word::Fonttbl},
        {"colortbl", Word::Colortbl},
        {"pict", Word::Pict},
        {"object", Word::Object},
        {"result", Word::Result},
        {"field", Word::Field},
        {"fldinst", Word::Fldinst},
        {"fldrslt", Word::Fldrslt},
        {"pn", Word::Pn},
        {"shppict", Word::Shppict},
        // Destinations whose text is no part of the document.
        {"nonshppict", Word::SkipGroup},
        {"pntext", Word::SkipGroup},
        {"listtext", Word::SkipGroup},
        {"stylesheet", Word::SkipGroup},
        {"info", Word::SkipGroup},
        {"header", Word::SkipGroup},
        {"headerl", Word::SkipGroup},
        {"headerr", Word::SkipGroup},
        {"headerf", Word::SkipGroup},
        {"footer", Word::SkipGroup},
        {"footerl", Word::SkipGroup},
        {"footerr", Word::SkipGroup},
        {"footerf", Word::SkipGroup},
        {"footnote", Word::SkipGroup},
        {"annotation", Word::SkipGroup},
        {"atnid", Word::SkipGroup},
        {"atnauthor", Word::SkipGroup},
        {"listtable", Word::ListTableWord},
        {"listoverridetable", Word::ListOverrideTableWord},
        {"list", Word::ListDefinition},
        {"listlevel", Word::ListLevel},
        {"levelnfc", Word::LevelNumbering},
        {"levelnfcn", Word::LevelNumbering},
        {"listid", Word::ListId},
        {"listoverride", Word::ListOverrideEntry},
        {"revtbl", Word::SkipGroup},
        {"falt", Word::SkipGroup},
        {"objdata", Word::SkipGroup},
        {"objclass", Word::SkipGroup},
        {"xe", Word::SkipGroup},
        {"tc", Word::SkipGroup},
        {"txe", Word::SkipGroup},
        {"rxe", Word::SkipGroup},
        {"bkmkstart", Word::SkipGroup},
        {"bkmkend", Word::SkipGroup},
        {"author", Word::SkipGroup},
        {"operator", Word::SkipGroup},
        {"title", Word::SkipGroup},
        {"subject", Word::SkipGroup},
        {"keywords", Word::SkipGroup},
        {"comment", Word::SkipGroup},
        {"doccomm", Word::SkipGroup},
        {"pnseclvl", Word::SkipGroup},
        {"template", Word::SkipGroup},
        {"ftnsep", Word::SkipGroup},
        {"ftnsepc", Word::SkipGroup},
        {"ftncn", Word::SkipGroup},
        {"aftnsep", Word::SkipGroup},
        {"aftnsepc", Word::SkipGroup},
        {"aftncn", Word::SkipGroup},
        {"rsidtbl", Word::SkipGroup},
        {"generator", Word::SkipGroup},
        {"filetbl", Word::SkipGroup},
        {"background", Word::SkipGroup},
        {"ansicpg", Word::Ansicpg},
        {"ansi", Word::Ansi},
        {"mac", Word::Mac},
        {"pc", Word::Pc},
        {"pca", Word::Pca},
        {"deff", Word::Deff},
        {"fcharset", Word::Fcharset},
        {"cpg", Word::Cpg},
        {"red", Word::Red},
        {"green", Word::Green},
        {"blue", Word::Blue},
        {"plain", Word::Plain},
        {"b", Word::Bold},
        {"i", Word::Italic},
        {"strike", Word::Strike},
        {"striked", Word::Strike},
        {"ul", Word::Underline},
        {"ulw", Word::UnderlineWord},
        {"uldb", Word::UnderlineDouble},
        {"uld", Word::UnderlineDotted},
        {"ulldash", Word::UnderlineDash},
        {"uldash", Word::UnderlineDash},
        {"uldashd", Word::UnderlineDashDot},
        {"uldashdd", Word::UnderlineDashDotDot},
        {"ulwave", Word::UnderlineWave},
        {"ulhwave", Word::UnderlineWave},
        {"ululdbwave", Word::UnderlineWave},
        {"ulth", Word::UnderlineThick},
        {"ulthd", Word::UnderlineThick},
        {"ulthdash", Word::UnderlineThick},
        {"ulthdashd", Word::UnderlineThick},
        {"ulthdashdd", Word::UnderlineThick},
        {"ulthldash", Word::UnderlineThick},
        {"ulnone", Word::UnderlineNone},
        {"ulc", Word::UnderlineColor},
        {"sub", Word::Sub},
        {"super", Word::Super},
        {"nosupersub", Word::NoSuperSub},
        {"fs", Word::FontSize},
        {"f", Word::FontIndex},
        {"cf", Word::Foreground},
        {"highlight", Word::Background},
        {"cb", Word::Background},
        {"chcbpat", Word::Background},
        {"pard", Word::Pard},
        {"par", Word::Par},
        {"sect", Word::Par},
        {"page", Word::Par},
        {"row", Word::Par},
        {"nestrow", Word::Par},
        {"ql", Word::Left},
        {"qc", Word::Centre},
        {"qr", Word::Right},
        {"qj", Word::Justify},
        {"qd", Word::Justify},
        {"li", Word::LeftIndent},
        {"lin", Word::LeftIndent},
        {"fi", Word::FirstIndent},
        {"ri", Word::RightIndent},
        {"rin", Word::RightIndent},
        {"sb", Word::SpaceBefore},
        {"sa", Word::SpaceAfter},
        {"sl", Word::LineSpacing},
        {"slmult", Word::LineMultiple},
        {"ls", Word::ListOverride},
        {"pnlvlblt", Word::PnBullet},
        {"pnlvlbody", Word::PnBody},
        {"pndec", Word::PnDecimal},
        {"pnlcltr", Word::PnLowerLetter},
        {"pnucltr", Word::PnUpperLetter},
        {"pnlcrm", Word::PnLowerRoman},
        {"pnucrm", Word::PnUpperRoman},
        {"tab", Word::Tab},
        {"line", Word::Line},
        {"cell", Word::Cell},
        {"nestcell", Word::Cell},
        {"emdash", Word::EmDash},
        {"endash", Word::EnDash},
        {"lquote", Word::LeftQuote},
        {"rquote", Word::RightQuote},
        {"ldblquote", Word::LeftDoubleQuote},
        {"rdblquote", Word::RightDoubleQuote},
        {"bullet", Word::Bullet},
        {"emspace", Word::EmSpace},
        {"enspace", Word::EnSpace},
        {"qmspace", Word::QuarterEmSpace},
        {"zwj", Word::ZeroWidthJoiner},
        {"zwnj", Word::ZeroWidthNonJoiner},
        {"zwbo", Word::ZeroWidthBreak},
        {"ltrmark", Word::LeftToRightMark},
        {"rtlmark", Word::RightToLeftMark},
        {"u", Word::Unicode},
        {"uc", Word::UnicodeSkip},
        {"bin", Word::Bin},
        {"pngblip", Word::PngBlip},
        {"jpegblip", Word::JpegBlip},
        {"dibitmap", Word::DiBitmap},
        {"wbitmap", Word::WBitmap},
        {"wmetafile", Word::WMetafile},
        {"emfblip", Word::EmfBlip},
        {"picw", Word::PicW},
        {"pich", Word::PicH},
        {"picwgoal", Word::PicWGoal},
        {"pichgoal", Word::PicHGoal},
        {"picscalex", Word::PicScaleX},
        {"picscaley", Word::PicScaleY},
        {"wbmbitspixel", Word::BitsPerPixel},
        {"wbmwidthbytes", Word::WidthBytes},
        {"objw", Word::ObjW},
        {"objh", Word::ObjH},
        {"objscalex", Word::ObjScaleX},
        {"objscaley", Word::ObjScaleY},
    };
    return table;
}

// The list style of a level's number format (\levelnfc).
int listStyleOfNumbering(int format)
{
    switch (format) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDisc; // bullets, pictures, no number
    }
}

// Indents, spaces and picture sizes beyond 22 inches are clamped.
int twips(int value)
{
    return qBound(-31680, value, 31680);
}

int nearestUnderlineColor(QRgb rgb)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < int(TextFormat::UnderlineColors.size()); ++i) {
        const QRgb c = TextFormat::UnderlineColors[i];
        const int dr = qRed(c) - qRed(rgb), dg = qGreen(c) - qGreen(rgb),
                  db = qBlue(c) - qBlue(rgb);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// The target of a HYPERLINK field instruction, or a null string for other fields.
QString hyperlinkTarget(const QString &instruction)
{
    const QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    QString url, location;
    QString *pending = &url;
    qsizetype i = 9;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\\' && i + 1 < text.size() && text.at(i + 1) != u'"') {
            // a switch: \l names a location; the others carry no part of the target
            pending = text.at(i + 1) == u'l' ? &location : nullptr;
            i += 2;
        } else {
            QString argument;
            if (c == u'"') {
                for (++i; i < text.size() && text.at(i) != u'"'; ++i) {
                    if (text.at(i) == u'\\' && i + 1 < text.size())
                        ++i;
                    argument += text.at(i);
                }
                ++i;
            } else {
                for (; i < text.size() && !text.at(i).isSpace(); ++i)
                    argument += text.at(i);
            }
            if (pending && pending->isEmpty())
                *pending = argument;
            pending = &url;
        }
    }
    if (!location.isEmpty())
        url += u'#' + location;
    return url.isNull() ? QStringLiteral("") : url;
}

class Parser
{
public:
    Parser(QByteArrayView data, RtfContent *content)
        : m_tokens(data)
        , m_data(data)
        , m_content(content)
    {
        m_content->text.resize(data.size() + 16);
        m_out = reinterpret_cast<char16_t *>(m_content->text.data());
    }

    bool run(QString *error);

private:
    GroupState &top() { return m_stack.back(); }
    bool fail(const QString &message);

    bool beginGroup();
    void endGroup(qsizetype offset);
    bool skipGroup();
    bool controlWord(const RtfToken &token);
    void controlSymbol(char symbol);
    void textBytes(QByteArrayView bytes);
    void hexByte(uchar byte);
    void unicode(int value);
    void destination(Word word);
    void pnWord(Word word);

    int codePage();
    void ensureCapacity(qsizetype count);
    void beginText();
    void closeRun();
    void put(char16_t c);
    void flushPending();
    void finishParagraph(bool terminated);
    void addObject(RtfContent::Object object);
    void finishPicture(const GroupState &group, qsizetype end);
    void finishObject(const GroupState &group, qsizetype end);
    QByteArray rawGroup(const GroupState &group, qsizetype end) const;
    int linkOfField(int field);
    QColor color(int index) const;
    void buildFormats();

    RtfTokenizer m_tokens;
    QByteArrayView m_data;
    RtfContent *m_content;
    QString m_error;
    std::vector<GroupState> m_stack;
    bool m_done = false;
    bool m_starred = false;
    qsizetype m_wordOffset = 0; // of the control word being handled
    int m_skip = 0;             // fallback bytes still to skip after \uN

    int m_ansiCodePage = CodePage::System;
    int m_defaultFont = -1;
    std::unordered_map<int, Font> m_fonts;
    int m_fontEntry = -1;
    bool m_fontNameDone = false;
    int m_lastFont = INT_MIN; // code page cache
    int m_lastAnsiCodePage = 0;
    int m_lastCodePage = CodePage::System;
    const CodePage::Table *m_table = nullptr; // of m_lastCodePage
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorGiven = false;

    // Lists defined in \listtable: styles by \listid, list ids by \ls.
    std::unordered_map<int, int> m_listStyles;
    std::unordered_map<int, int> m_overrides;
    int m_listLevel = -1;
    int m_listStyle = QTextListFormat::ListDisc;
    int m_overrideList = INT_MIN;

    std::vector<RtfPicture> m_pictures;
    qint64 m_imageBudget = RtfParser::MaxImageBytes;
    std::vector<ObjectInProgress> m_objects;
    std::vector<QString> m_fields;
    std::vector<QString> m_links;

    char16_t *m_out;
    qsizetype m_length = 0;
    QByteArray m_pending; // bytes of a multi-byte code page awaiting decoding
    int m_pendingCodePage = 0;
    bool m_runOpen = false;
    CharState m_runState;
    int m_paragraphFirstRun = 0;
    QHash<CharState, int> m_styleIndex;
    std::vector<CharState> m_styles;
    QHash<ParaState, int> m_paraIndex;
    std::vector<ParaState> m_paras;

    int styleIndex(const CharState &state);
    int paraIndex(const ParaState &state);
};

bool Parser::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool Parser::run(QString *error)
{
    RtfToken token;
    while (!m_done && m_tokens.next(token)) {
        if (token.type != RtfToken::Text && token.type != RtfToken::HexByte)
            flushPending();
        const bool starred = m_starred;
        m_starred = false;
        switch (token.type) {
        case RtfToken::GroupStart:
            if (!beginGroup()) {
                *error = m_error;
                return false;
            }
            break;
        case RtfToken::GroupEnd:
            endGroup(token.offset);
            break;
        case RtfToken::ControlWord: {
            if (m_stack.empty())
                break;
            if (starred) {
                // An ignorable destination: read only those this reader knows.
                const std::optional<Word> word = words().find(token.text);
                const bool known = word == Word::Fldinst || word == Word::Pn
                                   || word == Word::Shppict || word == Word::ListTableWord
                                   || word == Word::ListOverrideTableWord;
                if (!known) {
                    if (!skipGroup()) {
                        *error = m_error;
                        return false;
                    }
                    break;
                }
            }
            m_wordOffset = token.offset;
            if (!controlWord(token)) {
                *error = m_error;
                return false;
            }
            break;
        }
        case RtfToken::ControlSymbol:
            if (!m_stack.empty())
                controlSymbol(token.symbol);
            break;
        case RtfToken::HexByte:
            if (!m_stack.empty())
                hexByte(token.byte);
            break;
        case RtfToken::Text:
            if (!m_stack.empty())
                textBytes(token.text);
            break;
        }
    }
    if (!m_done) {
        *error = QStringLiteral("The RTF document is truncated: %1 of its groups are not closed.")
                     .arg(m_stack.size());
        return false;
    }
    m_content->text.resize(m_length);
    buildFormats();
    return true;
}

bool Parser::beginGroup()
{
    m_skip = 0;
    if (m_stack.size() >= size_t(RtfParser::MaxDepth))
        return fail(QStringLiteral("The RTF document nests groups deeper than %1 levels.")
                        .arg(RtfParser::MaxDepth));
    if (m_stack.empty()) {
        m_stack.emplace_back();
    } else {
        m_stack.push_back(m_stack.back());
        GroupState &group = m_stack.back();
        group.opens = Opens::None;
        group.pnList = 0;
    }
    return true;
}

void Parser::endGroup(qsizetype offset)
{
    m_skip = 0;
    if (m_stack.empty())
        return;
    if (m_stack.size() == 1) {
        finishParagraph(false); // the document ends
        m_stack.pop_back();
        m_done = true;
        return;
    }
    const GroupState closing = m_stack.back();
    m_stack.pop_back();
    switch (closing.opens) {
    case Opens::Picture:
        finishPicture(closing, offset + 1);
        break;
    case Opens::Object:
        finishObject(closing, offset + 1);
        break;
    case Opens::Pn:
        if (closing.pnList)
            top().para.list = closing.pnList;
        break;
    case Opens::None:
        break;
    }
    if (closing.dest == Dest::FontTable && m_fontEntry >= 0)
        m_fontNameDone = true;
}

bool Parser::skipGroup()
{
    if (!m_tokens.skipGroup())
        return fail(QStringLiteral("The RTF document is truncated inside an ignored group."));
    if (m_stack.size() == 1)
        finishParagraph(false);
    m_stack.pop_back();
    if (m_stack.empty())
        m_done = true;
    return true;
}

void Parser::destination(Word word)
{
    GroupState &group = top();
    switch (word) {
    case Word::Fonttbl:
        group.dest = Dest::FontTable;
        break;
    case Word::Colortbl:
        group.dest = Dest::ColorTable;
        m_colorGiven = false;
        m_red = m_green = m_blue = 0;
        break;
    case Word::Pict:
        if (group.opens != Opens::None)
            break; // one picture or object per group
        group.previewOf = group.dest == Dest::ObjectResult ? group.object : -1;
        group.dest = Dest::Picture;
        group.opens = Opens::Picture;
        group.start = m_wordOffset;
        group.picture = int(m_pictures.size());
        m_pictures.emplace_back();
        break;
    case Word::Object:
        if (group.opens != Opens::None)
            break;
        group.dest = Dest::Object;
        group.opens = Opens::Object;
        group.start = m_wordOffset;
        group.object = int(m_objects.size());
        m_objects.emplace_back();
        break;
    case Word::Result:
        if (group.dest == Dest::Object)
            group.dest = Dest::ObjectResult;
        break;
    case Word::Field:
        group.field = int(m_fields.size());
        m_fields.emplace_back();
        break;
    case Word::Fldinst:
        if (group.field >= 0 && group.dest == Dest::Normal)
            group.dest = Dest::FieldInstruction;
        break;
    case Word::Fldrslt:
        if (group.field >= 0 && group.dest == Dest::Normal) {
            const int link = linkOfField(group.field);
            if (link >= 0)
                group.chr.link = link;
        }
        break;
    case Word::Pn:
        group.dest = Dest::Pn;
        group.opens = Opens::Pn;
        break;
    default:
        break;
    }
}

void Parser::pnWord(Word word)
{
    GroupState &group = top();
    if (group.dest != Dest::Pn)
        return;
    switch (word) {
    case Word::PnBullet:
        group.pnList = QTextListFormat::ListDisc;
        break;
    case Word::PnBody:
        if (!group.pnList)
            group.pnList = QTextListFormat::ListDecimal;
        break;
    case Word::PnDecimal:
        group.pnList = QTextListFormat::ListDecimal;
        break;
    case Word::PnLowerLetter:
        group.pnList = QTextListFormat::ListLowerAlpha;
        break;
    case Word::PnUpperLetter:
        group.pnList = QTextListFormat::ListUpperAlpha;
        break;
    case Word::PnLowerRoman:
        group.pnList = QTextListFormat::ListLowerRoman;
        break;
    case Word::PnUpperRoman:
        group.pnList = QTextListFormat::ListUpperRoman;
        break;
    default:
        break;
    }
}

bool Parser::controlWord(const RtfToken &token)
{
    const std::optional<Word> found = words().find(token.text);
    if (!found) {
        if (m_skip > 0)
            --m_skip;
        return true; // unknown words are skipped
    }
    const Word word = *found;
    const int param = token.param;
    const bool on = !token.hasParam || param != 0;
    GroupState &group = top();
    CharState &chr = group.chr;
    ParaState &para = group.para;
    RtfPicture *picture = group.dest == Dest::Picture ? &m_pictures[group.picture] : nullptr;
    ObjectInProgress *object = group.dest == Dest::Object ? &m_objects[group.object] : nullptr;
    switch (word) {
    case Word::Fonttbl:
    case Word::Colortbl:
    case Word::Pict:
    case Word::Object:
    case Word::Result:
    case Word::Field:
    case Word::Fldinst:
    case Word::Fldrslt:
    case Word::Pn:
        destination(word);
        break;
    case Word::ListTableWord:
        group.dest = Dest::ListTable;
        break;
    case Word::ListOverrideTableWord:
        group.dest = Dest::ListOverrides;
        break;
    case Word::ListDefinition:
        m_listLevel = -1;
        m_listStyle = QTextListFormat::ListDisc;
        break;
    case Word::ListLevel:
        ++m_listLevel;
        break;
    case Word::LevelNumbering:
        if (m_listLevel == 0)
            m_listStyle = listStyleOfNumbering(param);
        break;
    case Word::ListId:
        if (group.dest == Dest::ListTable)
            m_listStyles[param] = m_listStyle;
        else if (group.dest == Dest::ListOverrides)
            m_overrideList = param;
        break;
    case Word::ListOverrideEntry:
        m_overrideList = INT_MIN;
        break;
    case Word::Shppict:
        break; // its picture is read like any other
    case Word::SkipGroup:
        return skipGroup();
    case Word::Ansicpg:
        if (param > 0)
            m_ansiCodePage = param;
        break;
    case Word::Ansi:
        m_ansiCodePage = CodePage::System;
        break;
    case Word::Mac:
        m_ansiCodePage = 10000;
        break;
    case Word::Pc:
        m_ansiCodePage = 437;
        break;
    case Word::Pca:
        m_ansiCodePage = 850;
        break;
    case Word::Deff:
        m_defaultFont = param;
        break;
    case Word::FontIndex:
        if (group.dest == Dest::FontTable) {
            m_fontEntry = param;
            m_fonts[param] = Font();
            m_fontNameDone = false;
        } else {
            chr.font = param;
        }
        break;
    case Word::Fcharset:
        if (group.dest == Dest::FontTable && m_fontEntry >= 0)
            m_fonts[m_fontEntry].charset = param;
        break;
    case Word::Cpg:
        if (group.dest == Dest::FontTable && m_fontEntry >= 0)
            m_fonts[m_fontEntry].codePage = param;
        break;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        if (group.dest == Dest::ColorTable) {
            (word == Word::Red     ? m_red
             : word == Word::Green ? m_green
                                   : m_blue)
                = qBound(0, param, 255);
            m_colorGiven = true;
        }
        break;
    case Word::Plain: {
        const int link = chr.link;
        chr = CharState();
        chr.link = link;
        break;
    }
    case Word::Bold:
        chr.bold = on;
        break;
    case Word::Italic:
        chr.italic = on;
        break;
    case Word::Strike:
        chr.strike = on;
        break;
    case Word::Underline:
    case Word::UnderlineWord:
    case Word::UnderlineDouble:
    case Word::UnderlineDotted:
    case Word::UnderlineDash:
    case Word::UnderlineDashDot:
    case Word::UnderlineDashDotDot:
    case Word::UnderlineWave:
    case Word::UnderlineThick:
        chr.underline = on ? quint8(int(word) - int(Word::Underline) + 1) : 0;
        break;
    case Word::UnderlineNone:
        chr.underline = 0;
        break;
    case Word::UnderlineColor:
        chr.underlineColor = qMax(param, 0);
        break;
    case Word::Sub:
        chr.script = on ? 1 : 0;
        break;
    case Word::Super:
        chr.script = on ? 2 : 0;
        break;
    case Word::NoSuperSub:
        chr.script = 0;
        break;
    case Word::FontSize:
        chr.halfPoints = !token.hasParam ? 24 : param <= 0 ? 0 : qMin(param, 3276);
        break;
    case Word::Foreground:
        chr.foreground = qMax(param, 0);
        break;
    case Word::Background:
        chr.background = qMax(param, 0);
        break;
    case Word::Pard:
        para = ParaState();
        break;
    case Word::Par:
        if (group.dest == Dest::Normal)
            finishParagraph(true);
        break;
    case Word::Left:
    case Word::Centre:
    case Word::Right:
    case Word::Justify:
        para.alignment = int(word) - int(Word::Left);
        break;
    case Word::LeftIndent:
        para.left = twips(param);
        break;
    case Word::FirstIndent:
        para.first = twips(param);
        break;
    case Word::RightIndent:
        para.right = twips(param);
        break;
    case Word::SpaceBefore:
        para.before = twips(param);
        break;
    case Word::SpaceAfter:
        para.after = twips(param);
        break;
    case Word::LineSpacing:
        para.lineSpacing = twips(param);
        break;
    case Word::LineMultiple:
        para.lineMultiple = on;
        break;
    case Word::ListOverride:
        if (group.dest == Dest::ListOverrides) {
            m_overrides[param] = m_overrideList;
        } else if (param <= 0) {
            para.list = 0;
        } else {
            // The style of the list's first level; a list not defined is bulleted.
            const auto override = m_overrides.find(param);
            const auto list = override == m_overrides.end() ? m_listStyles.end()
                                                            : m_listStyles.find(override->second);
            para.list = list == m_listStyles.end() ? QTextListFormat::ListDisc : list->second;
        }
        break;
    case Word::PnBullet:
    case Word::PnBody:
    case Word::PnDecimal:
    case Word::PnLowerLetter:
    case Word::PnUpperLetter:
    case Word::PnLowerRoman:
    case Word::PnUpperRoman:
        pnWord(word);
        break;
    case Word::Tab:
    case Word::Cell:
        put(u'\t');
        break;
    case Word::Line:
        put(QChar::LineSeparator);
        break;
    case Word::EmDash:
        put(0x2014);
        break;
    case Word::EnDash:
        put(0x2013);
        break;
    case Word::LeftQuote:
        put(0x2018);
        break;
    case Word::RightQuote:
        put(0x2019);
        break;
    case Word::LeftDoubleQuote:
        put(0x201C);
        break;
    case Word::RightDoubleQuote:
        put(0x201D);
        break;
    case Word::Bullet:
        put(0x2022);
        break;
    case Word::EmSpace:
        put(0x2003);
        break;
    case Word::EnSpace:
        put(0x2002);
        break;
    case Word::QuarterEmSpace:
        put(0x2005);
        break;
    case Word::ZeroWidthJoiner:
        put(0x200D);
        break;
    case Word::ZeroWidthNonJoiner:
        put(0x200C);
        break;
    case Word::ZeroWidthBreak:
        put(0x200B);
        break;
    case Word::LeftToRightMark:
        put(0x200E);
        break;
    case Word::RightToLeftMark:
        put(0x200F);
        break;
    case Word::Unicode:
        unicode(param);
        break;
    case Word::UnicodeSkip:
        group.uc = qBound(0, param, 10);
        break;
    case Word::Bin: {
        QByteArrayView bytes;
        if (!m_tokens.takeBinary(param, &bytes))
            return fail(QStringLiteral("The RTF document is truncated inside binary data."));
        if (picture)
            picture->data.append(bytes);
        break;
    }
    case Word::PngBlip:
    case Word::JpegBlip:
    case Word::DiBitmap:
    case Word::WBitmap:
    case Word::WMetafile:
    case Word::EmfBlip:
        if (picture)
            picture->kind = RtfPicture::Kind(int(word) - int(Word::PngBlip) + RtfPicture::Png);
        break;
    case Word::PicW:
    case Word::PicH:
    case Word::PicWGoal:
    case Word::PicHGoal:
    case Word::PicScaleX:
    case Word::PicScaleY:
    case Word::BitsPerPixel:
    case Word::WidthBytes:
        if (picture) {
            int *fields[] = {&picture->width,        &picture->height,    &picture->goalWidth,
                             &picture->goalHeight,   &picture->scaleX,    &picture->scaleY,
                             &picture->bitsPerPixel, &picture->widthBytes};
            *fields[int(word) - int(Word::PicW)] = qMax(0, param);
        }
        break;
    case Word::ObjW:
    case Word::ObjH:
    case Word::ObjScaleX:
    case Word::ObjScaleY:
        if (object) {
            int *fields[] = {&object->width, &object->height, &object->scaleX, &object->scaleY};
            *fields[int(word) - int(Word::ObjW)] = qBound(0, param, 31680);
        }
        break;
    }
    return true;
}

void Parser::controlSymbol(char symbol)
{
    switch (symbol) {
    case '*':
        m_starred = true;
        break;
    case '\\':
    case '{':
    case '}':
        textBytes(QByteArrayView(&symbol, 1));
        break;
    case '~':
        put(0x00A0);
        break;
    case '_':
        put(0x2011);
        break;
    case '-':
        put(0x00AD);
        break;
    case '\t':
        put(u'\t');
        break;
    case '\r':
    case '\n':
        if (top().dest == Dest::Normal)
            finishParagraph(true);
        break;
    default:
        break;
    }
}

int Parser::codePage()
{
    const int font = top().chr.font >= 0 ? top().chr.font : m_defaultFont;
    if (font == m_lastFont && m_ansiCodePage == m_lastAnsiCodePage)
        return m_lastCodePage;
    int codePage = m_ansiCodePage;
    const auto it = m_fonts.find(font);
    if (it != m_fonts.end()) {
        if (it->second.codePage > 0)
            codePage = it->second.codePage;
        else if (it->second.charset >= 0)
            codePage = CodePage::fromCharset(it->second.charset, m_ansiCodePage);
    }
    m_lastFont = font;
    m_lastAnsiCodePage = m_ansiCodePage;
    m_lastCodePage = codePage;
    m_table = &CodePage::table(codePage);
    return codePage;
}

void Parser::ensureCapacity(qsizetype count)
{
    QString &text = m_content->text;
    if (m_length + count <= text.size())
        return;
    text.resize(qMax(text.size() * 2, m_length + count));
    m_out = reinterpret_cast<char16_t *>(text.data());
}

void Parser::beginText()
{
    const CharState &state = top().chr;
    if (m_runOpen && state == m_runState)
        return;
    closeRun();
    m_runState = state;
    m_content->runs.push_back({m_length, 0, styleIndex(state)});
    m_runOpen = true;
}

void Parser::closeRun()
{
    if (!m_runOpen)
        return;
    m_runOpen = false;
    RtfContent::Run &run = m_content->runs.back();
    run.length = m_length - run.start;
    if (run.length == 0)
        m_content->runs.pop_back();
}

void Parser::put(char16_t c)
{
    switch (top().dest) {
    case Dest::Normal:
        beginText();
        ensureCapacity(1);
        m_out[m_length++] = c;
        break;
    case Dest::FieldInstruction:
        m_fields[top().field] += QChar(c);
        break;
    default:
        break;
    }
}

void Parser::textBytes(QByteArrayView bytes)
{
    if (m_skip > 0) {
        const qsizetype skipped = qMin<qsizetype>(m_skip, bytes.size());
        m_skip -= int(skipped);
        bytes = bytes.sliced(skipped);
        if (bytes.isEmpty())
            return;
    }
    GroupState &group = top();
    switch (group.dest) {
    case Dest::Normal: {
        const int page = codePage();
        if (CodePage::isMultiByte(page)) {
            if (!m_pending.isEmpty() && m_pendingCodePage != page)
                flushPending();
            m_pendingCodePage = page;
            m_pending.append(bytes);
            return;
        }
        beginText();
        ensureCapacity(bytes.size());
        const CodePage::Table &table = *m_table;
        char16_t *out = m_out + m_length;
        for (const char byte : bytes) {
            const uchar c = uchar(byte);
            if (c >= 0x20)
                *out++ = table[c];
            else if (c == '\t')
                *out++ = u'\t';
        }
        m_length = out - m_out;
        break;
    }
    case Dest::FontTable:
        if (m_fontEntry >= 0 && !m_fontNameDone) {
            const qsizetype end = bytes.indexOf(';');
            m_fonts[m_fontEntry].name.append(end < 0 ? bytes : bytes.first(end));
            m_fontNameDone = end >= 0;
        }
        break;
    case Dest::ColorTable:
        for (const char c : bytes) {
            if (c != ';')
                continue;
            m_colors.push_back(m_colorGiven ? QColor(m_red, m_green, m_blue) : QColor());
            m_colorGiven = false;
            m_red = m_green = m_blue = 0;
        }
        break;
    case Dest::FieldInstruction:
        m_fields[group.field] += CodePage::decode(bytes, codePage());
        break;
    case Dest::Picture:
        m_pictures[group.picture].addHex(bytes);
        break;
    default:
        break;
    }
}

void Parser::hexByte(uchar byte)
{
    const char c = char(byte);
    if (top().dest == Dest::Picture)
        return;
    if (top().dest == Dest::Normal && byte < 0x20) {
        if (m_skip > 0)
            --m_skip;
        return;
    }
    textBytes(QByteArrayView(&c, 1));
}

void Parser::unicode(int value)
{
    m_skip = top().uc;
    if (value < 0)
        value += 65536;
    if (value == u'\n' || value == u'\r' || value == 0x2029) {
        if (top().dest == Dest::Normal)
            finishParagraph(true);
        return;
    }
    if (value < 0x20 && value != u'\t')
        return;
    if (value == QChar::ObjectReplacementCharacter || value > 0x10FFFF) {
        put(QChar::ReplacementCharacter);
    } else if (value > 0xFFFF) {
        put(QChar::highSurrogate(char32_t(value)));
        put(QChar::lowSurrogate(char32_t(value)));
    } else {
        put(char16_t(value));
    }
}

void Parser::flushPending()
{
    if (m_pending.isEmpty())
        return;
    const QString text = CodePage::decode(m_pending, m_pendingCodePage);
    m_pending.clear();
    beginText();
    ensureCapacity(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == u'\t')
            m_out[m_length++] = c.unicode();
    }
}

void Parser::finishParagraph(bool terminated)
{
    closeRun();
    const int runs = int(m_content->runs.size());
    m_content->paragraphs.push_back({paraIndex(top().para), styleIndex(top().chr),
                                     m_paragraphFirstRun, runs - m_paragraphFirstRun, terminated});
    m_paragraphFirstRun = runs;
}

void Parser::addObject(RtfContent::Object object)
{
    closeRun();
    ensureCapacity(1);
    m_out[m_length] = QChar::ObjectReplacementCharacter;
    m_content->runs.push_back({m_length, 1, styleIndex(top().chr), int(m_content->objects.size())});
    ++m_length;
    m_content->objects.push_back(std::move(object));
}

void Parser::finishPicture(const GroupState &group, qsizetype end)
{
    RtfPicture &picture = m_pictures[group.picture];
    if (group.previewOf >= 0) {
        // A picture in an object's result shows what the object looks like.
        ObjectInProgress &object = m_objects[group.previewOf];
        if (object.preview.isNull()) {
            object.preview = picture.decode(&m_imageBudget);
            if (object.preview.isNull())
                object.preview = picture.preview(&m_imageBudget);
        }
    } else if (top().dest == Dest::Normal) {
        RtfContent::Object object;
        QImage image = picture.decode(&m_imageBudget);
        if (image.isNull()) {
            object.raw = rawGroup(group, end);
            object.preview = picture.preview(&m_imageBudget);
            object.size = picture.displaySize(object.preview);
        } else {
            object.size = picture.displaySize(image);
            object.image = std::move(image);
        }
        addObject(std::move(object));
    }
    picture = RtfPicture(); // its data is no longer needed
}

void Parser::finishObject(const GroupState &group, qsizetype end)
{
    ObjectInProgress &progress = m_objects[group.object];
    if (top().dest != Dest::Normal)
        return;
    RtfContent::Object object;
    object.raw = rawGroup(group, end);
    object.preview = progress.preview;
    object.size = QSizeF(TextFormat::twipsToUnits(progress.width) * progress.scaleX / 100.0,
                         TextFormat::twipsToUnits(progress.height) * progress.scaleY / 100.0);
    if (object.size.isEmpty() && !object.preview.isNull())
        object.size = object.preview.size();
    progress.preview = QImage();
    addObject(std::move(object));
}

QByteArray Parser::rawGroup(const GroupState &group, qsizetype end) const
{
    // From the opening word on: text or formatting before it in the same
    // group is read as part of the document already.
    return '{' + m_data.sliced(group.start, end - group.start).toByteArray();
}

int Parser::linkOfField(int field)
{
    const QString target = hyperlinkTarget(m_fields[field]);
    if (target.isNull())
        return -1;
    m_links.push_back(target);
    return int(m_links.size()) - 1;
}

int Parser::styleIndex(const CharState &state)
{
    const auto it = m_styleIndex.constFind(state);
    if (it != m_styleIndex.constEnd())
        return it.value();
    const int index = int(m_styles.size());
    m_styles.push_back(state);
    m_styleIndex.insert(state, index);
    return index;
}

int Parser::paraIndex(const ParaState &state)
{
    const auto it = m_paraIndex.constFind(state);
    if (it != m_paraIndex.constEnd())
        return it.value();
    const int index = int(m_paras.size());
    m_paras.push_back(state);
    m_paraIndex.insert(state, index);
    return index;
}

QColor Parser::color(int index) const
{
    return index >= 0 && size_t(index) < m_colors.size() ? m_colors[index] : QColor();
}

void Parser::buildFormats()
{
    std::unordered_map<int, QString> fontNames;
    for (const auto &[id, font] : m_fonts) {
        const int page = font.codePage > 0 ? font.codePage
                                           : CodePage::fromCharset(font.charset, m_ansiCodePage);
        fontNames[id] = CodePage::decode(font.name, page).trimmed();
    }
    m_content->charFormats.reserve(m_styles.size());
    for (const CharState &s : m_styles) {
        QTextCharFormat format;
        const auto font = fontNames.find(s.font >= 0 ? s.font : m_defaultFont);
        if (font != fontNames.end() && !font->second.isEmpty()) {
            format.setFontFamilies({font->second});
        }
        if (s.halfPoints > 0)
            format.setFontPointSize(s.halfPoints / 2.0);
        if (s.bold)
            format.setFontWeight(QFont::Bold);
        if (s.italic)
            format.setFontItalic(true);
        if (s.strike)
            format.setFontStrikeOut(true);
        if (s.underline) {
            static constexpr QTextCharFormat::UnderlineStyle styles[] = {
                QTextCharFormat::NoUnderline,     QTextCharFormat::SingleUnderline,
                QTextCharFormat::SingleUnderline, QTextCharFormat::SingleUnderline,
                QTextCharFormat::DotLine,         QTextCharFormat::DashUnderline,
                QTextCharFormat::DashDotLine,     QTextCharFormat::DashDotDotLine,
                QTextCharFormat::WaveUnderline,   QTextCharFormat::SingleUnderline,
            };
            format.setUnderlineStyle(styles[s.underline]);
            format.setProperty(TextFormat::UnderlineType, int(s.underline));
        }
        const QColor underlineColor = color(s.underlineColor);
        if (underlineColor.isValid()) {
            format.setUnderlineColor(underlineColor);
            format.setProperty(TextFormat::UnderlineColorIndex,
                               nearestUnderlineColor(underlineColor.rgb()));
        }
        if (const QColor c = color(s.foreground); s.foreground > 0 && c.isValid())
            format.setForeground(c);
        if (const QColor c = color(s.background); s.background > 0 && c.isValid())
            format.setBackground(c);
        if (s.script)
            format.setVerticalAlignment(s.script == 1 ? QTextCharFormat::AlignSubScript
                                                      : QTextCharFormat::AlignSuperScript);
        if (s.link >= 0) {
            format.setAnchor(true);
            format.setAnchorHref(m_links[s.link]);
        }
        m_content->charFormats.push_back(format);
    }
    for (const ParaState &p : m_paras) {
        QTextBlockFormat format;
        static constexpr Qt::Alignment alignments[]
            = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
        if (p.alignment)
            format.setAlignment(alignments[p.alignment]);
        if (p.left)
            format.setLeftMargin(TextFormat::twipsToUnits(p.left));
        if (p.first)
            format.setTextIndent(TextFormat::twipsToUnits(p.first));
        if (p.right)
            format.setRightMargin(TextFormat::twipsToUnits(p.right));
        if (p.before)
            format.setTopMargin(TextFormat::twipsToUnits(p.before));
        if (p.after)
            format.setBottomMargin(TextFormat::twipsToUnits(p.after));
        if (p.lineSpacing > 0 && p.lineMultiple)
            format.setLineHeight(p.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing > 0)
            format.setLineHeight(TextFormat::twipsToUnits(p.lineSpacing),
                                 QTextBlockFormat::MinimumHeight);
        else if (p.lineSpacing < 0)
            format.setLineHeight(TextFormat::twipsToUnits(-p.lineSpacing),
                                 QTextBlockFormat::FixedHeight);
        m_content->blockFormats.push_back(format);
        m_content->listStyles.push_back(p.list);
    }
}

} // namespace

bool RtfParser::parse(QByteArrayView data, RtfContent *content, QString *error)
{
    Parser parser(data, content);
    return parser.run(error);
}
