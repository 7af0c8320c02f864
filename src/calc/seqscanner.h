#pragma once

#include <vector>

#include <QString>

#include "calc/complexdata.h"

// The kinds of symbol the scanner delivers. The numeric values are part of the interface: the
// parser tests ranges of them (multiplying operators, adding operators, relations, numbers).
enum SymbolType : quint8 {
    NoSym,
    VarDecl,
    ParDecl,
    ConstDecl,
    BeginSym,
    StartSeq,
    EndSeq,
    NotSym,
    AndSym,
    MulSym,
    ModSym,
    DivSym,
    Plus,
    Minus,
    OrSym,
    NEq,
    Gtr,
    GEq,
    LEq,
    Lss,
    Eql,
    Comma,
    RParen,
    LParen,
    RBrackets,
    LBrackets,
    Semicolon,
    Becomes,
    ReNum,
    IntNum,
    ComplexNum,
    StrConst,
    EndSym,
    IfSym,
    ThenSym,
    ElsIfSym,
    ElseSym,
    WhileSym,
    DoSym,
    ToSym,
    RepSym,
    UntSym,
    Times,
    DoublePoint,
    TwoPoint,
    RealSym,
    IntSym,
    BoolSym,
    StrSym,
    ArraySym,
    TextType,
    CaseSym,
    OfSym,
    ProcSym,
    FuncSym,
    PrgSym,
    ForSym,
    PointType,
    Ident,
    eof,
    // "^", the power operator; after the others so that their values stay as they are.
    PwrSym,
};

// Turns a calculation text into symbols, one symbol of look-ahead at a time.
//
// Besides the symbols it keeps the positions the calculation driver needs to place results
// (NrOfChar characters consumed, Line line feeds passed) and the symbol buffer: length-prefixed
// names (one length unit, then the code units), keywords first, then every identifier scanned.
// The parser uses the buffer as the storage of its name table; a name is referred to by the
// position of its length unit.
//
// The buffer starts with room for 8192 units and grows as names are kept, so a long note full of
// words never runs out of room for the names of its calculations; only beyond BufferLimit does
// scanning an identifier fail (error 35).
class TSeqScanner
{
public:
    static constexpr int InitialBufferSize = 8192;
    static constexpr int BufferLimit = 1 << 22;
    static constexpr int MaxKeywords = 60;
    static constexpr int MaxStringLength = 79;

    static constexpr qint32 MalformedNumberError = 30;
    static constexpr qint32 UnterminatedStringError = 31;
    static constexpr qint32 BufferFullError = 35;

    struct TKeyEntry
    {
        SymbolType sym = NoSym;
        qint32 pos = 0;
    };

    // The whole scanning state: the rest of the source, the current and the replayed character,
    // the position counters and the current symbol with its value, so that a piece of text can
    // be scanned again and scanning then continue exactly where it was.
    struct TScanState
    {
        QString source;
        qsizetype sourcePos = 0;
        qsizetype chIndex = 0;
        qsizetype prevChIndex = 0;
        bool pastEnd = false;
        char16_t ch = 0;
        char16_t prevCh = 0;
        qint32 NrOfChar = 0;
        qint32 Line = 0;
        qint32 Colum = 1;
        qint32 PrevSymEnd = 0;
        qint32 PrevSymLine = 0;
        quint64 steps = 0;
        SymbolType sym = NoSym;
        qint32 intVal = 0;
        double reVal = 0.0;
        TComplexData cNum;
        bool IsComplex = false;
        QString sVal;
        QString ident;
    };

    TSeqScanner();

    void Reset();
    void GetSym();
    void GetCh();

    // Compares the names at buffer positions u and v, length unit first; 0 means the same name.
    int Diff(qint32 u, qint32 v) const;
    void KeepId() { idPos = id1; }
    void AddToBuffer(const QString &ident);
    QString GetIdent(qint32 id) const;
    void Error(qint32 AnErrorCode) { ErrorCode = AnErrorCode; }

    // Source: the text not yet consumed.
    void SetSource(const QString &text);
    QString Source() const { return m_source.mid(m_sourcePos); }
    bool SourceEmpty() const { return m_sourcePos >= m_source.size(); }
    TScanState SaveState() const;
    void RestoreState(const TScanState &state);
    // Index of ch in the current source text (its length when ch is past the end).
    qsizetype CurrentIndex() const { return m_chIndex; }
    // The piece [from, to) of the current source text.
    QString SourcePiece(qsizetype from, qsizetype to) const;
    // Makes piece the source, with firstCh as the current character, to scan it again.
    void Rescan(const QString &piece, char16_t firstCh);
    // ch followed by up to n characters still to come.
    QString UpcomingText(qsizetype n) const;
    // Whether the next symbol is ":=" (blanks and line breaks aside), without scanning it.
    bool BecomesFollows() const;
    // With ch at a "," after an integer of one to three digits: reads the groups of a number
    // written with thousands separators (73,253.50) into value and returns true; returns false
    // and reads nothing when no such groups follow, or when ".." follows them (a range).
    bool ReadDigitGroups(qint32 leadingGroup, double &value);
    // Whether an "=" asking for a result follows on the current line (":=", "<=", ">=" aside).
    bool ResultRequestedOnLine() const;
    // Grows with every character delivered; tells whether scanning has advanced.
    quint64 Steps() const { return m_steps; }

    SymbolType sym = NoSym;
    qint32 idPos = 0;
    double reVal = 0.0;
    qint32 intVal = 0;
    bool bVal = false;
    QString sVal;
    qint32 ErrorCode = 0;
    bool IsUpcase = true;
    qint32 Line = 0;
    qint32 Colum = 1;
    qint32 NrOfChar = 0;
    // Where the symbol before the current one ended, as a position in the text less the line
    // feeds before it (an editor position before Ofs), and the line it ended on.
    qint32 PrevSymEnd = 0;
    qint32 PrevSymLine = 0;
    char16_t ch = 0;
    bool IsComplex = false;
    TComplexData cNum;
    qint32 id1 = 0;
    TKeyEntry KeyTab[MaxKeywords + 1]; // 1-based
    qint32 lastKey = 0;
    char16_t prevCh = 0;

private:
    char16_t unit(qint32 pos) const { return pos < qint32(m_buf.size()) ? m_buf[pos] : 0; }
    void setUnit(qint32 pos, char16_t value);
    char16_t fold(char16_t c) const;
    void enterKeyword(const QString &text, SymbolType symbol);
    void scanIdentifier();
    void scanNumber();
    // The length of a time of day (12:34, 12:34:56) or a date (2024-05-11, 11.05.2024) starting at
    // ch, 0 if none: such text is a word in a note, not a calculation.
    qsizetype dateOrTimeLength() const;
    void scanWord(qsizetype length);
    void scanString();
    bool exponentFollows() const;
    void skipBraceComment();
    void skipParenComment();
    bool exhausted() const { return ch == 0 && prevCh == 0 && SourceEmpty(); }

    std::vector<char16_t> m_buf;
    size_t m_used = 0; // units written since the last Reset
    QString m_source;
    qsizetype m_sourcePos = 0;
    qsizetype m_chIndex = 0;
    qsizetype m_prevChIndex = 0;
    bool m_pastEnd = false;
    quint64 m_steps = 0;
};
