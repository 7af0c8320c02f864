#include "richtext/rtfparser.h"

#include "richtext/codepage.h"
#include "richtext/rtfpicture.h"
#include "richtext/rtfrowreader.h"
#include "richtext/rtftokenizer.h"
#include "richtext/rtfword.h"
#include "richtext/textattributes.h"
#include "richtext/textformat.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPen>
#include <QTextListFormat>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <utility>
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
    StyleSheet,
    ListText,     // the number or bullet of a list paragraph, as text
    LevelText,    // a list level's label: its length, its text, the levels' numbers
    PnTextBefore, // the text before an old-style paragraph number
    PnTextAfter,  // and after it
};

// Which characters the text that follows holds (\loch, \hich, \dbch): \af names the font of
// the low-ANSI ones.
enum class CharClass : quint8 { Any, LowAnsi, HighAnsi, DoubleByte };

enum class Opens : quint8 { None, Picture, Object, Pn };

struct CharState
{
    int font = -1;
    int halfPoints = 0; // 0: the document's default size
    int foreground = 0; // colour table index; 0 is automatic
    int background = 0;
    int underlineColor = -1;
    int link = -1;
    int offset = 0;       // half-points above the baseline (\up), below when negative (\dn)
    quint8 underline = 0; // TextFormat::UnderlineType value
    quint8 script = 0;    // 1 subscript, 2 superscript
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;
    bool outline = false;

    bool operator==(const CharState &) const = default;
};

size_t qHash(const CharState &s, size_t seed = 0)
{
    return qHashMulti(seed, s.font, s.halfPoints, s.foreground, s.background, s.underlineColor,
                      s.link, s.offset, s.underline, s.script, s.bold, s.italic, s.strike, s.hidden,
                      s.caps, s.smallCaps, s.outline);
}

// A style of the stylesheet sets what differs from the defaults and leaves
// the rest as the text has it.
template <class T>
void take(T &to, const T &from, const T &unset)
{
    if (from != unset)
        to = from;
}

void overlay(CharState &target, const CharState &style)
{
    const CharState none;
    take(target.font, style.font, none.font);
    take(target.halfPoints, style.halfPoints, none.halfPoints);
    take(target.foreground, style.foreground, none.foreground);
    take(target.background, style.background, none.background);
    take(target.underlineColor, style.underlineColor, none.underlineColor);
    take(target.offset, style.offset, none.offset);
    take(target.underline, style.underline, none.underline);
    take(target.script, style.script, none.script);
    take(target.bold, style.bold, none.bold);
    take(target.italic, style.italic, none.italic);
    take(target.strike, style.strike, none.strike);
    take(target.hidden, style.hidden, none.hidden);
    take(target.caps, style.caps, none.caps);
    take(target.smallCaps, style.smallCaps, none.smallCaps);
    take(target.outline, style.outline, none.outline);
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
    int list = 0; // index into the parser's list kinds, 0 for none
    // \ls named a list the document does not define: its kind is taken from
    // the paragraph's number as text.
    bool listUndefined = false;
    bool inTable = false;
    quint8 direction = 0; // 1 left to right, 2 right to left
    int tabs = -1;        // index into the parser's lists of tab stops

    bool operator==(const ParaState &) const = default;
};

size_t qHash(const ParaState &s, size_t seed = 0)
{
    return qHashMulti(seed, s.alignment, s.left, s.first, s.right, s.before, s.after, s.lineSpacing,
                      s.lineMultiple, s.list, s.listUndefined, s.inTable, s.direction, s.tabs);
}

void overlay(ParaState &target, const ParaState &style)
{
    const ParaState none;
    take(target.alignment, style.alignment, none.alignment);
    take(target.left, style.left, none.left);
    take(target.first, style.first, none.first);
    take(target.right, style.right, none.right);
    take(target.before, style.before, none.before);
    take(target.after, style.after, none.after);
    take(target.lineSpacing, style.lineSpacing, none.lineSpacing);
    take(target.lineMultiple, style.lineMultiple, none.lineMultiple);
    take(target.direction, style.direction, none.direction);
    take(target.tabs, style.tabs, none.tabs);
}

struct TabStop
{
    int position = 0; // twips
    quint8 type = QTextOption::LeftTab;
    quint8 leader = TextFormat::NoLeader;

    auto operator<=>(const TabStop &) const = default;
};

// What a list paragraph's label looks like.
struct ListKind
{
    int style = 0; // QTextListFormat::Style, 0 for no list
    int start = 1;
    QString prefix;
    QString suffix = QStringLiteral(".");
    QString bullet; // empty for the round one

    static ListKind ofStyle(int style)
    {
        ListKind kind;
        kind.style = style;
        return kind;
    }
    bool operator==(const ListKind &) const = default;
};

size_t qHash(const ListKind &k, size_t seed = 0)
{
    return qHashMulti(seed, k.style, k.start, k.prefix, k.suffix, k.bullet);
}

bool isBulletStyle(int style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
           || style == QTextListFormat::ListSquare;
}

// The bullet of a label, empty for the round bullet in any of its spellings (the Symbol
// font's, which reads as a middle dot, and the one of private use that fonts map it to).
QString bulletOf(const QString &text)
{
    const QString bullet = text.trimmed();
    static const QStringList round
        = {QStringLiteral("\u2022"), QStringLiteral("\u00B7"), QStringLiteral("\uF0B7")};
    return round.contains(bullet) ? QString() : bullet.left(4);
}

struct GroupState
{
    CharState chr;
    ParaState para;
    Dest dest = Dest::Normal;
    Opens opens = Opens::None;
    int uc = 1; // bytes of fallback text after \uN
    CharClass charClass = CharClass::Any;
    qsizetype start = 0;         // offset of the \pict or \object word that opens it
    int picture = -1;            // the picture being read
    int object = -1;             // the object being read
    int previewOf = -1;          // the object whose result picture is being read
    int field = -1;              // the field whose instruction or result this is
    bool pnContinuation = false; // the \pn group's paragraph continues an item: no number
    int style = -1;              // the stylesheet entry this group defines
    int basedOn = -1;            // the entry it is based on
    bool characterStyle = false;
};

struct Style
{
    CharState chr;
    ParaState para;
};

struct Font
{
    QString name;
    QByteArray pendingName; // bytes of the name not yet decoded
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
    case 23:
        return QTextListFormat::ListDisc;
    case 255:
        return 0; // no number
    default:
        return QTextListFormat::ListDecimal; // numbers a note cannot show differently
    }
}

// The list style of a paragraph's number written as text (\listtext).
int listStyleOfText(QByteArrayView text)
{
    text = text.trimmed();
    qsizetype end = 0;
    while (end < text.size() && isalnum(uchar(text[end])))
        ++end;
    const QByteArrayView number = text.first(end);
    if (number.isEmpty())
        return QTextListFormat::ListDisc;
    if (isdigit(uchar(number[0])))
        return QTextListFormat::ListDecimal;
    const bool upper = isupper(uchar(number[0]));
    const bool roman = std::all_of(number.begin(), number.end(), [](char c) {
        return std::strchr("ivxlcdm", tolower(uchar(c))) != nullptr;
    });
    // A single letter is taken as a letter, except i, which starts roman numbering.
    if (roman && (number.size() > 1 || tolower(uchar(number[0])) == 'i'))
        return upper ? QTextListFormat::ListUpperRoman : QTextListFormat::ListLowerRoman;
    return upper ? QTextListFormat::ListUpperAlpha : QTextListFormat::ListLowerAlpha;
}

constexpr int SymbolCharset = 2;

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
    Parser(QByteArrayView data, RtfContent *content, size_t paragraphLimit,
           const RtfParser::BatchSink &sink, RtfParser::Objects objects = RtfParser::Objects::Read)
        : m_tokens(data)
        , m_data(data)
        , m_content(content)
        , m_paragraphLimit(paragraphLimit)
        , m_sink(sink)
        , m_placeholders(objects == RtfParser::Objects::Placeholders)
    {
        m_content->text.resize(data.size() + 16);
        m_out = reinterpret_cast<char16_t *>(m_content->text.data());
        // Runs are reserved too: growing their vector copies it, and a note whose format
        // changes at every word has a run for every few bytes.
        m_content->runs.reserve(size_t(data.size() / 32));
    }

    void run();

private:
    GroupState &top() { return m_stack.back(); }
    bool fail(const QString &message);

    void beginGroup();
    void endGroup(qsizetype offset);
    bool skipGroup();
    bool controlWord(const RtfToken &token);
    // What a control word does: a handler, and the value the table gives it (a character,
    // a kind, a code page). A handler returns false where the document cannot be read on.
    using WordHandler = bool (Parser::*)(const RtfToken &token, int arg);
    struct WordAction
    {
        WordHandler run = nullptr;
        int arg = 0;
    };
    static const WordAction &actionOf(RtfWord word);
    RtfPicture *pictureInProgress();
    ObjectInProgress *objectInProgress();

    // Control word handlers: destinations.
    bool ignore(const RtfToken &, int);
    bool skipDestination(const RtfToken &, int);
    bool destination(const RtfToken &, int dest);
    bool fontTable(const RtfToken &, int);
    bool colorTable(const RtfToken &, int);
    template <int Parser::*Component>
    bool colorComponent(const RtfToken &token, int);
    bool pictureGroup(const RtfToken &, int);
    bool objectGroup(const RtfToken &, int);
    bool objectResult(const RtfToken &, int);
    bool field(const RtfToken &, int);
    bool fieldInstruction(const RtfToken &, int);
    bool fieldResult(const RtfToken &, int);
    bool listDefinition(const RtfToken &, int);
    bool listLevel(const RtfToken &, int);
    bool levelNumbering(const RtfToken &token, int);
    bool levelStartAt(const RtfToken &token, int);
    bool levelText(const RtfToken &, int);
    bool listId(const RtfToken &token, int);
    bool listOverrideEntry(const RtfToken &, int);
    bool listText(const RtfToken &, int);
    bool styleSheet(const RtfToken &, int);
    bool styleWord(const RtfToken &token, int character); // \s, \cs
    bool basedOn(const RtfToken &token, int);
    bool upr(const RtfToken &, int);
    // The document and its fonts.
    bool noUiCompat(const RtfToken &, int);
    bool ansiCodePage(const RtfToken &token, int);
    bool characterSet(const RtfToken &, int codePage);
    bool defaultFont(const RtfToken &token, int);
    bool fontIndex(const RtfToken &token, int);
    bool associatedFont(const RtfToken &token, int);
    bool charClass(const RtfToken &, int charClass);
    bool fontCharset(const RtfToken &token, int);
    bool fontCodePage(const RtfToken &token, int);
    // Characters.
    bool plain(const RtfToken &, int);
    template <bool CharState::*Flag>
    bool charFlag(const RtfToken &token, int);
    template <int CharState::*Index>
    bool colorIndex(const RtfToken &token, int);
    bool underline(const RtfToken &token, int type);
    bool script(const RtfToken &token, int script);
    bool verticalOffset(const RtfToken &token, int direction);
    bool fontSize(const RtfToken &token, int);
    // Paragraphs, their lists and tab stops.
    bool pard(const RtfToken &, int);
    bool par(const RtfToken &, int);
    bool inTable(const RtfToken &, int);
    bool row(const RtfToken &, int);
    bool nestedRow(const RtfToken &, int);
    bool rowWord(const RtfToken &token, int word);
    bool cell(const RtfToken &, int);
    bool nestedCell(const RtfToken &, int);
    bool alignment(const RtfToken &, int alignment);
    template <int ParaState::*Field>
    bool paraTwips(const RtfToken &token, int);
    bool lineMultiple(const RtfToken &token, int);
    bool direction(const RtfToken &, int direction);
    bool listOverride(const RtfToken &token, int);
    bool pnGroup(const RtfToken &, int);
    bool pnStyle(const RtfToken &, int style);
    bool pnBody(const RtfToken &, int);
    bool pnContinuation(const RtfToken &, int);
    bool pnStart(const RtfToken &token, int);
    bool pnFont(const RtfToken &token, int);
    bool pnText(const RtfToken &, int dest);
    bool tabType(const RtfToken &, int type);
    bool tabLeader(const RtfToken &, int leader);
    bool tabPosition(const RtfToken &token, int);
    bool barTab(const RtfToken &, int);
    // Characters named by a word, and binary data.
    bool character(const RtfToken &, int c);
    bool unicodeCharacter(const RtfToken &token, int);
    bool unicodeSkip(const RtfToken &token, int);
    bool binary(const RtfToken &token, int);
    // Pictures and objects.
    bool pictureKind(const RtfToken &, int kind);
    template <int RtfPicture::*Field>
    bool pictureSize(const RtfToken &token, int);
    template <int ObjectInProgress::*Field>
    bool objectSize(const RtfToken &token, int);
    void controlSymbol(char symbol);
    void textBytes(QByteArrayView bytes);
    void hexByte(uchar byte);
    void unicode(int value);
    void endStyleEntry(const GroupState &entry);

    int codePage();
    void ensureCapacity(qsizetype count);
    void beginText();
    void closeRun();
    void put(char16_t c);
    void flushPending();
    void finishParagraph(bool terminated, RtfContent::InTable inTable = RtfContent::InTable::No);
    void endRow();
    void closeRow();
    void addObject(RtfContent::Object object);
    void finishPicture(const GroupState &group, qsizetype end);
    void finishObject(const GroupState &group, qsizetype end);
    QByteArray rawGroup(const GroupState &group, qsizetype end) const;
    int linkOfField(int field);
    // The bytes of the font's name read since its last \u, decoded.
    QString decodedName(Font &font) const;
    int codePageOfName(const Font &font) const;
    QColor color(int index) const;
    // Appends the formats of the character and paragraph states from the given ones on.
    void appendFormats(RtfContent &to, size_t firstStyle, size_t firstPara) const;
    void handOver();

    RtfTokenizer m_tokens;
    QByteArrayView m_data;
    RtfContent *m_content;
    size_t m_paragraphLimit;
    const RtfParser::BatchSink &m_sink;
    const bool m_placeholders; // pictures and objects are neither decoded nor copied
    // Objects and formats handed over to the sink so far.
    size_t m_sentObjects = 0, m_sentStyles = 0, m_sentParas = 0;
    // The first batches are small, so that the document is begun early.
    size_t m_batchParagraphs = 16;
    std::vector<GroupState> m_stack;
    int m_flattened = 0; // groups open beyond RtfParser::MaxDepth
    bool m_done = false;
    bool m_starred = false;
    bool m_uprOpened = false;   // \upr was the last token
    bool m_groupBegins = false; // a group was opened by the last token
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

    // Every kind of list label met, once; the first is no list at all.
    std::vector<ListKind> m_listKinds{ListKind()};
    QHash<ListKind, int> m_listKindIndex{{ListKind(), 0}};
    // Lists defined in \listtable: kinds by \listid, list ids by \ls.
    std::unordered_map<int, int> m_listStyles;
    std::unordered_map<int, int> m_overrides;
    int m_listLevel = -1;
    ListKind m_levelKind; // of the first level of the list being defined
    QString m_levelText;
    int m_levelFont = -1;
    int m_overrideList = INT_MIN;
    QByteArray m_listText;   // of the \listtext group being read
    int m_listTextStyle = 0; // the kind its text shows, for the paragraph's \ls
    ListKind m_pnKind;       // of the \pn group being read
    int m_pnFont = -1;       // the font of its text

    // Every list of tab stops met, once, as the list before its last stop and that stop: each
    // \tx costs the same, however many stops come before it.
    struct TabList
    {
        int before; // index, -1 for none
        TabStop last;
        int size;
    };
    std::vector<TabList> m_tabLists;
    std::map<std::pair<int, TabStop>, int> m_tabListIndex;
    TabStop m_nextTab; // the kind and leader of the next \tx

    std::unordered_map<int, Style> m_paragraphStyles; // the stylesheet by \s
    std::unordered_map<int, Style> m_characterStyles; // by \cs
    // Size of text without \fs: RTF's 12 pt, except in the rich-edit control's
    // documents, whose paragraph marks leave the size to the editor.
    int m_unsizedHalfPoints = 24;
    int m_cellTabs = 0; // nested cells ended, separated from the next cell's text by tabs
    RtfRowReader m_rowReader;
    bool m_rowOpen = false; // the last paragraph is a cell's, and the row goes on
    size_t m_sentRows = 0;  // rows handed over to the sink

    std::vector<RtfPicture> m_pictures;
    QString m_pictureError; // of the last picture that could not be decoded
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
    int listKind(ListKind kind);
    bool isSymbolFont(int font) const;
    void endLevelText();
    void addTab(int position);
    QTextListFormat listFormat(int kind) const;
    // Where the text of a destination other than the document's goes, or null.
    QString *destinationText();
};

bool Parser::fail(const QString &message)
{
    m_content->damage = message;
    return false;
}

void Parser::run()
{
    RtfToken token;
    bool whole = true;
    while (whole && !m_done && m_content->paragraphs.size() < m_paragraphLimit
           && m_tokens.next(token)) {
        if (token.type != RtfToken::Text && token.type != RtfToken::HexByte)
            flushPending();
        const bool starred = m_starred;
        m_starred = false;
        const bool skipAnsiAlternative = std::exchange(m_uprOpened, false);
        const bool groupBegins = std::exchange(m_groupBegins, false);
        switch (token.type) {
        case RtfToken::GroupStart:
            beginGroup();
            m_groupBegins = true;
            // \upr's first group is the ANSI text its \ud group has in Unicode.
            if (skipAnsiAlternative)
                whole = skipGroup();
            break;
        case RtfToken::GroupEnd:
            endGroup(token.offset);
            break;
        case RtfToken::ControlWord: {
            if (m_stack.empty())
                break;
            if (starred) {
                // An ignorable destination: read only those this reader knows.
                const std::optional<RtfWord> word = rtfWord(token.text);
                const bool known
                    = word == RtfWord::Fldinst || word == RtfWord::Fldrslt || word == RtfWord::Pn
                      || word == RtfWord::Shppict || word == RtfWord::ListTableWord
                      || word == RtfWord::ListOverrideTableWord || word == RtfWord::Ud
                      || word == RtfWord::CharacterStyle || word == RtfWord::NestTableProps;
                if (!known) {
                    whole = skipGroup();
                    break;
                }
            }
            m_wordOffset = token.offset;
            whole = controlWord(token);
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
            // Some writers leave out the backslash of "\*" in the font table: "{*\panose ...}".
            if (groupBegins && token.text == "*" && !m_stack.empty()
                && top().dest == Dest::FontTable)
                m_starred = true;
            else if (!m_stack.empty())
                textBytes(token.text);
            break;
        }
    }
    m_content->cut = !m_done && m_content->paragraphs.size() >= m_paragraphLimit;
    if (!m_done && !m_content->cut) {
        // Cut short: what was read so far is the document, as far as it goes.
        if (whole)
            fail(QStringLiteral("The RTF document is truncated: %1 of its groups are not closed.")
                     .arg(m_stack.size() + m_flattened));
        flushPending();
        if (!m_stack.empty())
            finishParagraph(false);
    }
    if (m_rowOpen)
        closeRow();
    m_content->text.resize(m_length);
    appendFormats(*m_content, 0, 0);
}

void Parser::beginGroup()
{
    m_skip = 0;
    if (m_stack.size() >= size_t(RtfParser::MaxDepth)) {
        ++m_flattened;
        return;
    }
    if (m_stack.empty()) {
        m_stack.emplace_back();
    } else {
        m_stack.push_back(m_stack.back());
        GroupState &group = m_stack.back();
        group.opens = Opens::None;
        group.pnContinuation = false;
    }
}

void Parser::endGroup(qsizetype offset)
{
    m_skip = 0;
    if (m_flattened > 0) {
        --m_flattened;
        return;
    }
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
        if (closing.pnContinuation) {
            top().para.list = 0;
            top().para.listUndefined = false;
        } else if (m_pnKind.style) {
            top().para.list = listKind(m_pnKind);
        }
        break;
    case Opens::None:
        break;
    }
    if (closing.dest == Dest::FontTable && m_fontEntry >= 0)
        m_fontNameDone = true;
    if (closing.dest == Dest::StyleSheet && top().dest == Dest::StyleSheet && top().style < 0)
        endStyleEntry(closing);
    if (closing.dest == Dest::LevelText && top().dest != Dest::LevelText)
        endLevelText();
    if (closing.dest == Dest::ListText && top().dest != Dest::ListText) {
        m_listTextStyle = listKind(ListKind::ofStyle(listStyleOfText(m_listText)));
        if (top().para.listUndefined)
            top().para.list = m_listTextStyle;
    }
}

void Parser::endStyleEntry(const GroupState &entry)
{
    auto &styles = entry.characterStyle ? m_characterStyles : m_paragraphStyles;
    Style style;
    if (const auto base = styles.find(entry.basedOn); base != styles.end())
        style = base->second;
    overlay(style.chr, entry.chr);
    overlay(style.para, entry.para);
    // Without \s the entry is the normal style.
    styles[qMax(entry.style, 0)] = style;
}

bool Parser::skipGroup()
{
    if (!m_tokens.skipGroup())
        return fail(QStringLiteral("The RTF document is truncated inside an ignored group."));
    if (m_flattened > 0) {
        --m_flattened;
        return true;
    }
    if (m_stack.size() == 1)
        finishParagraph(false);
    m_stack.pop_back();
    if (m_stack.empty())
        m_done = true;
    return true;
}

// A toggle (\b, \ul, \caps ...) is switched on by the bare word or a parameter other than 0.
bool isOn(const RtfToken &token)
{
    return !token.hasParam || token.param != 0;
}

bool Parser::controlWord(const RtfToken &token)
{
    const std::optional<RtfWord> word = rtfWord(token.text);
    if (!word) {
        if (m_skip > 0)
            --m_skip;
        return true; // unknown words are skipped
    }
    const WordAction &action = actionOf(*word);
    return (this->*action.run)(token, action.arg);
}

// The handler of every word the reader knows, in one table.
const Parser::WordAction &Parser::actionOf(RtfWord word)
{
    struct Entry
    {
        RtfWord word;
        WordHandler run;
        int arg = 0;
    };
    using W = RtfWord;
    static constexpr Entry entries[] = {
        // destinations
        {W::Fonttbl, &Parser::fontTable},
        {W::Colortbl, &Parser::colorTable},
        {W::ListTableWord, &Parser::destination, int(Dest::ListTable)},
        {W::ListOverrideTableWord, &Parser::destination, int(Dest::ListOverrides)},
        {W::ListDefinition, &Parser::listDefinition},
        {W::ListLevel, &Parser::listLevel},
        {W::LevelNumbering, &Parser::levelNumbering},
        {W::ListId, &Parser::listId},
        {W::ListOverrideEntry, &Parser::listOverrideEntry},
        {W::LevelStartAt, &Parser::levelStartAt},
        {W::LevelText, &Parser::levelText},
        {W::Pict, &Parser::pictureGroup},
        {W::Object, &Parser::objectGroup},
        {W::Result, &Parser::objectResult},
        {W::Field, &Parser::field},
        {W::Fldinst, &Parser::fieldInstruction},
        {W::Fldrslt, &Parser::fieldResult},
        {W::Pn, &Parser::pnGroup},
        {W::Shppict, &Parser::ignore}, // its picture is read like any other
        {W::SkipGroup, &Parser::skipDestination},
        {W::StyleSheet, &Parser::styleSheet},
        {W::ParagraphStyle, &Parser::styleWord, false},
        {W::CharacterStyle, &Parser::styleWord, true},
        {W::BasedOn, &Parser::basedOn},
        {W::ListText, &Parser::listText},
        {W::Upr, &Parser::upr},
        // Their text is read like any other; some writers put the rows of nested tables in
        // \nesttableprops.
        {W::Ud, &Parser::ignore},
        {W::NestTableProps, &Parser::ignore},
        // document
        {W::NoUiCompat, &Parser::noUiCompat},
        {W::Ansicpg, &Parser::ansiCodePage},
        {W::Ansi, &Parser::characterSet, CodePage::System},
        {W::Mac, &Parser::characterSet, 10000},
        {W::Pc, &Parser::characterSet, 437},
        {W::Pca, &Parser::characterSet, 850},
        {W::Deff, &Parser::defaultFont},
        {W::Fcharset, &Parser::fontCharset},
        {W::Cpg, &Parser::fontCodePage},
        {W::Red, &Parser::colorComponent<&Parser::m_red>},
        {W::Green, &Parser::colorComponent<&Parser::m_green>},
        {W::Blue, &Parser::colorComponent<&Parser::m_blue>},
        // characters
        {W::Plain, &Parser::plain},
        {W::Bold, &Parser::charFlag<&CharState::bold>},
        {W::Italic, &Parser::charFlag<&CharState::italic>},
        {W::Strike, &Parser::charFlag<&CharState::strike>},
        {W::Hidden, &Parser::charFlag<&CharState::hidden>},
        {W::Underline, &Parser::underline, int(TUnderlineType::utSolid)},
        {W::UnderlineWord, &Parser::underline, int(TUnderlineType::utWord)},
        {W::UnderlineDouble, &Parser::underline, int(TUnderlineType::utDouble)},
        {W::UnderlineDotted, &Parser::underline, int(TUnderlineType::utDotted)},
        {W::UnderlineDash, &Parser::underline, int(TUnderlineType::utDash)},
        {W::UnderlineDashDot, &Parser::underline, int(TUnderlineType::utDashDot)},
        {W::UnderlineDashDotDot, &Parser::underline, int(TUnderlineType::utDashDotDot)},
        {W::UnderlineWave, &Parser::underline, int(TUnderlineType::utWave)},
        {W::UnderlineThick, &Parser::underline, int(TUnderlineType::utThick)},
        {W::UnderlineNone, &Parser::underline, int(TUnderlineType::utNone)},
        {W::UnderlineColor, &Parser::colorIndex<&CharState::underlineColor>},
        {W::Sub, &Parser::script, 1},
        {W::Super, &Parser::script, 2},
        {W::NoSuperSub, &Parser::script, 0},
        {W::Up, &Parser::verticalOffset, 1},
        {W::Down, &Parser::verticalOffset, -1},
        {W::Caps, &Parser::charFlag<&CharState::caps>},
        {W::SmallCaps, &Parser::charFlag<&CharState::smallCaps>},
        {W::Outline, &Parser::charFlag<&CharState::outline>},
        {W::FontSize, &Parser::fontSize},
        {W::FontIndex, &Parser::fontIndex},
        {W::AssociatedFont, &Parser::associatedFont},
        {W::LowAnsi, &Parser::charClass, int(CharClass::LowAnsi)},
        {W::HighAnsi, &Parser::charClass, int(CharClass::HighAnsi)},
        {W::DoubleByte, &Parser::charClass, int(CharClass::DoubleByte)},
        {W::Foreground, &Parser::colorIndex<&CharState::foreground>},
        {W::Background, &Parser::colorIndex<&CharState::background>},
        // paragraphs
        {W::Pard, &Parser::pard},
        {W::Par, &Parser::par},
        {W::InTable, &Parser::inTable},
        {W::Row, &Parser::row},
        {W::NestedRow, &Parser::nestedRow},
        {W::RowDefaults, &Parser::rowWord, int(W::RowDefaults)},
        {W::RowLeft, &Parser::rowWord, int(W::RowLeft)},
        {W::CellRight, &Parser::rowWord, int(W::CellRight)},
        {W::CellMergeFirst, &Parser::rowWord, int(W::CellMergeFirst)},
        {W::CellMerged, &Parser::rowWord, int(W::CellMerged)},
        {W::CellMergeDownFirst, &Parser::rowWord, int(W::CellMergeDownFirst)},
        {W::CellMergedDown, &Parser::rowWord, int(W::CellMergedDown)},
        {W::Left, &Parser::alignment, 0},
        {W::Centre, &Parser::alignment, 1},
        {W::Right, &Parser::alignment, 2},
        {W::Justify, &Parser::alignment, 3},
        {W::LeftIndent, &Parser::paraTwips<&ParaState::left>},
        {W::FirstIndent, &Parser::paraTwips<&ParaState::first>},
        {W::RightIndent, &Parser::paraTwips<&ParaState::right>},
        {W::SpaceBefore, &Parser::paraTwips<&ParaState::before>},
        {W::SpaceAfter, &Parser::paraTwips<&ParaState::after>},
        {W::LineSpacing, &Parser::paraTwips<&ParaState::lineSpacing>},
        {W::LineMultiple, &Parser::lineMultiple},
        {W::ListOverride, &Parser::listOverride},
        {W::PnBullet, &Parser::pnStyle, QTextListFormat::ListDisc},
        {W::PnBody, &Parser::pnBody},
        {W::PnDecimal, &Parser::pnStyle, QTextListFormat::ListDecimal},
        {W::PnLowerLetter, &Parser::pnStyle, QTextListFormat::ListLowerAlpha},
        {W::PnUpperLetter, &Parser::pnStyle, QTextListFormat::ListUpperAlpha},
        {W::PnLowerRoman, &Parser::pnStyle, QTextListFormat::ListLowerRoman},
        {W::PnUpperRoman, &Parser::pnStyle, QTextListFormat::ListUpperRoman},
        {W::PnContinuation, &Parser::pnContinuation},
        {W::PnStart, &Parser::pnStart},
        {W::PnFont, &Parser::pnFont},
        {W::PnTextBefore, &Parser::pnText, int(Dest::PnTextBefore)},
        {W::PnTextAfter, &Parser::pnText, int(Dest::PnTextAfter)},
        {W::RightToLeftPar, &Parser::direction, 2},
        {W::LeftToRightPar, &Parser::direction, 1},
        {W::TabRight, &Parser::tabType, QTextOption::RightTab},
        {W::TabCentre, &Parser::tabType, QTextOption::CenterTab},
        {W::TabDecimal, &Parser::tabType, QTextOption::DelimiterTab},
        {W::TabLeaderDot, &Parser::tabLeader, TextFormat::DotLeader},
        {W::TabLeaderHyphen, &Parser::tabLeader, TextFormat::HyphenLeader},
        {W::TabLeaderUnderline, &Parser::tabLeader, TextFormat::UnderlineLeader},
        {W::TabLeaderThick, &Parser::tabLeader, TextFormat::ThickLeader},
        {W::TabLeaderEqual, &Parser::tabLeader, TextFormat::EqualLeader},
        {W::TabPosition, &Parser::tabPosition},
        {W::BarTab, &Parser::barTab},
        // special characters
        {W::Tab, &Parser::character, u'\t'},
        {W::Line, &Parser::character, QChar::LineSeparator},
        {W::Cell, &Parser::cell},
        {W::NestedCell, &Parser::nestedCell},
        {W::EmDash, &Parser::character, 0x2014},
        {W::EnDash, &Parser::character, 0x2013},
        {W::LeftQuote, &Parser::character, 0x2018},
        {W::RightQuote, &Parser::character, 0x2019},
        {W::LeftDoubleQuote, &Parser::character, 0x201C},
        {W::RightDoubleQuote, &Parser::character, 0x201D},
        {W::Bullet, &Parser::character, 0x2022},
        {W::EmSpace, &Parser::character, 0x2003},
        {W::EnSpace, &Parser::character, 0x2002},
        {W::QuarterEmSpace, &Parser::character, 0x2005},
        {W::ZeroWidthJoiner, &Parser::character, 0x200D},
        {W::ZeroWidthNonJoiner, &Parser::character, 0x200C},
        {W::ZeroWidthBreak, &Parser::character, 0x200B},
        {W::LeftToRightMark, &Parser::character, 0x200E},
        {W::RightToLeftMark, &Parser::character, 0x200F},
        {W::Unicode, &Parser::unicodeCharacter},
        {W::UnicodeSkip, &Parser::unicodeSkip},
        {W::Bin, &Parser::binary},
        // pictures and objects
        {W::PngBlip, &Parser::pictureKind, RtfPicture::Png},
        {W::JpegBlip, &Parser::pictureKind, RtfPicture::Jpeg},
        {W::DiBitmap, &Parser::pictureKind, RtfPicture::Dib},
        {W::WBitmap, &Parser::pictureKind, RtfPicture::DeviceBitmap},
        {W::WMetafile, &Parser::pictureKind, RtfPicture::WindowsMetafile},
        {W::EmfBlip, &Parser::pictureKind, RtfPicture::EnhancedMetafile},
        {W::PicW, &Parser::pictureSize<&RtfPicture::width>},
        {W::PicH, &Parser::pictureSize<&RtfPicture::height>},
        {W::PicWGoal, &Parser::pictureSize<&RtfPicture::goalWidth>},
        {W::PicHGoal, &Parser::pictureSize<&RtfPicture::goalHeight>},
        {W::PicScaleX, &Parser::pictureSize<&RtfPicture::scaleX>},
        {W::PicScaleY, &Parser::pictureSize<&RtfPicture::scaleY>},
        {W::BitsPerPixel, &Parser::pictureSize<&RtfPicture::bitsPerPixel>},
        {W::WidthBytes, &Parser::pictureSize<&RtfPicture::widthBytes>},
        {W::ObjW, &Parser::objectSize<&ObjectInProgress::width>},
        {W::ObjH, &Parser::objectSize<&ObjectInProgress::height>},
        {W::ObjScaleX, &Parser::objectSize<&ObjectInProgress::scaleX>},
        {W::ObjScaleY, &Parser::objectSize<&ObjectInProgress::scaleY>},
    };
    static constexpr auto actions = [] {
        std::array<WordAction, size_t(RtfWord::Count)> byWord{};
        for (const Entry &entry : entries)
            byWord[size_t(entry.word)] = {entry.run, entry.arg};
        return byWord;
    }();
    // With as many entries as words, a word given twice leaves another without a handler.
    static_assert(std::size(entries) == actions.size()
                      && std::ranges::none_of(
                          actions, [](const WordAction &action) { return action.run == nullptr; }),
                  "every control word has exactly one handler");
    return actions[size_t(word)];
}

RtfPicture *Parser::pictureInProgress()
{
    const GroupState &group = top();
    return group.dest == Dest::Picture ? &m_pictures[group.picture] : nullptr;
}

ObjectInProgress *Parser::objectInProgress()
{
    const GroupState &group = top();
    return group.dest == Dest::Object ? &m_objects[group.object] : nullptr;
}

bool Parser::ignore(const RtfToken &, int)
{
    return true;
}

bool Parser::skipDestination(const RtfToken &, int)
{
    return skipGroup();
}

bool Parser::destination(const RtfToken &, int dest)
{
    top().dest = Dest(dest);
    return true;
}

bool Parser::fontTable(const RtfToken &, int)
{
    top().dest = Dest::FontTable;
    return true;
}

bool Parser::colorTable(const RtfToken &, int)
{
    top().dest = Dest::ColorTable;
    m_colorGiven = false;
    m_red = m_green = m_blue = 0;
    return true;
}

template <int Parser::*Component>
bool Parser::colorComponent(const RtfToken &token, int)
{
    if (top().dest == Dest::ColorTable) {
        this->*Component = qBound(0, token.param, 255);
        m_colorGiven = true;
    }
    return true;
}

bool Parser::pictureGroup(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.opens != Opens::None)
        return true; // one picture or object per group
    group.previewOf = group.dest == Dest::ObjectResult ? group.object : -1;
    group.dest = Dest::Picture;
    group.opens = Opens::Picture;
    group.start = m_wordOffset;
    group.picture = int(m_pictures.size());
    m_pictures.emplace_back();
    return true;
}

bool Parser::objectGroup(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.opens != Opens::None)
        return true;
    group.dest = Dest::Object;
    group.opens = Opens::Object;
    group.start = m_wordOffset;
    group.object = int(m_objects.size());
    m_objects.emplace_back();
    return true;
}

bool Parser::objectResult(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.dest == Dest::Object)
        group.dest = Dest::ObjectResult;
    return true;
}

bool Parser::field(const RtfToken &, int)
{
    top().field = int(m_fields.size());
    m_fields.emplace_back();
    return true;
}

bool Parser::fieldInstruction(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.field >= 0 && group.dest == Dest::Normal)
        group.dest = Dest::FieldInstruction;
    return true;
}

bool Parser::fieldResult(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.field >= 0 && group.dest == Dest::Normal) {
        const int link = linkOfField(group.field);
        if (link >= 0)
            group.chr.link = link;
    }
    return true;
}

bool Parser::listDefinition(const RtfToken &, int)
{
    m_listLevel = -1;
    m_levelKind = ListKind();
    m_levelKind.style = QTextListFormat::ListDisc;
    m_levelFont = -1;
    return true;
}

bool Parser::listLevel(const RtfToken &, int)
{
    ++m_listLevel;
    return true;
}

bool Parser::levelNumbering(const RtfToken &token, int)
{
    if (m_listLevel == 0)
        m_levelKind.style = listStyleOfNumbering(token.param);
    return true;
}

bool Parser::levelStartAt(const RtfToken &token, int)
{
    if (m_listLevel == 0)
        m_levelKind.start = token.param;
    return true;
}

bool Parser::levelText(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.dest == Dest::ListTable) {
        group.dest = Dest::LevelText;
        m_levelText.clear();
    }
    return true;
}

bool Parser::listId(const RtfToken &token, int)
{
    const Dest dest = top().dest;
    if (dest == Dest::ListTable) {
        if (isSymbolFont(m_levelFont))
            m_levelKind.bullet.clear(); // as in an old-style number
        m_listStyles[token.param] = listKind(m_levelKind);
    } else if (dest == Dest::ListOverrides) {
        m_overrideList = token.param;
    }
    return true;
}

bool Parser::listOverrideEntry(const RtfToken &, int)
{
    m_overrideList = INT_MIN;
    return true;
}

bool Parser::listText(const RtfToken &, int)
{
    top().dest = Dest::ListText;
    m_listText.clear();
    return true;
}

bool Parser::styleSheet(const RtfToken &, int)
{
    GroupState &group = top();
    group.dest = Dest::StyleSheet;
    group.chr = CharState();
    group.para = ParaState();
    return true;
}

bool Parser::styleWord(const RtfToken &token, int character)
{
    GroupState &group = top();
    if (group.dest == Dest::StyleSheet) {
        // An entry's formats are what it sets, on top of nothing.
        group.style = qMax(token.param, 0);
        group.characterStyle = character != 0;
        group.chr = CharState();
        group.para = ParaState();
        return true;
    }
    const auto &styles = character ? m_characterStyles : m_paragraphStyles;
    const auto style = styles.find(token.param);
    if (style == styles.end())
        return true;
    overlay(group.chr, style->second.chr);
    if (!character)
        overlay(group.para, style->second.para);
    return true;
}

bool Parser::basedOn(const RtfToken &token, int)
{
    GroupState &group = top();
    if (group.dest == Dest::StyleSheet)
        group.basedOn = token.param;
    return true;
}

bool Parser::upr(const RtfToken &, int)
{
    m_uprOpened = true;
    return true;
}

bool Parser::noUiCompat(const RtfToken &, int)
{
    m_unsizedHalfPoints = 0;
    return true;
}

bool Parser::ansiCodePage(const RtfToken &token, int)
{
    if (token.param > 0)
        m_ansiCodePage = token.param;
    return true;
}

bool Parser::characterSet(const RtfToken &, int codePage)
{
    m_ansiCodePage = codePage;
    return true;
}

bool Parser::defaultFont(const RtfToken &token, int)
{
    m_defaultFont = token.param;
    return true;
}

bool Parser::fontIndex(const RtfToken &token, int)
{
    GroupState &group = top();
    if (group.dest == Dest::FontTable) {
        m_fontEntry = token.param;
        m_fonts[token.param] = Font();
        m_fontNameDone = false;
    } else {
        group.chr.font = token.param;
        if (group.dest == Dest::ListTable && m_listLevel == 0)
            m_levelFont = token.param;
    }
    return true;
}

bool Parser::associatedFont(const RtfToken &token, int)
{
    // The font of the low-ANSI characters is the one their text shows in.
    GroupState &group = top();
    if (group.charClass == CharClass::LowAnsi && group.dest != Dest::FontTable)
        group.chr.font = token.param;
    return true;
}

bool Parser::charClass(const RtfToken &, int charClass)
{
    top().charClass = CharClass(charClass);
    return true;
}

bool Parser::fontCharset(const RtfToken &token, int)
{
    if (top().dest == Dest::FontTable && m_fontEntry >= 0)
        m_fonts[m_fontEntry].charset = token.param;
    return true;
}

bool Parser::fontCodePage(const RtfToken &token, int)
{
    if (top().dest == Dest::FontTable && m_fontEntry >= 0)
        m_fonts[m_fontEntry].codePage = token.param;
    return true;
}

bool Parser::plain(const RtfToken &, int)
{
    CharState &chr = top().chr;
    const int link = chr.link;
    chr = CharState();
    chr.link = link;
    return true;
}

template <bool CharState::*Flag>
bool Parser::charFlag(const RtfToken &token, int)
{
    top().chr.*Flag = isOn(token);
    return true;
}

template <int CharState::*Index>
bool Parser::colorIndex(const RtfToken &token, int)
{
    top().chr.*Index = qMax(token.param, 0);
    return true;
}

bool Parser::underline(const RtfToken &token, int type)
{
    top().chr.underline = isOn(token) ? quint8(type) : 0;
    return true;
}

bool Parser::script(const RtfToken &token, int script)
{
    top().chr.script = isOn(token) ? quint8(script) : 0;
    return true;
}

bool Parser::verticalOffset(const RtfToken &token, int direction)
{
    top().chr.offset = direction * qBound(0, token.hasParam ? token.param : 6, 3276);
    return true;
}

bool Parser::fontSize(const RtfToken &token, int)
{
    top().chr.halfPoints = !token.hasParam ? 24 : token.param <= 0 ? 0 : qMin(token.param, 3276);
    return true;
}

bool Parser::pard(const RtfToken &, int)
{
    top().para = ParaState();
    m_nextTab = TabStop();
    return true;
}

bool Parser::par(const RtfToken &, int)
{
    if (top().dest == Dest::Normal)
        finishParagraph(true);
    return true;
}

bool Parser::inTable(const RtfToken &, int)
{
    top().para.inTable = true;
    return true;
}

bool Parser::row(const RtfToken &, int)
{
    if (top().dest == Dest::Normal)
        endRow();
    return true;
}

// A nested table's rows are paragraphs of the cell it is in, its cells separated by tabs.
bool Parser::nestedRow(const RtfToken &, int)
{
    if (top().dest == Dest::Normal)
        finishParagraph(true);
    return true;
}

// The row's layout (\trowd, cell widths and merges) is for its reader to keep.
bool Parser::rowWord(const RtfToken &token, int word)
{
    m_rowReader.word(RtfWord(word), token.param);
    return true;
}

bool Parser::cell(const RtfToken &, int)
{
    if (top().dest == Dest::Normal)
        finishParagraph(true, RtfContent::InTable::CellEnd);
    return true;
}

bool Parser::nestedCell(const RtfToken &, int)
{
    if (top().dest == Dest::Normal)
        ++m_cellTabs;
    return true;
}

bool Parser::alignment(const RtfToken &, int alignment)
{
    top().para.alignment = alignment;
    return true;
}

template <int ParaState::*Field>
bool Parser::paraTwips(const RtfToken &token, int)
{
    top().para.*Field = twips(token.param);
    return true;
}

bool Parser::lineMultiple(const RtfToken &token, int)
{
    top().para.lineMultiple = isOn(token);
    return true;
}

bool Parser::direction(const RtfToken &, int direction)
{
    top().para.direction = quint8(direction);
    return true;
}

bool Parser::listOverride(const RtfToken &token, int)
{
    GroupState &group = top();
    ParaState &para = group.para;
    const int param = token.param;
    if (group.dest == Dest::ListOverrides) {
        m_overrides[param] = m_overrideList;
    } else if (param <= 0) {
        para.list = 0;
        para.listUndefined = false;
    } else {
        // The style of the list's first level; a list not defined shows its
        // kind in the paragraph's {\*\pn} or {\listtext}, else is bulleted.
        const auto override = m_overrides.find(param);
        const auto list = override == m_overrides.end() ? m_listStyles.end()
                                                        : m_listStyles.find(override->second);
        para.listUndefined = list == m_listStyles.end();
        if (!para.listUndefined)
            para.list = list->second;
        else if (!para.list)
            para.list = m_listTextStyle ? m_listTextStyle
                                        : listKind(ListKind::ofStyle(QTextListFormat::ListDisc));
    }
    return true;
}

bool Parser::pnGroup(const RtfToken &, int)
{
    GroupState &group = top();
    group.dest = Dest::Pn;
    group.opens = Opens::Pn;
    m_pnKind = ListKind();
    m_pnKind.suffix.clear(); // a number without \pntxta has nothing after it
    m_pnFont = -1;
    return true;
}

bool Parser::pnStyle(const RtfToken &, int style)
{
    if (top().dest == Dest::Pn)
        m_pnKind.style = style;
    return true;
}

bool Parser::pnBody(const RtfToken &, int)
{
    if (top().dest == Dest::Pn && !m_pnKind.style)
        m_pnKind.style = QTextListFormat::ListDecimal;
    return true;
}

bool Parser::pnContinuation(const RtfToken &, int)
{
    GroupState &group = top();
    if (group.dest == Dest::Pn)
        group.pnContinuation = true;
    return true;
}

bool Parser::pnStart(const RtfToken &token, int)
{
    if (top().dest == Dest::Pn)
        m_pnKind.start = token.param;
    return true;
}

bool Parser::pnFont(const RtfToken &token, int)
{
    if (top().dest == Dest::Pn)
        m_pnFont = token.param;
    return true;
}

bool Parser::pnText(const RtfToken &, int dest)
{
    GroupState &group = top();
    if (group.dest == Dest::Pn) {
        group.dest = Dest(dest);
        if (QString *text = destinationText())
            text->clear();
    }
    return true;
}

bool Parser::tabType(const RtfToken &, int type)
{
    m_nextTab.type = quint8(type);
    return true;
}

bool Parser::tabLeader(const RtfToken &, int leader)
{
    m_nextTab.leader = quint8(leader);
    return true;
}

bool Parser::tabPosition(const RtfToken &token, int)
{
    addTab(token.param);
    return true;
}

bool Parser::barTab(const RtfToken &, int)
{
    m_nextTab = TabStop(); // a vertical line, no stop
    return true;
}

bool Parser::character(const RtfToken &, int c)
{
    put(char16_t(c));
    return true;
}

bool Parser::unicodeCharacter(const RtfToken &token, int)
{
    unicode(token.param);
    return true;
}

bool Parser::unicodeSkip(const RtfToken &token, int)
{
    top().uc = qBound(0, token.param, 10);
    return true;
}

bool Parser::binary(const RtfToken &token, int)
{
    QByteArrayView bytes;
    if (!m_tokens.takeBinary(token.param, &bytes))
        return fail(QStringLiteral("The RTF document is truncated inside binary data."));
    if (RtfPicture *picture = pictureInProgress())
        picture->data.append(bytes);
    return true;
}

bool Parser::pictureKind(const RtfToken &, int kind)
{
    if (RtfPicture *picture = pictureInProgress())
        picture->kind = RtfPicture::Kind(kind);
    return true;
}

template <int RtfPicture::*Field>
bool Parser::pictureSize(const RtfToken &token, int)
{
    if (RtfPicture *picture = pictureInProgress())
        picture->*Field = qMax(0, token.param);
    return true;
}

template <int ObjectInProgress::*Field>
bool Parser::objectSize(const RtfToken &token, int)
{
    if (ObjectInProgress *object = objectInProgress())
        object->*Field = qBound(0, token.param, 31680);
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
    if (!m_runOpen || state != m_runState) {
        closeRun();
        m_runState = state;
        m_content->runs.push_back({m_length, 0, styleIndex(state)});
        m_runOpen = true;
    }
    if (m_cellTabs > 0) {
        ensureCapacity(m_cellTabs);
        std::fill_n(m_out + m_length, m_cellTabs, u'\t');
        m_length += std::exchange(m_cellTabs, 0);
    }
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
        if (QString *text = destinationText(); text && text->size() < 16)
            *text += QChar(c);
        break;
    }
}

QString *Parser::destinationText()
{
    switch (top().dest) {
    case Dest::LevelText:
        return &m_levelText;
    case Dest::PnTextBefore:
        // A bullet in a symbol font is a picture of the font's own, taken as the round one.
        return isSymbolFont(m_pnFont) ? nullptr : &m_pnKind.prefix;
    case Dest::PnTextAfter:
        return &m_pnKind.suffix;
    default:
        return nullptr;
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
            m_fonts[m_fontEntry].pendingName.append(end < 0 ? bytes : bytes.first(end));
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
        if (!m_placeholders)
            m_pictures[group.picture].addHex(bytes);
        break;
    case Dest::ListText:
        m_listText.append(bytes.first(qMin<qsizetype>(bytes.size(), 16 - m_listText.size())));
        break;
    default:
        if (QString *text = destinationText()) {
            // A level's text counts its characters and marks the place of a number by the
            // level's index, in bytes below 32.
            const CodePage::Table &table = CodePage::table(codePage());
            for (const char byte : bytes.first(qMin<qsizetype>(bytes.size(), 16)))
                *text += QChar(uchar(byte) < 0x20 ? char16_t(uchar(byte)) : table[uchar(byte)]);
        }
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
    if (top().dest == Dest::FontTable) {
        if (m_fontEntry >= 0 && !m_fontNameDone && value > 0 && value <= 0xFFFF) {
            Font &font = m_fonts[m_fontEntry];
            font.name += decodedName(font) + QChar(char16_t(value));
        }
        return;
    }
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

void Parser::finishParagraph(bool terminated, RtfContent::InTable inTable)
{
    using InTable = RtfContent::InTable;
    m_cellTabs = 0; // the last nested cell of a row
    m_listTextStyle = 0;
    closeRun();
    const int runs = int(m_content->runs.size());
    if (inTable == InTable::No && top().para.inTable)
        inTable = InTable::Cell;
    // What follows a table's last \row before the document ends is none of its cells.
    if (inTable == InTable::Cell && !terminated && runs == m_paragraphFirstRun)
        inTable = InTable::No;
    if (inTable == InTable::No && m_rowOpen)
        closeRow();
    m_content->paragraphs.push_back({paraIndex(top().para), styleIndex(top().chr),
                                     m_paragraphFirstRun, runs - m_paragraphFirstRun, terminated,
                                     inTable});
    m_rowOpen = inTable != InTable::No;
    m_paragraphFirstRun = runs;
    if (m_sink && m_content->paragraphs.size() >= m_batchParagraphs + 2)
        handOver();
}

void Parser::endRow()
{
    closeRun();
    // Text after the row's last \cell is a cell of its own.
    if (int(m_content->runs.size()) > m_paragraphFirstRun)
        finishParagraph(true, RtfContent::InTable::CellEnd);
    if (m_rowOpen)
        closeRow();
}

void Parser::closeRow()
{
    RtfContent::Paragraph &last = m_content->paragraphs.back();
    last.inTable = RtfContent::InTable::RowEnd;
    last.row = int(m_content->rows.size());
    m_content->rows.push_back(m_rowReader.row());
    m_rowOpen = false;
}

void Parser::handOver()
{
    // The last two paragraphs stay: the one before the last is handed over only for what the
    // paragraph before it needs to know about it, that it follows and is not the document's last.
    auto &paragraphs = m_content->paragraphs;
    auto &runs = m_content->runs;
    auto end = qsizetype(paragraphs.size()) - 2;
    // A table is handed over whole: the document makes it of all its rows at once.
    const auto inTable
        = [&](qsizetype i) { return paragraphs[size_t(i)].inTable != RtfContent::InTable::No; };
    while (end > 0 && inTable(end - 1) && inTable(end))
        --end;
    if (end == 0) {
        m_batchParagraphs = paragraphs.size() * 2; // tried again once the table may have ended
        return;
    }
    const qsizetype endRun = paragraphs[end].firstRun;
    const qsizetype endText = endRun > 0 ? runs[endRun - 1].start + runs[endRun - 1].length : 0;
    RtfContent batch;
    batch.text = QString(reinterpret_cast<const QChar *>(m_out), endText);
    batch.runs.assign(runs.begin(), runs.begin() + endRun);
    batch.paragraphs.assign(paragraphs.begin(), paragraphs.begin() + end + 1);
    const auto &objects = m_content->objects;
    batch.objects.assign(objects.begin() + qsizetype(m_sentObjects), objects.end());
    appendFormats(batch, m_sentStyles, m_sentParas);
    const auto &rows = m_content->rows;
    batch.rows.assign(rows.begin() + qsizetype(m_sentRows), rows.end());
    m_sentRows = rows.size();
    // What is handed over leaves the content: the parser touches no more memory than a batch.
    std::copy(m_out + endText, m_out + m_length, m_out);
    m_length -= endText;
    runs.erase(runs.begin(), runs.begin() + endRun);
    for (RtfContent::Run &run : runs)
        run.start -= endText;
    paragraphs.erase(paragraphs.begin(), paragraphs.begin() + end);
    for (RtfContent::Paragraph &paragraph : paragraphs)
        paragraph.firstRun -= int(endRun);
    m_paragraphFirstRun -= int(endRun);
    m_sentObjects = objects.size();
    m_sentStyles = m_styles.size();
    m_sentParas = m_paras.size();
    m_batchParagraphs = std::min<size_t>(m_batchParagraphs * 2, RtfParser::BatchParagraphs);
    m_sink(std::move(batch));
}

void Parser::addObject(RtfContent::Object object)
{
    if (m_cellTabs > 0)
        beginText();
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
    if (m_placeholders) {
        if (group.previewOf < 0 && top().dest == Dest::Normal)
            addObject(RtfContent::Object());
    } else if (group.previewOf >= 0) {
        // A picture in an object's result shows what the object looks like.
        ObjectInProgress &object = m_objects[group.previewOf];
        if (object.preview.isNull()) {
            object.preview = picture.decode(&m_imageBudget, &m_pictureError);
            if (object.preview.isNull())
                object.preview = picture.preview(&m_imageBudget);
        }
    } else if (top().dest == Dest::Normal) {
        RtfContent::Object object;
        QImage image = picture.decode(&m_imageBudget, &m_pictureError);
        if (image.isNull()) {
            object.raw = rawGroup(group, end);
            object.preview = picture.preview(&m_imageBudget);
            object.size = picture.displaySize(object.preview);
        } else {
            object.size = picture.displaySize(image);
            object.image = std::move(image);
            if (picture.kind == RtfPicture::Png || picture.kind == RtfPicture::Jpeg)
                object.encoded = std::move(picture.data);
        }
        addObject(std::move(object));
    }
    picture = RtfPicture(); // its data is no longer needed
    if (!m_pictureError.isEmpty() && m_content->damagedPicture.isEmpty())
        m_content->damagedPicture = m_pictureError;
    m_pictureError.clear();
}

void Parser::finishObject(const GroupState &group, qsizetype end)
{
    ObjectInProgress &progress = m_objects[group.object];
    if (top().dest != Dest::Normal)
        return;
    if (m_placeholders) {
        addObject(RtfContent::Object());
        return;
    }
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

int Parser::codePageOfName(const Font &font) const
{
    return font.codePage > 0 ? font.codePage : CodePage::fromCharset(font.charset, m_ansiCodePage);
}

QString Parser::decodedName(Font &font) const
{
    return CodePage::decode(std::exchange(font.pendingName, QByteArray()), codePageOfName(font));
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

int Parser::listKind(ListKind kind)
{
    if (!kind.style)
        return 0;
    // Bullets have no number, numbers no bullet.
    if (isBulletStyle(kind.style)) {
        // An old-style bullet is the text before the number it does not have.
        kind.bullet = bulletOf(kind.bullet.isEmpty() ? kind.prefix : kind.bullet);
        kind.start = 1;
        kind.prefix.clear();
        kind.suffix = QStringLiteral(".");
    } else {
        kind.bullet.clear();
    }
    const auto it = m_listKindIndex.constFind(kind);
    if (it != m_listKindIndex.constEnd())
        return it.value();
    m_listKinds.push_back(kind);
    const int index = int(m_listKinds.size()) - 1;
    m_listKindIndex.insert(kind, index);
    return index;
}

bool Parser::isSymbolFont(int font) const
{
    const auto it = m_fonts.find(font);
    return it != m_fonts.end() && it->second.charset == SymbolCharset;
}

void Parser::endLevelText()
{
    if (m_listLevel != 0 || m_levelText.isEmpty())
        return;
    // The first character counts the ones that follow; a trailing ";" ends the text.
    const QString text = m_levelText.mid(1, m_levelText.at(0).unicode());
    if (isBulletStyle(m_levelKind.style)) {
        m_levelKind.bullet = text;
        return;
    }
    const auto isNumber = [](QChar c) { return c.unicode() < 0x20; };
    const auto first = std::find_if(text.begin(), text.end(), isNumber);
    const auto last = std::find_if(text.rbegin(), text.rend(), isNumber);
    if (first == text.end())
        return;
    m_levelKind.prefix = QString(text.begin(), first - text.begin());
    m_levelKind.suffix = QString(last.base(), text.end() - last.base());
}

void Parser::addTab(int position)
{
    const TabStop stop{twips(position), m_nextTab.type, m_nextTab.leader};
    m_nextTab = TabStop();
    ParaState &para = top().para;
    const int size = para.tabs >= 0 ? m_tabLists[para.tabs].size : 0;
    // No more stops than a word processor sets in a paragraph.
    if (size >= 64)
        return;
    const auto [it, added] = m_tabListIndex.try_emplace({para.tabs, stop}, int(m_tabLists.size()));
    if (added)
        m_tabLists.push_back({para.tabs, stop, size + 1});
    para.tabs = it->second;
}

QTextListFormat Parser::listFormat(int index) const
{
    const ListKind &kind = m_listKinds[index];
    QTextListFormat format;
    if (!kind.style)
        return format;
    format.setStyle(QTextListFormat::Style(kind.style));
    format.setIndent(1);
    if (!kind.prefix.isEmpty())
        format.setNumberPrefix(kind.prefix);
    if (kind.suffix != u".")
        format.setNumberSuffix(kind.suffix);
    if (kind.start != 1)
        format.setProperty(TextFormat::ListStart, kind.start);
    if (!kind.bullet.isEmpty())
        format.setProperty(TextFormat::ListBullet, kind.bullet);
    return format;
}

QColor Parser::color(int index) const
{
    return index >= 0 && size_t(index) < m_colors.size() ? m_colors[index] : QColor();
}

void Parser::appendFormats(RtfContent &to, size_t firstStyle, size_t firstPara) const
{
    std::unordered_map<int, QString> fontNames;
    for (const auto &[id, font] : m_fonts)
        fontNames[id]
            = (font.name + CodePage::decode(font.pendingName, codePageOfName(font))).trimmed();
    to.charFormats.reserve(to.charFormats.size() + m_styles.size() - firstStyle);
    for (size_t i = firstStyle; i < m_styles.size(); ++i) {
        const CharState &s = m_styles[i];
        QTextCharFormat format;
        const auto font = fontNames.find(s.font >= 0 ? s.font : m_defaultFont);
        if (font != fontNames.end() && !font->second.isEmpty()) {
            format.setFontFamilies({font->second});
            const int charset = m_fonts.at(font->first).charset;
            if (charset > 1)
                format.setProperty(TextFormat::FontCharset, charset);
        }
        const int halfPoints = s.halfPoints > 0 ? s.halfPoints : m_unsizedHalfPoints;
        if (halfPoints > 0)
            format.setFontPointSize(halfPoints / 2.0);
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
        // The offset is kept relative to the size, as the writer reads it back.
        if (s.offset)
            format.setBaselineOffset(s.offset * 100.0 / (halfPoints > 0 ? halfPoints : 24));
        if (s.caps)
            format.setFontCapitalization(QFont::AllUppercase);
        else if (s.smallCaps)
            format.setFontCapitalization(QFont::SmallCaps);
        if (s.outline) {
            const QColor c = color(s.foreground);
            format.setTextOutline(QPen(s.foreground > 0 && c.isValid() ? c : QColor(Qt::black), 0));
        }
        if (s.link >= 0) {
            format.setAnchor(true);
            format.setAnchorHref(m_links[s.link]);
        }
        if (s.hidden)
            format.setObjectType(TextFormat::HiddenTextType);
        to.charFormats.push_back(format);
    }
    for (size_t i = firstPara; i < m_paras.size(); ++i) {
        const ParaState &p = m_paras[i];
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
        if (p.direction)
            format.setLayoutDirection(p.direction == 1 ? Qt::LeftToRight : Qt::RightToLeft);
        if (p.tabs >= 0) {
            std::vector<TabStop> stops;
            for (int list = p.tabs; list >= 0; list = m_tabLists[list].before)
                stops.push_back(m_tabLists[list].last);
            std::reverse(stops.begin(), stops.end());
            QList<QTextOption::Tab> tabs;
            QByteArray leaders;
            for (const TabStop &stop : stops) {
                const auto type = QTextOption::TabType(stop.type);
                tabs.append(QTextOption::Tab(TextFormat::twipsToUnits(stop.position), type,
                                             type == QTextOption::DelimiterTab ? u'.' : QChar()));
                leaders += char(stop.leader);
            }
            format.setTabPositions(tabs);
            if (leaders.count(char(TextFormat::NoLeader)) < leaders.size())
                format.setProperty(TextFormat::TabLeaders, leaders);
        }
        to.blockFormats.push_back(format);
        to.listFormats.push_back(listFormat(p.list));
    }
}

} // namespace

void RtfParser::parse(QByteArrayView data, RtfContent *content, int paragraphLimit)
{
    parse(data, content, paragraphLimit, Objects::Read);
}

void RtfParser::parse(QByteArrayView data, RtfContent *content, int paragraphLimit, Objects objects)
{
    Parser(data, content, paragraphLimit > 0 ? size_t(paragraphLimit) : SIZE_MAX, {}, objects)
        .run();
}

void RtfParser::parse(QByteArrayView data, RtfContent *content, const BatchSink &sink)
{
    Parser(data, content, SIZE_MAX, sink).run();
}
