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

private:
    struct TKeyEntry
    {
        SymbolType sym = NoSym;
        qint32 pos = 0;
    };

    // Where scanning stands: the rest of the source, the current and the replayed character,
    // the position counters and the current symbol with its value. Saved and restored as a
    // whole, so that a piece of text can be scanned again and scanning then continue exactly
    // where it was.
    struct TState
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
        qint32 PrevSymEnd = 0;
        qint32 PrevSymLine = 0;
        quint64 steps = 0;
        SymbolType sym = NoSym;
        qint32 intVal = 0;
        double reVal = 0.0;
        TComplexData cNum;
        QString sVal;
    };

public:
    // A point of scanning to come back to with RestoreState.
    class TScanState
    {
        friend class TSeqScanner;
        TState state;
        // The name scanned last, which scanning on overwrites in the buffer.
        QString ident;
    };

    TSeqScanner();

    void Reset();
    void GetSym();
    void GetCh();

    // The current symbol and its value: the number of a ReNum, IntNum or ComplexNum, the text
    // of a StrConst, the buffer position of an Ident's name.
    SymbolType sym() const { return m_state.sym; }
    double reVal() const { return m_state.reVal; }
    qint32 intVal() const { return m_state.intVal; }
    const TComplexData &cNum() const { return m_state.cNum; }
    const QString &sVal() const { return m_state.sVal; }
    qint32 idPos() const { return m_idPos; }
    // The current character.
    char16_t ch() const { return m_state.ch; }
    // Characters consumed and line feeds passed since the reset.
    qint32 NrOfChar() const { return m_state.NrOfChar; }
    qint32 Line() const { return m_state.Line; }
    // Where the symbol before the current one ended, as a position in the text less the line
    // feeds before it (an editor position before Ofs), and the line it ended on.
    qint32 PrevSymEnd() const { return m_state.PrevSymEnd; }
    qint32 PrevSymLine() const { return m_state.PrevSymLine; }
    // The first failure since the reset; 0 when none.
    qint32 ErrorCode() const { return m_errorCode; }

    // The current symbol made a number or a text, as if scanned: a name stands for the value
    // of its constant.
    void SetNumberSymbol(double value);
    void SetStringSymbol(const QString &text);
    // The current symbol made nothing: it has been dealt with.
    void ClearSymbol() { m_state.sym = NoSym; }

    // Compares the names at buffer positions u and v, length unit first; 0 means the same name.
    int Diff(qint32 u, qint32 v) const;
    // Keeps the name scanned last: the next one is written after it.
    void KeepId() { m_idPos = m_id1; }
    // Moves back where the next name is written, to a name position not kept.
    void SetIdPos(qint32 pos) { m_idPos = pos; }
    void AddToBuffer(const QString &ident);
    QString GetIdent(qint32 id) const;
    void Error(qint32 AnErrorCode) { m_errorCode = AnErrorCode; }

    // Source: the text not yet consumed.
    void SetSource(const QString &text);
    QString Source() const { return m_state.source.mid(m_state.sourcePos); }
    bool SourceEmpty() const { return m_state.sourcePos >= m_state.source.size(); }
    TScanState SaveState() const;
    void RestoreState(const TScanState &state);
    // Index of ch in the current source text (its length when ch is past the end).
    qsizetype CurrentIndex() const { return m_state.chIndex; }
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
    quint64 Steps() const { return m_state.steps; }

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
    bool exhausted() const { return m_state.ch == 0 && m_state.prevCh == 0 && SourceEmpty(); }

    TState m_state;
    // Where the name being scanned is written, and the end of the last name written.
    qint32 m_idPos = 0;
    qint32 m_id1 = 0;
    qint32 m_errorCode = 0;
    bool m_isUpcase = true;
    TKeyEntry m_keyTab[MaxKeywords + 1]; // 1-based
    qint32 m_lastKey = 0;
    std::vector<char16_t> m_buf;
    size_t m_used = 0; // units written since the last Reset
};
