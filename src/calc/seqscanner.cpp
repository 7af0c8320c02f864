#include "calc/seqscanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include <QVarLengthArray>

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

char16_t upper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c & ~0x20) : c;
}

bool isIdentifierTail(char16_t upperCh)
{
    return upperCh == u'$' || isDigit(upperCh) || (upperCh >= u'A' && upperCh <= u'Z')
           || upperCh == u'_';
}

// The value of a number text the scanner collected (digits, at most one ".", at most one "E",
// any number of "-"). A text that is not a complete real yields the value of its longest prefix
// that is one, or 0 when there is none.
bool convertReal(const char *first, const char *last, double &value)
{
    // Longest prefix that reads as a real; from_chars stops at the first character that does
    // not fit, exactly as the conversion of a malformed number is meant to.
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: the sign of the exponent tells which.
        const char *e = std::find(first, last, 'E');
        const bool tiny = e != last && e + 1 != last && e[1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return false;
    }
    if (error != std::errc())
        value = 0.0;
    return error == std::errc() && end == last;
}

} // namespace

TSeqScanner::TSeqScanner()
{
    m_buf.assign(InitialBufferSize, 0);
    Reset();
}

void TSeqScanner::Reset()
{
    m_lastKey = 0;
    // Positions nothing has been written to since the reset must hold no name.
    std::fill(m_buf.begin(), m_buf.begin() + m_used, 0);
    m_used = 0;
    m_idPos = 0;
    m_id1 = 0;
    static const struct
    {
        const char16_t *text;
        SymbolType symbol;
    } keywords[] = {
        {u"CONST", ConstDecl},
        {u"VAR", VarDecl},
        {u"ARRAY", ArraySym},
        {u"BEGIN", BeginSym},
        {u"StartSequence", StartSeq},
        {u"EndSequence", EndSeq},
        {u"NOT", NotSym},
        {u"OR", OrSym},
        {u"AND", AndSym},
        {u"end", EndSym},
        {u"MOD", ModSym},
        {u"IF", IfSym},
        {u"THEN", ThenSym},
        {u"ELSIF", ElsIfSym},
        {u"else", ElseSym},
        {u"WHILE", WhileSym},
        {u"DO", DoSym},
        {u"TO", ToSym},
        {u"REPEAT", RepSym},
        {u"UNTIL", UntSym},
        {u"FOR", ForSym},
        {u"TIMES", Times},
        {u"BOOLEAN", BoolSym},
        {u"REAL", RealSym},
        {u"INTEGER", IntSym},
        {u"STRING", StrSym},
        {u"CASE", CaseSym},
        {u"OF", OfSym},
        {u"TEXT", TextType},
        {u"PARAMETER", ParDecl},
        {u"PROCEDURE", ProcSym},
        {u"PROGRAM", PrgSym},
        {u"FUNCTION", FuncSym},
    };
    for (const auto &keyword : keywords)
        enterKeyword(QString::fromUtf16(keyword.text), keyword.symbol);
    m_state.NrOfChar = 0;
    m_errorCode = 0;
    m_state.Line = 0;
    m_id1 = 0;
    m_state.ch = u' ';
    m_state.sym = NoSym;
}

void TSeqScanner::setUnit(qint32 pos, char16_t value)
{
    if (pos >= qint32(m_buf.size()))
        m_buf.resize(std::min<size_t>(BufferLimit, std::max<size_t>(m_buf.size() * 2, pos + 1)), 0);
    m_buf[pos] = value;
    m_used = std::max<size_t>(m_used, size_t(pos) + 1);
}

char16_t TSeqScanner::fold(char16_t c) const
{
    return m_isUpcase ? upper(c) : c;
}

void TSeqScanner::enterKeyword(const QString &text, SymbolType symbol)
{
    const qint32 length = qint32(text.size());
    if (m_lastKey >= MaxKeywords || m_idPos + 2 * length + 2 >= BufferLimit) {
        Error(BufferFullError);
        return;
    }
    // The keyword's text goes to the end of the keyword area; the table keeps its entries sorted
    // by name (length first), which is the order the search by halving relies on.
    const qint32 pos = m_idPos;
    setUnit(pos, char16_t(length));
    for (qint32 i = 0; i < length; ++i)
        setUnit(pos + 1 + i, fold(text.at(i).unicode()));
    int slot = m_lastKey + 1;
    while (slot > 1 && Diff(pos, m_keyTab[slot - 1].pos) < 0) {
        m_keyTab[slot] = m_keyTab[slot - 1];
        --slot;
    }
    m_keyTab[slot] = {symbol, pos};
    ++m_lastKey;
    m_idPos = pos + length + 1;
    m_id1 = m_idPos;
}

int TSeqScanner::Diff(qint32 u, qint32 v) const
{
    const qint32 length = unit(u);
    for (qint32 i = 0; i <= length; ++i) {
        const int d = int(unit(u + i)) - int(unit(v + i));
        if (d != 0)
            return d;
    }
    return 0;
}

void TSeqScanner::AddToBuffer(const QString &ident)
{
    const qint32 length = qint32(ident.size());
    if (qint64(length) + m_id1 + 1 > BufferLimit || length > 0xFFFF) {
        Error(BufferFullError);
        return;
    }
    setUnit(m_idPos, char16_t(length));
    for (qint32 i = 0; i < length; ++i)
        setUnit(m_idPos + 1 + i, fold(ident.at(i).unicode()));
    m_id1 = m_idPos + length + 1;
}

QString TSeqScanner::GetIdent(qint32 id) const
{
    if (id < 0 || id >= qint32(m_buf.size()))
        return {};
    const qint32 length = std::min<qint32>(unit(id), qint32(m_buf.size()) - id - 1);
    return QString::fromUtf16(m_buf.data() + id + 1, length);
}

void TSeqScanner::SetSource(const QString &text)
{
    m_state.source = text;
    m_state.sourcePos = 0;
    m_state.chIndex = -1;
    m_state.pastEnd = false;
}

TSeqScanner::TScanState TSeqScanner::SaveState() const
{
    TScanState saved;
    saved.state = m_state;
    saved.ident = GetIdent(m_idPos);
    return saved;
}

void TSeqScanner::RestoreState(const TScanState &saved)
{
    m_state = saved.state;
    // The identifier scanned last lives at idPos; scanning the piece again overwrote it.
    const qint32 kept = m_id1;
    AddToBuffer(saved.ident);
    m_id1 = std::max(m_id1, kept);
}

void TSeqScanner::SetNumberSymbol(double value)
{
    m_state.sym = ReNum;
    m_state.reVal = value;
}

void TSeqScanner::SetStringSymbol(const QString &text)
{
    m_state.sym = StrConst;
    m_state.sVal = text;
}

QString TSeqScanner::SourcePiece(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, m_state.source.size());
    to = std::clamp<qsizetype>(to, from, m_state.source.size());
    return m_state.source.mid(from, to - from);
}

void TSeqScanner::Rescan(const QString &piece, char16_t firstCh)
{
    m_state.source = piece;
    m_state.sourcePos = 0;
    m_state.chIndex = -1;
    m_state.pastEnd = false;
    m_state.ch = firstCh;
    m_state.prevCh = 0;
}

QString TSeqScanner::UpcomingText(qsizetype n) const
{
    QString text{QChar(m_state.ch)};
    if (m_state.prevCh != 0)
        text += QChar(m_state.prevCh);
    return text + m_state.source.mid(m_state.sourcePos, n);
}

bool TSeqScanner::BecomesFollows() const
{
    const QString rest = UpcomingText(64);
    qsizetype i = 0;
    while (i < rest.size() && rest.at(i).unicode() <= u' ')
        ++i;
    return rest.mid(i, 2) == QStringLiteral(":=");
}

void TSeqScanner::GetCh()
{
    ++m_state.steps;
    if (m_state.prevCh != 0) {
        m_state.ch = m_state.prevCh;
        m_state.prevCh = 0;
        m_state.chIndex = m_state.prevChIndex;
        return;
    }
    if (SourceEmpty()) {
        // The end of the text counts as one character, like the line break it stands for, so
        // that the position of m_state.ch is just past the last character.
        if (!m_state.pastEnd)
            ++m_state.NrOfChar;
        m_state.pastEnd = true;
        m_state.ch = 0;
        m_state.chIndex = m_state.source.size();
    } else {
        m_state.chIndex = m_state.sourcePos;
        m_state.ch = m_state.source.at(m_state.sourcePos++).unicode();
        ++m_state.NrOfChar;
    }
}

void TSeqScanner::GetSym()
{
    // A loop rather than recursion: comments and skipped characters may follow each other in
    // any number.
    m_state.PrevSymEnd = m_state.NrOfChar - 1 - m_state.Line - (m_state.prevCh != 0 ? 1 : 0);
    m_state.PrevSymLine = m_state.Line;
    for (;;) {
        // A picture or another object in the note stands between symbols like a blank.
        while (!exhausted()
               && (m_state.ch <= u' ' || m_state.ch == QChar::ObjectReplacementCharacter)) {
            if (m_state.ch == u'\n')
                ++m_state.Line;
            GetCh();
        }
        // The end of the text ends the last symbol as a line break would.
        if (exhausted()) {
            m_state.sym = eof;
            return;
        }
        switch (m_state.ch) {
        case u'\'':
            m_state.sym = StrConst;
            scanString();
            return;
        case u'(':
            GetCh();
            if (m_state.ch == u'*') {
                skipParenComment();
                continue;
            }
            m_state.sym = LParen;
            return;
        case u')':
            m_state.sym = RParen;
            break;
        case u'*':
            m_state.sym = MulSym;
            break;
        case u'+':
            m_state.sym = Plus;
            break;
        case u',':
            m_state.sym = Comma;
            break;
        case u'-':
            m_state.sym = Minus;
            break;
        case u'/':
            m_state.sym = DivSym;
            break;
        case u';':
            m_state.sym = Semicolon;
            break;
        case u'[':
            m_state.sym = LBrackets;
            break;
        case u']':
            m_state.sym = RBrackets;
            break;
        case u'.':
            m_state.sym = PointType;
            GetCh();
            if (m_state.ch == u'.') {
                m_state.sym = TwoPoint;
                GetCh();
            }
            return;
        case u':':
            GetCh();
            if (m_state.ch == u'=') {
                GetCh();
                m_state.sym = Becomes;
            } else {
                m_state.sym = DoublePoint;
            }
            return;
        case u'<':
            GetCh();
            if (m_state.ch == u'=') {
                m_state.sym = LEq;
                GetCh();
            } else if (m_state.ch == u'>') {
                m_state.sym = NEq;
                GetCh();
            } else {
                m_state.sym = Lss;
            }
            return;
        case u'>':
            GetCh();
            if (m_state.ch == u'=') {
                m_state.sym = GEq;
                GetCh();
            } else {
                m_state.sym = Gtr;
            }
            return;
        case u'=':
            GetCh();
            m_state.sym = Eql;
            return;
        case u'{':
            skipBraceComment();
            continue;
        case u'$':
            // A currency sign in front of an amount: skipped, so "$20" reads as the number 20.
            GetCh();
            continue;
        case u'^':
            m_state.sym = PwrSym;
            break;
        default:
            if (!isDigit(m_state.ch))
                scanIdentifier();
            else if (const qsizetype length = dateOrTimeLength())
                scanWord(length);
            else
                scanNumber();
            return;
        }
        GetCh();
        return;
    }
}

void TSeqScanner::scanIdentifier()
{
    m_id1 = m_idPos + 1;
    for (;;) {
        if (m_id1 >= BufferLimit) {
            // No room left: the identifier is consumed all the same, so that scanning advances,
            // and the symbol ends the run.
            Error(BufferFullError);
            while (!SourceEmpty() && isIdentifierTail(upper(m_state.ch)))
                GetCh();
            m_id1 = m_idPos;
            m_state.sym = eof;
            return;
        }
        setUnit(m_id1++, fold(m_state.ch));
        GetCh();
        if (!isIdentifierTail(upper(m_state.ch)))
            break;
    }
    setUnit(m_idPos, char16_t(std::min<qint32>(m_id1 - m_idPos - 1, 0xFFFF)));

    // Search by halving; the table is sorted the way Diff orders names.
    int low = 1;
    int high = m_lastKey;
    int middle = 0;
    while (low <= high) {
        middle = (low + high) / 2;
        const int d = Diff(m_idPos, m_keyTab[middle].pos);
        if (d <= 0)
            high = middle - 1;
        if (d >= 0)
            low = middle + 1;
    }
    m_state.sym = low - high > 1 ? m_keyTab[middle].sym : Ident;
}

qsizetype TSeqScanner::dateOrTimeLength() const
{
    // m_state.ch is a digit; the pattern is a run of digits and separators ("#" a digit).
    const auto matches = [this](const char *pattern) {
        const qsizetype length = qsizetype(std::strlen(pattern));
        const QStringView rest = QStringView(m_state.source).mid(m_state.sourcePos);
        if (rest.size() < length - 1)
            return false;
        for (qsizetype i = 0; i < length; ++i) {
            const char16_t c = i == 0 ? m_state.ch : rest.at(i - 1).unicode();
            if (pattern[i] == '#' ? !isDigit(c) : c != char16_t(pattern[i]))
                return false;
        }
        // The text must end there: 12:345, 12:34:5 or 2024-05-111 is something else.
        const QStringView after = rest.mid(length - 1, 2);
        if (after.isEmpty())
            return true;
        if (isDigit(after.at(0).unicode()))
            return false;
        const bool separator = after.at(0) == u':' || after.at(0) == u'-' || after.at(0) == u'.';
        return !(separator && after.size() == 2 && isDigit(after.at(1).unicode()));
    };
    static const char *const patterns[]
        = {"##:##:##",   "#:##:##",   "##:##",     "#:##",    "####-##-##",
           "##.##.####", "#.##.####", "##.#.####", "#.#.####"};
    for (const char *pattern : patterns) {
        if (matches(pattern))
            return qsizetype(std::strlen(pattern));
    }
    return 0;
}

void TSeqScanner::scanWord(qsizetype length)
{
    if (m_idPos + length + 1 >= BufferLimit) {
        scanNumber();
        return;
    }
    m_id1 = m_idPos + 1;
    for (qsizetype i = 0; i < length; ++i) {
        setUnit(m_id1++, m_state.ch);
        GetCh();
    }
    setUnit(m_idPos, char16_t(length));
    m_state.sym = Ident;
}

bool TSeqScanner::ReadDigitGroups(qint32 leadingGroup, double &value)
{
    if (m_state.ch != u',' || leadingGroup < 1 || leadingGroup > 999)
        return false;
    const QStringView rest = QStringView(m_state.source).mid(m_state.sourcePos, 512);
    qsizetype i = 0;
    QByteArray digits = QByteArray::number(leadingGroup);
    // rest begins after the ",": three digits, then "," and three more, and so on.
    for (;;) {
        if (i + 3 > rest.size() || !isDigit(rest.at(i).unicode())
            || !isDigit(rest.at(i + 1).unicode()) || !isDigit(rest.at(i + 2).unicode()))
            return false;
        digits += rest.mid(i, 3).toLatin1();
        i += 3;
        if (i < rest.size() && rest.at(i) == u',') {
            ++i;
            continue;
        }
        break;
    }
    if (i < rest.size() && isDigit(rest.at(i).unicode()))
        return false;
    if (i + 1 < rest.size() && rest.at(i) == u'.' && isDigit(rest.at(i + 1).unicode())) {
        digits += '.';
        for (++i; i < rest.size() && isDigit(rest.at(i).unicode()); ++i)
            digits += char(rest.at(i).unicode());
    }
    // "1,000 .. 5000" is a range from 1 in steps of 999, as it always was.
    qsizetype after = i;
    while (after < rest.size() && (rest.at(after) == u' ' || rest.at(after) == u'\t'))
        ++after;
    if (rest.mid(after, 2) == u"..")
        return false;
    if (!convertReal(digits.constData(), digits.constData() + digits.size(), value))
        return false;
    // The "," and every character read up to here.
    for (qsizetype n = 0; n <= i; ++n)
        GetCh();
    return true;
}

bool TSeqScanner::ResultRequestedOnLine() const
{
    const QStringView rest = QStringView(m_state.source).mid(m_state.sourcePos, 1024);
    char16_t before = m_state.ch;
    if (m_state.ch == u'\n')
        return false;
    if (m_state.ch == u'=')
        return true;
    for (const QChar c : rest) {
        if (c == u'\n')
            return false;
        if (c == u'=' && before != u':' && before != u'<' && before != u'>')
            return true;
        before = c.unicode();
    }
    return false;
}

void TSeqScanner::scanNumber()
{
    // Numbers are scanned by the hundred thousand in a long note: their text stays on the stack.
    QVarLengthArray<char, 64> text;
    bool pointAllowed = true;
    bool exponentAllowed = true;
    m_state.ch = upper(m_state.ch);
    for (;;) {
        if (m_state.ch == u'.' && pointAllowed) {
            pointAllowed = false;
        } else if (m_state.ch == u'E' && exponentAllowed && exponentFollows()) {
            // The exponent's sign is part of the number; any other "+" or "-" is an operator.
            exponentAllowed = false;
            pointAllowed = false;
            text.append('E');
            GetCh();
            if (m_state.ch != u'-' && m_state.ch != u'+')
                continue;
        } else if (!isDigit(m_state.ch)) {
            break;
        }
        text.append(char(m_state.ch));
        GetCh();
        m_state.ch = upper(m_state.ch);
    }
    // A "." followed by another belongs to what follows (1..5): it becomes the current
    // character again and the character after it is delivered next. A single "." ends the
    // number (3. is 3).
    if (!text.isEmpty() && text.back() == '.' && m_state.ch == u'.') {
        text.removeLast();
        m_state.prevCh = m_state.ch;
        m_state.prevChIndex = m_state.chIndex;
        m_state.ch = u'.';
        --m_state.chIndex;
    }
    const char *first = text.constData();
    const char *last = first + text.size();
    qint32 value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc() && end == last) {
        m_state.intVal = value;
        m_state.sym = IntNum;
    } else {
        if (!convertReal(first, last, m_state.reVal))
            Error(MalformedNumberError);
        m_state.sym = ReNum;
    }
    if (m_state.ch == u'I') {
        m_state.cNum
            = TComplexData(0.0, m_state.sym == IntNum ? double(m_state.intVal) : m_state.reVal);
        m_state.sym = ComplexNum;
        GetCh();
    }
}

bool TSeqScanner::exponentFollows() const
{
    // m_state.ch is an "E": an exponent needs digits, after an optional sign.
    const QString rest = m_state.source.mid(m_state.sourcePos, 2);
    if (rest.isEmpty())
        return false;
    const char16_t first = rest.at(0).unicode();
    if (isDigit(first))
        return true;
    return (first == u'-' || first == u'+') && rest.size() == 2 && isDigit(rest.at(1).unicode());
}

void TSeqScanner::scanString()
{
    GetCh();
    m_state.sVal.clear();
    while (m_state.ch != u'\'' && m_state.ch != u'\r' && !exhausted()
           && m_state.sVal.size() < MaxStringLength) {
        m_state.sVal.append(QChar(m_state.ch));
        GetCh();
    }
    if (m_state.ch == u'\r')
        Error(UnterminatedStringError);
    GetCh();
}

void TSeqScanner::skipBraceComment()
{
    GetCh();
    while (m_state.ch != u'}' && !exhausted()) {
        if (m_state.ch == u'\n')
            ++m_state.Line;
        GetCh();
    }
    GetCh();
}

void TSeqScanner::skipParenComment()
{
    GetCh();
    while (!exhausted()) {
        if (m_state.ch == u'\n')
            ++m_state.Line;
        if (m_state.ch == u'*') {
            GetCh();
            if (m_state.ch == u')') {
                GetCh();
                return;
            }
            // The character after a lone "*" is passed over unexamined.
            if (m_state.ch == u'\n')
                ++m_state.Line;
        }
        GetCh();
    }
}
