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
    lastKey = 0;
    // Positions nothing has been written to since the reset must hold no name.
    std::fill(m_buf.begin(), m_buf.begin() + m_used, 0);
    m_used = 0;
    idPos = 0;
    id1 = 0;
    static const struct
    {
        const char16_t *text;
        SymbolType sym;
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
        enterKeyword(QString::fromUtf16(keyword.text), keyword.sym);
    NrOfChar = 0;
    ErrorCode = 0;
    Line = 0;
    Colum = 1;
    id1 = 0;
    ch = u' ';
    sym = NoSym;
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
    return IsUpcase ? upper(c) : c;
}

void TSeqScanner::enterKeyword(const QString &text, SymbolType symbol)
{
    const qint32 length = qint32(text.size());
    if (lastKey >= MaxKeywords || idPos + 2 * length + 2 >= BufferLimit) {
        Error(BufferFullError);
        return;
    }
    // The keyword's text goes to the end of the keyword area; the table keeps its entries sorted
    // by name (length first), which is the order the search by halving relies on.
    const qint32 pos = idPos;
    setUnit(pos, char16_t(length));
    for (qint32 i = 0; i < length; ++i)
        setUnit(pos + 1 + i, fold(text.at(i).unicode()));
    int slot = lastKey + 1;
    while (slot > 1 && Diff(pos, KeyTab[slot - 1].pos) < 0) {
        KeyTab[slot] = KeyTab[slot - 1];
        --slot;
    }
    KeyTab[slot] = {symbol, pos};
    ++lastKey;
    idPos = pos + length + 1;
    id1 = idPos;
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
    if (qint64(length) + id1 + 1 > BufferLimit || length > 0xFFFF) {
        Error(BufferFullError);
        return;
    }
    setUnit(idPos, char16_t(length));
    for (qint32 i = 0; i < length; ++i)
        setUnit(idPos + 1 + i, fold(ident.at(i).unicode()));
    id1 = idPos + length + 1;
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
    m_source = text;
    m_sourcePos = 0;
    m_chIndex = -1;
    m_pastEnd = false;
}

TSeqScanner::TScanState TSeqScanner::SaveState() const
{
    return {m_source, m_sourcePos, m_chIndex,  m_prevChIndex,  m_pastEnd, ch,  prevCh, NrOfChar,
            Line,     Colum,       PrevSymEnd, PrevSymLine,    m_steps,   sym, intVal, reVal,
            cNum,     IsComplex,   sVal,       GetIdent(idPos)};
}

void TSeqScanner::RestoreState(const TScanState &state)
{
    m_source = state.source;
    m_sourcePos = state.sourcePos;
    m_chIndex = state.chIndex;
    m_prevChIndex = state.prevChIndex;
    m_pastEnd = state.pastEnd;
    ch = state.ch;
    prevCh = state.prevCh;
    NrOfChar = state.NrOfChar;
    Line = state.Line;
    Colum = state.Colum;
    PrevSymEnd = state.PrevSymEnd;
    PrevSymLine = state.PrevSymLine;
    m_steps = state.steps;
    sym = state.sym;
    intVal = state.intVal;
    reVal = state.reVal;
    cNum = state.cNum;
    IsComplex = state.IsComplex;
    sVal = state.sVal;
    // The identifier scanned last lives at idPos; scanning the piece again overwrote it.
    const qint32 kept = id1;
    AddToBuffer(state.ident);
    id1 = std::max(id1, kept);
}

QString TSeqScanner::SourcePiece(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, m_source.size());
    to = std::clamp<qsizetype>(to, from, m_source.size());
    return m_source.mid(from, to - from);
}

void TSeqScanner::Rescan(const QString &piece, char16_t firstCh)
{
    m_source = piece;
    m_sourcePos = 0;
    m_chIndex = -1;
    m_pastEnd = false;
    ch = firstCh;
    prevCh = 0;
}

QString TSeqScanner::UpcomingText(qsizetype n) const
{
    QString text{QChar(ch)};
    if (prevCh != 0)
        text += QChar(prevCh);
    return text + m_source.mid(m_sourcePos, n);
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
    ++m_steps;
    if (prevCh != 0) {
        ch = prevCh;
        prevCh = 0;
        m_chIndex = m_prevChIndex;
        return;
    }
    if (SourceEmpty()) {
        // The end of the text counts as one character, like the line break it stands for, so
        // that the position of ch is just past the last character.
        if (!m_pastEnd)
            ++NrOfChar;
        m_pastEnd = true;
        ch = 0;
        m_chIndex = m_source.size();
    } else {
        m_chIndex = m_sourcePos;
        ch = m_source.at(m_sourcePos++).unicode();
        ++Colum;
        ++NrOfChar;
    }
}

void TSeqScanner::GetSym()
{
    // A loop rather than recursion: comments and skipped characters may follow each other in
    // any number.
    PrevSymEnd = NrOfChar - 1 - Line - (prevCh != 0 ? 1 : 0);
    PrevSymLine = Line;
    for (;;) {
        // A picture or another object in the note stands between symbols like a blank.
        while (!exhausted() && (ch <= u' ' || ch == QChar::ObjectReplacementCharacter)) {
            if (ch == u'\n') {
                ++Line;
                Colum = 1;
            }
            GetCh();
        }
        // The end of the text ends the last symbol as a line break would.
        if (exhausted()) {
            sym = eof;
            return;
        }
        switch (ch) {
        case u'\'':
            sym = StrConst;
            scanString();
            return;
        case u'(':
            GetCh();
            if (ch == u'*') {
                skipParenComment();
                continue;
            }
            sym = LParen;
            return;
        case u')':
            sym = RParen;
            break;
        case u'*':
            sym = MulSym;
            break;
        case u'+':
            sym = Plus;
            break;
        case u',':
            sym = Comma;
            break;
        case u'-':
            sym = Minus;
            break;
        case u'/':
            sym = DivSym;
            break;
        case u';':
            sym = Semicolon;
            break;
        case u'[':
            sym = LBrackets;
            break;
        case u']':
            sym = RBrackets;
            break;
        case u'.':
            sym = PointType;
            GetCh();
            if (ch == u'.') {
                sym = TwoPoint;
                GetCh();
            }
            return;
        case u':':
            GetCh();
            if (ch == u'=') {
                GetCh();
                sym = Becomes;
            } else {
                sym = DoublePoint;
            }
            return;
        case u'<':
            GetCh();
            if (ch == u'=') {
                sym = LEq;
                GetCh();
            } else if (ch == u'>') {
                sym = NEq;
                GetCh();
            } else {
                sym = Lss;
            }
            return;
        case u'>':
            GetCh();
            if (ch == u'=') {
                sym = GEq;
                GetCh();
            } else {
                sym = Gtr;
            }
            return;
        case u'=':
            GetCh();
            sym = Eql;
            return;
        case u'{':
            skipBraceComment();
            continue;
        case u'$':
            // A currency sign in front of an amount: skipped, so "$20" reads as the number 20.
            GetCh();
            continue;
        case u'^':
            sym = PwrSym;
            break;
        default:
            if (!isDigit(ch))
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
    id1 = idPos + 1;
    for (;;) {
        if (id1 >= BufferLimit) {
            // No room left: the identifier is consumed all the same, so that scanning advances,
            // and the symbol ends the run.
            Error(BufferFullError);
            while (!SourceEmpty() && isIdentifierTail(upper(ch)))
                GetCh();
            id1 = idPos;
            sym = eof;
            return;
        }
        setUnit(id1++, fold(ch));
        GetCh();
        if (!isIdentifierTail(upper(ch)))
            break;
    }
    setUnit(idPos, char16_t(std::min<qint32>(id1 - idPos - 1, 0xFFFF)));

    // Search by halving; the table is sorted the way Diff orders names.
    int low = 1;
    int high = lastKey;
    int middle = 0;
    while (low <= high) {
        middle = (low + high) / 2;
        const int d = Diff(idPos, KeyTab[middle].pos);
        if (d <= 0)
            high = middle - 1;
        if (d >= 0)
            low = middle + 1;
    }
    sym = low - high > 1 ? KeyTab[middle].sym : Ident;
}

qsizetype TSeqScanner::dateOrTimeLength() const
{
    // ch is a digit; the pattern is a run of digits and separators ("#" a digit).
    const auto matches = [this](const char *pattern) {
        const qsizetype length = qsizetype(std::strlen(pattern));
        const QStringView rest = QStringView(m_source).mid(m_sourcePos);
        if (rest.size() < length - 1)
            return false;
        for (qsizetype i = 0; i < length; ++i) {
            const char16_t c = i == 0 ? ch : rest.at(i - 1).unicode();
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
    if (idPos + length + 1 >= BufferLimit) {
        scanNumber();
        return;
    }
    id1 = idPos + 1;
    for (qsizetype i = 0; i < length; ++i) {
        setUnit(id1++, ch);
        GetCh();
    }
    setUnit(idPos, char16_t(length));
    sym = Ident;
}

bool TSeqScanner::ReadDigitGroups(qint32 leadingGroup, double &value)
{
    if (ch != u',' || leadingGroup < 1 || leadingGroup > 999)
        return false;
    const QStringView rest = QStringView(m_source).mid(m_sourcePos, 512);
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
    const QStringView rest = QStringView(m_source).mid(m_sourcePos, 1024);
    char16_t before = ch;
    if (ch == u'\n')
        return false;
    if (ch == u'=')
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
    ch = upper(ch);
    for (;;) {
        if (ch == u'.' && pointAllowed) {
            pointAllowed = false;
        } else if (ch == u'E' && exponentAllowed && exponentFollows()) {
            // The exponent's sign is part of the number; any other "+" or "-" is an operator.
            exponentAllowed = false;
            pointAllowed = false;
            text.append('E');
            GetCh();
            if (ch != u'-' && ch != u'+')
                continue;
        } else if (!isDigit(ch)) {
            break;
        }
        text.append(char(ch));
        GetCh();
        ch = upper(ch);
    }
    // A "." followed by another belongs to what follows (1..5): it becomes the current
    // character again and the character after it is delivered next. A single "." ends the
    // number (3. is 3).
    if (!text.isEmpty() && text.back() == '.' && ch == u'.') {
        text.removeLast();
        prevCh = ch;
        m_prevChIndex = m_chIndex;
        ch = u'.';
        --m_chIndex;
    }
    IsComplex = false;
    const char *first = text.constData();
    const char *last = first + text.size();
    qint32 value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc() && end == last) {
        intVal = value;
        sym = IntNum;
    } else {
        if (!convertReal(first, last, reVal))
            Error(MalformedNumberError);
        sym = ReNum;
    }
    if (ch == u'I') {
        IsComplex = true;
        cNum = TComplexData(0.0, sym == IntNum ? double(intVal) : reVal);
        sym = ComplexNum;
        GetCh();
    }
}

bool TSeqScanner::exponentFollows() const
{
    // ch is an "E": an exponent needs digits, after an optional sign.
    const QString rest = m_source.mid(m_sourcePos, 2);
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
    sVal.clear();
    while (ch != u'\'' && ch != u'\r' && !exhausted() && sVal.size() < MaxStringLength) {
        sVal.append(QChar(ch));
        GetCh();
    }
    if (ch == u'\r')
        Error(UnterminatedStringError);
    GetCh();
}

void TSeqScanner::skipBraceComment()
{
    GetCh();
    while (ch != u'}' && !exhausted()) {
        if (ch == u'\n')
            ++Line;
        GetCh();
    }
    GetCh();
}

void TSeqScanner::skipParenComment()
{
    GetCh();
    while (!exhausted()) {
        if (ch == u'\n')
            ++Line;
        if (ch == u'*') {
            GetCh();
            if (ch == u')') {
                GetCh();
                return;
            }
            // The character after a lone "*" is passed over unexamined.
            if (ch == u'\n')
                ++Line;
        }
        GetCh();
    }
}
