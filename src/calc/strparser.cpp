#include "calc/strparser.h"

#include <cmath>
#include <optional>

#include <QRegularExpression>

#include "calc/complexvariant.h"
#include "calc/plotcall.h"

namespace {

// Nesting deeper than this (parentheses, NOT, function arguments) is not an expression a note
// holds; it is refused like any other malformed expression instead of exhausting the stack.
constexpr int MaxNesting = 200;
// Sums and vectors filled over a range read their expressions again, for up to this much work
// (characters read and vector elements used) in one run, so that every run ends quickly. A sum that
// would need more is the count times its (unchanging) term, which is what adding it up gives; a
// vector that would need more is refused.
constexpr double SumRescanBudget = 1000000;
constexpr double VectorRescanBudget = 8000000;
constexpr qint32 FixLenLimit = 99;
// The element operations (multiply-adds) the vector and matrix operations of one run may do: a
// second or so of work, such as two inverses of 500 x 500 matrices.
constexpr double MatrixWorkPerRun = 3e8;

// Imaginary numbers begin a statement like every other number.
bool startsNumber(SymbolType sym)
{
    return sym == ReNum || sym == IntNum || sym == ComplexNum;
}

bool startsStatement(SymbolType sym)
{
    return sym == Eql || sym == LParen || startsNumber(sym) || sym == Ident;
}

bool isRelation(SymbolType sym)
{
    return sym >= NEq && sym <= Lss;
}

// Counts a parenthesis open for as long as it lives.
class OpenParenthesis
{
public:
    explicit OpenParenthesis(int &count)
        : m_count(count)
    {
        ++m_count;
    }
    ~OpenParenthesis() { --m_count; }
    OpenParenthesis(const OpenParenthesis &) = delete;
    OpenParenthesis &operator=(const OpenParenthesis &) = delete;

private:
    int &m_count;
};

bool isEmptyValue(const TParseObj *e)
{
    return (e->obClass == VarObject || e->obClass == RConst)
           && e->cNum.kind() == TCalcValue::Kind::Empty;
}

// The work of reading an expression again: its characters, and the elements of the vectors and
// matrices it hands to the machine, whose operations walk them.
double termCost(const QString &piece, qint64 elementsPushed)
{
    return double(std::max<qsizetype>(piece.size(), 1)) + double(elementsPushed);
}

} // namespace

const QString TStrParser::CanceledText = QStringLiteral(" Calculation Canceled!");

TStrParser::TStrParser()
    : DataStack(16384)
{
    FScanner.SetSource(QString());
}

TStrParser::~TStrParser() = default;

void TStrParser::reset()
{
    ObjList.clear();
    prevObj = nullptr;
}

void TStrParser::Run(const QString &text)
{
    reset();
    FScanner.Reset();
    declarePredefined();
    Ofs = 0;
    FErrorCode = 0;
    prevSym = NoSym;
    prevId = 0;
    m_depth = 0;
    m_sumRescanBudget = SumRescanBudget;
    m_vectorRescanBudget = VectorRescanBudget;
    FScanner.SetSource(text);
    OriSource = text;
    HP.Reset();

    HP.Clear();
    HP.SetWorkLimit(MatrixWorkPerRun);
    m_word = nullptr;
    m_literal = nullptr;

    GetSym();
    int stalls = 0;
    // Whether the statement before ended at an "=" that asks for its value.
    bool valueWaiting = false;
    for (;;) {
        if (sym() == eof)
            break;
        // Words of the keyword table, list dashes, colons and other text that cannot begin a
        // calculation are passed over; so is an "=" with no calculation before it (====).
        if (sym() == Eql ? !valueWaiting : !startsStatement(sym()) && !signedCalculationFollows()) {
            GetSym();
            valueWaiting = false;
            continue;
        }
        const quint64 before = FScanner.Steps();
        // Only the value of an expression that an "=" starting this statement asks for is
        // carried over from the statement before (Price 3 * 4 =).
        if (sym() != Eql)
            HP.Clear();
        // A word waiting for a definition or an "=" waits to the end of its line only.
        if (FScanner.Line() != FScanner.PrevSymLine())
            prevSym = NoSym;
        Statement();
        if (FErrorCode == 0 && HP.Error().isEmpty() && brokenCalculation())
            FErrorCode = ExpressionError;
        const bool failed = FErrorCode != 0 || !HP.Error().isEmpty();
        if (failed)
            reportStatementError();
        // The "=" asks for the statement's value or its word only right after it on its line.
        valueWaiting = !failed && sym() == Eql && FScanner.Line() == FScanner.PrevSymLine()
                       && (HP.Depth() > 0 || prevSym == Ident);
        while (sym() == NoSym)
            GetSym();
        // A statement may leave its first symbol in place for the next one (a vector name
        // before "["), but two in a row that read nothing would repeat for ever: the symbol
        // is then passed over.
        if (FScanner.Steps() == before) {
            if (++stalls >= 2) {
                GetSym();
                stalls = 0;
            }
        } else {
            stalls = 0;
        }
    }
    if (sym() != eof || FScanner.ErrorCode() == TSeqScanner::BufferFullError)
        writeError(editorPos(), CanceledText);
}

bool TStrParser::brokenCalculation() const
{
    return HP.Depth() > 0 && sym() != Eql && sym() != eof
           && FScanner.Line() == FScanner.PrevSymLine() && FScanner.ResultRequestedOnLine();
}

bool TStrParser::wordUsedAsOperand() const
{
    // An operator after the word on its line; a "-" glued to what follows is the sign of a
    // number (Balance -20 + 50 =), not a subtraction from the word.
    switch (sym()) {
    case Plus:
    case MulSym:
    case DivSym:
    case PwrSym:
        break;
    case Minus:
        if (FScanner.ch() != u' ' && FScanner.ch() != u'\t')
            return false;
        break;
    default:
        return false;
    }
    return FScanner.Line() == FScanner.PrevSymLine();
}

bool TStrParser::signedCalculationFollows()
{
    // A sign before a number or "(" begins a calculation (-3 * 2 =); before anything else it
    // is text, such as the dash of a list.
    if (sym() != Minus && sym() != Plus)
        return false;
    const QString rest = FScanner.UpcomingText(256);
    static const QRegularExpression start(
        QStringLiteral("^[ \\t]*(\\d|\\(|[A-Za-z_][A-Za-z0-9_$]*)"));
    const QRegularExpressionMatch match = start.match(rest);
    if (!match.hasMatch())
        return false;
    const QString word = match.captured(1);
    if (word.size() == 1 && (word.at(0).isDigit() || word.at(0) == u'('))
        return true;
    // Before a name, only one that has a value: "- x * 2 =" is a calculation, "- buy milk" text.
    // The name is looked up at the scratch position where the next identifier is scanned.
    FScanner.AddToBuffer(word);
    const TParseObj *e = Lookup(FScanner.idPos());
    if (!e)
        return false;
    switch (e->obClass) {
    case VarObject:
        return !isEmptyValue(e);
    case RConst:
    case HPOp:
    case ocRange:
    case ocVector:
    case ocMatrix:
        return true;
    default:
        return false;
    }
}

char16_t TStrParser::nextCharacter() const
{
    const QString rest = FScanner.UpcomingText(256);
    for (const QChar c : rest) {
        if (c.unicode() > u' ')
            return c.unicode();
    }
    return 0;
}

void TStrParser::reportStatementError()
{
    // An error of the machine is written where the statement's expression ended; one of the
    // parser after the symbol where it was found, unless that begins a later line.
    const bool machine = !HP.Error().isEmpty();
    const QString text = machine ? HP.Error() : ErrorText(FErrorCode);
    const qint32 line = FScanner.PrevSymLine();
    const bool sameLine = FScanner.Line() == line;
    writeError(!machine && sameLine ? editorPos() : FScanner.PrevSymEnd() + Ofs, text);
    HP.Reset();
    HP.Clear();
    // After a malformed statement the rest of its line is passed over; the run goes on.
    if (!machine) {
        while (sym() != eof && FScanner.Line() == line)
            GetSym();
    }
    FErrorCode = 0;
    prevSym = NoSym;
}

void TStrParser::declarePredefined()
{
    CreateDoubleConst(QStringLiteral("Pi"), 3.141592653589793);
    static const struct
    {
        const char *name;
        THPOperation op;
    } functions[] = {
        {"sqrt", hpSqrt},   {"sqr", hpSqr}, {"exp", hpExp},     {"ln", hpLn},   {"sin", hpSin},
        {"asin", hpInvSin}, {"cos", hpCos}, {"acos", hpInvCos}, {"tan", hpTan}, {"atan", hpInvTan},
        {"abs", hpAbs},     {"inv", hpInv}, {"sum", hpSum},     {"len", hpLen},
    };
    for (const auto &function : functions)
        CreateHPOp(QString::fromLatin1(function.name), function.op);
    CreateClassOp(QStringLiteral("plot"), ocPlot);

    const auto displayMode = [this](THPMode mode) {
        return [this, mode](TDataStack &stack, const QString &) {
            HP.SetKillZeros(stack.PopBool());
            HP.SetMode(mode);
            HP.SetFixLen(std::clamp(stack.PopInt(), 0, FixLenLimit));
        };
    };
    CreateProcOp(QStringLiteral("FIX"), QStringLiteral("IB"), displayMode(hpFix));
    CreateProcOp(QStringLiteral("ENG"), QStringLiteral("IB"), displayMode(hpEng));
    CreateProcOp(QStringLiteral("SCI"), QStringLiteral("IB"), displayMode(hpSci));
    CreateProcOp(QStringLiteral("HEX"), QStringLiteral("I"),
                 [](TDataStack &stack, const QString &) { stack.PopInt(); });
    CreateBoolConst(QStringLiteral("TRUE"), true);
    CreateBoolConst(QStringLiteral("FALSE"), false);
}

TParseObj *TStrParser::declare(ObjectClass cls)
{
    prevObj = Lookup(FScanner.idPos());
    if (prevObj)
        return nullptr;
    ObjList.push_back(std::make_unique<TParseObj>(FScanner.idPos(), cls));
    FScanner.KeepId();
    return ObjList.back().get();
}

TParseObj *TStrParser::CreateDoubleConst(const QString &IdentStr, double re)
{
    FScanner.AddToBuffer(IdentStr);
    TParseObj *obj = declare(RConst);
    if (obj) {
        obj->p.dValue = re;
        obj->cNum = MakeComplex(re);
    }
    return obj;
}

TParseObj *TStrParser::CreateBoolConst(const QString &IdentStr, bool b)
{
    FScanner.AddToBuffer(IdentStr);
    TParseObj *obj = declare(BConst);
    if (obj)
        obj->p.bc = b;
    return obj;
}

TParseObj *TStrParser::CreateHPOp(const QString &IdentStr, THPOperation AHPOp)
{
    FScanner.AddToBuffer(IdentStr);
    TParseObj *obj = declare(HPOp);
    if (obj)
        obj->p.HPOp = AHPOp;
    return obj;
}

TParseObj *TStrParser::CreateClassOp(const QString &IdentStr, ObjectClass AClassOp)
{
    FScanner.AddToBuffer(IdentStr);
    return declare(AClassOp);
}

TParseObj *TStrParser::CreateProcOp(const QString &IdentStr, const QString &ParamStr,
                                    TOnFuncCall AnExec)
{
    FScanner.AddToBuffer(IdentStr);
    TParseObj *obj = declare(FarProcCall);
    if (obj) {
        obj->p.Exec = std::move(AnExec);
        obj->p.parStr = ParamStr.left(20);
    }
    return obj;
}

TParseObj *TStrParser::Lookup(qint32 n) const
{
    for (auto it = ObjList.rbegin(); it != ObjList.rend(); ++it) {
        if (FScanner.Diff(n, (*it)->Name) == 0)
            return it->get();
    }
    return nullptr;
}

void TStrParser::remove(TParseObj *obj)
{
    if (!obj)
        return;
    if (prevObj == obj)
        prevObj = nullptr;
    if (m_word == obj)
        m_word = nullptr;
    if (m_literal == obj)
        m_literal = nullptr;
    for (auto it = ObjList.end(); it != ObjList.begin();) {
        --it;
        if (it->get() == obj) {
            ObjList.erase(it);
            return;
        }
    }
}

QString TStrParser::ErrorText(qint32 ACode) const
{
    switch (ACode) {
    case 1:
        return QStringLiteral("Wrong Identifier");
    case 2:
        return QStringLiteral("Right Paranthesis missing");
    case 4:
        return QStringLiteral("Error in Expression");
    case 5:
        return QStringLiteral("Operation not possible");
    case 6:
        return QStringLiteral("Right Brackets missing");
    case 7:
        return QStringLiteral("Data Source not assigned");
    case 8:
        return QStringLiteral("Column out of Range");
    case 9:
        return QStringLiteral("Row out of Range");
    case 10:
        return QStringLiteral("Equal sign missing");
    case 13:
        return QStringLiteral("Double expected");
    case 18:
        return QStringLiteral("Index out of range");
    case 20:
        return QStringLiteral("Range too large");
    case 21:
        return QStringLiteral("Too many points to plot");
    default:
        return HP.Error();
    }
}

void TStrParser::exec(THPOperation op)
{
    // A failure leaves its text in FError, which the statement or the run reports.
    HP.ExecOp(op);
}

bool TStrParser::popInteger(qint64 &value)
{
    value = 0;
    return !HP.Pop().toInteger(value).isError();
}

void TStrParser::writeResult(int pos, const QString &text, int lineBreaks)
{
    if (!OnDisplayResult)
        return;
    pos = std::max(pos, 0);
    OnDisplayResult(*this, pos, pos, text);
    Ofs += text.size() - lineBreaks;
}

void TStrParser::writeError(int pos, const QString &text)
{
    if (!OnDisplayError || text.isEmpty())
        return;
    pos = std::max(pos, 0);
    OnDisplayError(*this, pos, text);
    Ofs += text.size();
}

// ---------------------------------------------------------------------------------------------
// Expressions

void TStrParser::Expression(TParseObj *target)
{
    SimpleExpression(target);
    if (isRelation(sym())) {
        // No comparison is made: both sides stay on the machine.
        GetSym();
        SimpleExpression(nullptr);
    }
}

void TStrParser::SimpleExpression(TParseObj *target)
{
    const SymbolType sign = sym();
    if (sign == Plus || sign == Minus)
        GetSym();
    Term(target);
    if (sign == Minus)
        exec(hpCHS);
    while ((sym() == Plus || sym() == Minus || sym() == OrSym) && FErrorCode == 0
           && !operatorBeginsLine()) {
        const SymbolType op = sym();
        GetSym();
        Term(target);
        if (FErrorCode != 0)
            return;
        if (op == Plus)
            exec(hpAdd);
        else if (op == Minus)
            exec(hpSub);
        else
            FErrorCode = OperationNotPossible;
    }
}

bool TStrParser::operatorBeginsLine() const
{
    return m_openParentheses == 0 && FScanner.Line() != FScanner.PrevSymLine();
}

void TStrParser::Term(TParseObj *target)
{
    Power(target);
    while (FErrorCode == 0
           && (sym() == AndSym || sym() == MulSym || sym() == ModSym || sym() == DivSym)
           && !operatorBeginsLine()) {
        const SymbolType op = sym();
        GetSym();
        Power(target);
        if (FErrorCode == 0) {
            if (op == MulSym)
                exec(hpMul);
            else if (op == DivSym)
                exec(hpDiv);
            else
                FErrorCode = OperationNotPossible;
        }
        if (sym() == Eql)
            prevSym = NoSym;
    }
}

bool TStrParser::enterLevel()
{
    if (FErrorCode != 0)
        return false;
    if (m_depth >= MaxNesting) {
        FErrorCode = ExpressionError;
        return false;
    }
    ++m_depth;
    return true;
}

void TStrParser::Power(TParseObj *target)
{
    if (!enterLevel())
        return;
    Factor(target);
    percentSuffix();
    // Right-associative: 2 ^ 3 ^ 2 is 2 ^ 9; the exponent may carry a sign (2 ^ -1).
    if (FErrorCode == 0 && sym() == PwrSym && !operatorBeginsLine()) {
        GetSym();
        Power(nullptr);
        if (FErrorCode == 0)
            exec(hpPwr);
        if (sym() == Eql)
            prevSym = NoSym;
    }
    --m_depth;
}

void TStrParser::percentSuffix()
{
    while (FErrorCode == 0 && sym() == Ident && FScanner.GetIdent(FScanner.idPos()) == u"%") {
        HP.Push(MakeComplex(100.0));
        exec(hpDiv);
        GetSym();
    }
}

void TStrParser::Factor(TParseObj *target)
{
    if (!enterLevel())
        return;
    switch (sym()) {
    case Minus:
    case Plus: {
        // A sign after an operator belongs to the factor that follows (2 * -3), powers first
        // (-2 ^ 2 is -4).
        const bool negate = sym() == Minus;
        GetSym();
        Power(target);
        if (negate)
            exec(hpCHS);
        break;
    }
    case NotSym:
        // NOT has no effect on the value.
        GetSym();
        Factor(target);
        break;
    case LParen: {
        const OpenParenthesis open(m_openParentheses);
        // Only a definition's right side may be a vector or matrix literal, to be read again
        // when it is none: the scanner's state is kept for that case alone.
        std::optional<TSeqScanner::TScanState> atParenthesis;
        if (target)
            atParenthesis = FScanner.SaveState();
        GetSym();
        if (target) {
            Literal(target);
            if (FErrorCode == 0)
                break;
            // Not a vector or matrix: read it again as a parenthesised expression.
            FErrorCode = 0;
            m_literal = nullptr;
            FScanner.RestoreState(*atParenthesis);
            GetSym();
            prevSym = Ident;
            target->obClass = VarObject;
            target->vecAr.clear();
            target->m.clear();
        }
        Expression();
        if (sym() == RParen)
            GetSym();
        else if (FErrorCode == 0)
            FErrorCode = RightParenthesisMissing;
        break;
    }
    case ReNum:
        HP.Push(MakeComplex(FScanner.reVal()));
        GetSym();
        break;
    case IntNum: {
        // Outside parentheses 73,253.50 is one number; inside, a list (1,234).
        double grouped = 0;
        if (m_openParentheses == 0 && FScanner.ReadDigitGroups(FScanner.intVal(), grouped))
            HP.Push(MakeComplex(grouped));
        else
            HP.Push(MakeComplex(FScanner.intVal()));
        GetSym();
        break;
    }
    case ComplexNum:
        HP.Push(MakeComplex(FScanner.cNum().Real(), FScanner.cNum().Imaginary()));
        GetSym();
        break;
    case StrConst:
        // Nothing is pushed; the string stays the current symbol.
        break;
    case Ident:
        if (TParseObj *e = Lookup(FScanner.idPos())) {
            IdentFactor(e);
        } else {
            FErrorCode = WrongIdentifier;
            GetSym();
        }
        break;
    default:
        FErrorCode = ExpressionError;
        break;
    }
    --m_depth;
}

void TStrParser::IdentFactor(TParseObj *e)
{
    switch (e->obClass) {
    case FarProcCall:
    case LocProcCall:
        ParseExecProc(e);
        break;
    case RConst:
    case VarObject:
        // A name that was never given a value pushes nothing and stays the current symbol.
        if (isEmptyValue(e))
            break;
        HP.Push(e->cNum);
        GetSym();
        break;
    case HPOp: {
        GetSym();
        if (sym() != LParen)
            break;
        const OpenParenthesis open(m_openParentheses);
        GetSym();
        if (e->p.HPOp == hpSum) {
            SumForms();
            break;
        }
        Expression();
        if (FErrorCode == 0)
            exec(e->p.HPOp);
        if (sym() == RParen) {
            GetSym();
            if (sym() == Eql)
                prevSym = NoSym;
        }
        break;
    }
    case ocRange:
        // The range's name stands for its current value.
        GetSym();
        HP.Push(MakeComplex(e->p.rgInc));
        break;
    case ocVector:
        VectorFactor(e);
        break;
    case ocPlot:
        GetSym();
        Plot();
        prevSym = NoSym;
        break;
    case ocMatrix:
        MatrixFactor(e);
        break;
    default:
        // Boolean constants and the kinds the calculator does not use push nothing.
        break;
    }
}

void TStrParser::Plot()
{
    if (sym() != LParen)
        return;
    GetSym();
    TPlotCall call(*this);
    switch (call.read()) {
    case TPlotCall::Outcome::Complete:
        // The place is taken while ")" is current: the scanner's character is the one after it.
        if (OnPlot)
            Ofs += OnPlot(call.data(), plotPosition());
        GetSym();
        return;
    case TPlotCall::Outcome::TooManyPoints:
        FErrorCode = PlotTooLarge;
        return;
    case TPlotCall::Outcome::Abandoned:
        // Nothing is drawn; the run goes on after the call.
        skipToClosingParenthesis();
        if (sym() == RParen)
            GetSym();
        return;
    }
}

int TStrParser::plotPosition() const
{
    // The start of the line after the call; when text follows the call on its line, the picture
    // goes right after the character after ")", ahead of what the scanner has still to read.
    const QString rest = FScanner.UpcomingText(256);
    qsizetype blanks = 0;
    while (blanks < rest.size() && (rest.at(blanks) == u' ' || rest.at(blanks) == u'\t'))
        ++blanks;
    const bool lineEnds
        = blanks == rest.size() || rest.at(blanks) == u'\r' || rest.at(blanks) == u'\n';
    return editorPos() + (lineEnds ? int(blanks) : 0) + 1;
}

void TStrParser::VectorFactor(TParseObj *e)
{
    GetSym();
    if (sym() != LBrackets) {
        HP.PushVector(e->vecAr);
        m_elementsPushed += e->vecAr.size();
        return;
    }
    GetSym();
    const TParseObj *indexName = sym() == Ident ? Lookup(FScanner.idPos()) : nullptr;
    const bool byRange = indexName && indexName->obClass == ocRange;
    Expression();
    if (HP.TopType() != tiDouble) {
        HP.Pop();
        FErrorCode = IndexOutOfRange;
        return;
    }
    qint64 index = 0;
    const bool whole = popInteger(index);
    if (byRange && sym() == RBrackets && FScanner.BecomesFollows()) {
        // An indexed definition follows. Moving idPos back never reaches into kept names.
        if (prevId >= FScanner.idPos())
            FScanner.SetIdPos(prevId);
        return;
    }
    // A range index is checked like any other: an element that does not exist is never read.
    if (!whole || index < 0 || index >= e->vecAr.size()) {
        FErrorCode = IndexOutOfRange;
        return;
    }
    HP.Push(e->vecAr.at(index));
    if (sym() == RBrackets)
        GetSym();
}

void TStrParser::MatrixFactor(TParseObj *e)
{
    GetSym();
    if (sym() != LBrackets) {
        HP.PushMatrix(e->m);
        for (const TComplexArray &row : e->m)
            m_elementsPushed += row.size();
        return;
    }
    GetSym();
    Expression();
    qint64 row = 0;
    const bool rowNumber = HP.TopType() == tiDouble;
    const bool rowWhole = popInteger(row);
    if (!rowNumber || sym() != Comma) {
        FErrorCode = IndexOutOfRange;
        return;
    }
    GetSym();
    Expression();
    qint64 column = 0;
    const bool columnNumber = HP.TopType() == tiDouble;
    const bool columnWhole = popInteger(column);
    if (!rowNumber || !columnNumber || !rowWhole || !columnWhole || row < 0 || row >= e->m.size()
        || column < 0 || column >= e->m.at(row).size()) {
        FErrorCode = IndexOutOfRange;
        return;
    }
    HP.Push(e->m.at(row).at(column));
    if (sym() == RBrackets)
        GetSym();
}

void TStrParser::SumForms()
{
    Expression();
    if (HP.TopType() != tiDouble) {
        // The sum of a vector's elements.
        exec(hpSum);
        GetSym();
        prevSym = NoSym;
        return;
    }
    qint64 lo = 0;
    popInteger(lo);
    if (sym() != Comma)
        return;
    GetSym();
    Expression();
    if (FErrorCode != 0)
        return;
    qint64 hi = 0;
    popInteger(hi);
    if (sym() != Comma)
        return;
    const qsizetype pieceStart = FScanner.CurrentIndex() + 1;
    const char16_t pieceCh = FScanner.ch();
    GetSym();

    TCalcValue total = MakeComplex(0.0);
    std::optional<TSeqScanner::TScanState> afterTerm;
    // hi - lo + 1 without overflow: the bounds are 64-bit.
    const double count = double(hi) - double(lo) + 1.0;
    if (count < 1) {
        // An empty sum is 0; its term is passed over unevaluated.
        skipToClosingParenthesis();
    } else {
        qint64 evaluations = 1;
        bool closedForm = false;
        QString piece;
        for (qint64 i = 0; i < evaluations; ++i) {
            const qint64 elementsBefore = m_elementsPushed;
            Expression();
            if (FErrorCode != 0)
                break;
            if (i == 0) {
                piece = FScanner.SourcePiece(pieceStart, FScanner.CurrentIndex() + 1);
                afterTerm = FScanner.SaveState();
                const double rescan
                    = (count - 1) * termCost(piece, m_elementsPushed - elementsBefore);
                closedForm = rescan > m_sumRescanBudget;
                if (!closedForm) {
                    m_sumRescanBudget -= rescan;
                    evaluations = qint64(count);
                }
            }
            TCalcValue term = HP.Pop();
            // The term is the same at every step, so a sum too long to add up term by term is
            // the count times the term.
            if (closedForm)
                TCalcValue::binary(TCalcBinaryOp::Multiply, term, MakeComplex(count), term);
            if (TCalcError error = TCalcValue::binary(TCalcBinaryOp::Add, total, term, total)) {
                HP.SetError(error.text());
                break;
            }
            if (i + 1 < evaluations) {
                FScanner.Rescan(piece, pieceCh);
                GetSym();
            }
        }
    }
    // Scanning goes on after the term as read the first time.
    if (afterTerm)
        FScanner.RestoreState(*afterTerm);
    HP.Push(total);
    if (sym() == RParen) {
        GetSym();
        if (sym() == Eql)
            prevSym = NoSym;
    } else if (FErrorCode == 0) {
        FErrorCode = RightParenthesisMissing;
    }
}

void TStrParser::ParseExecProc(TParseObj *vObj)
{
    GetSym();
    if (sym() != LParen)
        return;
    GetSym();
    const quint16 mark = DataStack.eos;
    const QString &kinds = vObj->p.parStr;
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        const QChar kind = kinds.at(i);
        if (sym() == Ident) {
            if (const TParseObj *a = Lookup(FScanner.idPos())) {
                if (a->obClass == RConst) {
                    FScanner.SetNumberSymbol(a->p.dValue);
                } else if (a->obClass == BConst) {
                    if (kind == u'B')
                        DataStack.BoolToStack(a->p.bc);
                    else
                        FErrorCode = BooleanArgumentError;
                    FScanner.ClearSymbol();
                } else if (a->obClass == SConst) {
                    FScanner.SetStringSymbol(a->p.sc);
                }
            }
        }
        if (sym() == ReNum) {
            if (kind == u'R')
                DataStack.PushDouble(FScanner.reVal());
            else
                FErrorCode = NumberArgumentError;
        } else if (sym() == IntNum) {
            if (kind == u'I')
                DataStack.PushInt(FScanner.intVal());
            else
                FErrorCode = NumberArgumentError;
        } else if (sym() == StrConst) {
            if (kind == u'S')
                DataStack.PushStr(FScanner.sVal());
            else
                FErrorCode = StringArgumentError;
        } else if (sym() != NoSym) {
            // A variable, an unknown name or any other symbol is no argument: the call is
            // refused rather than run with an argument it was never given.
            FErrorCode = NumberArgumentError;
        }
        if (FErrorCode != 0)
            break;
        GetSym();
        if (sym() != Comma && sym() != RParen) {
            FErrorCode = ArgumentSeparatorError;
            break;
        }
        if (i == kinds.size() - 1 && sym() != RParen) {
            FErrorCode = RightParenthesisMissing;
            break;
        }
        GetSym();
    }
    if (FErrorCode == 0 && DataStack.ErrorCode == 0) {
        vObj->p.Exec(DataStack, kinds);
    } else {
        // The arguments of a refused call must not be taken by a later one.
        DataStack.eos = mark;
        DataStack.ErrorCode = 0;
    }
}

void TStrParser::Literal(TParseObj *target)
{
    if (sym() == LParen) {
        target->obClass = ocMatrix;
        target->m.clear();
        GetSym();
        for (;;) {
            target->m.append(List());
            if (FErrorCode != 0)
                break;
            if (sym() == Comma) {
                GetSym();
                if (sym() != LParen) {
                    FErrorCode = MatrixRowError;
                    break;
                }
                GetSym();
            } else if (sym() == RParen || sym() == eof) {
                break;
            } else {
                FErrorCode = RightParenthesisMissing;
                break;
            }
        }
        if (sym() == RParen)
            GetSym();
        prevSym = NoSym;
        m_literal = target;
        return;
    }
    target->obClass = ocVector;
    target->vecAr = List();
    if (target->vecAr.size() == 1 && FErrorCode == 0)
        FErrorCode = SingleElementVector;
    prevSym = NoSym;
    m_literal = target;
}

TComplexArray TStrParser::List()
{
    TComplexArray elements;
    while (sym() != RParen && sym() != eof && FErrorCode == 0) {
        Expression();
        elements.append(HP.Pop());
        if (sym() == Comma) {
            GetSym();
        } else if (sym() != RParen) {
            if (FErrorCode == 0)
                FErrorCode = RightParenthesisMissing;
            return elements;
        }
    }
    if (sym() == RParen)
        GetSym();
    return elements;
}

void TStrParser::skipToClosingParenthesis()
{
    int depth = 0;
    while (sym() != eof && sym() != Eql && !(sym() == RParen && depth == 0)) {
        if (sym() == LParen)
            ++depth;
        else if (sym() == RParen)
            --depth;
        GetSym();
    }
}

// ---------------------------------------------------------------------------------------------
// Statements

void TStrParser::Statement()
{
    TParseObj *target = nullptr;
    const SymbolType c = sym();
    // An "=" beginning a statement belongs to the name the statement before began with.
    if (c != Eql)
        m_word = nullptr;
    if (c == LParen || startsNumber(c) || c == Minus || c == Plus) {
        // A calculation of its own: a word before it no longer waits for an "=".
        prevSym = NoSym;
        Expression();
    } else if (c == Ident) {
        if (TParseObj *created = declare(VarObject)) {
            target = created;
            m_word = created;
            prevSym = Ident;
            prevId = FScanner.idPos();
            GetSym();
        } else if ((prevObj->obClass == ocVector || prevObj->obClass == ocMatrix)
                   && indexedDefinitionFollows()) {
            // Declared afresh by the next statement, as the target of an indexed definition.
            remove(prevObj);
            return;
        } else if (prevObj->obClass == VarObject && isEmptyValue(prevObj)) {
            // A word met before that never got a value: still a word, which a definition may
            // yet give a value.
            target = prevObj;
            m_word = prevObj;
            prevSym = Ident;
            prevId = FScanner.idPos();
            GetSym();
        } else {
            TParseObj *e = prevObj;
            m_word = e;
            prevId = FScanner.idPos();
            prevSym = Ident;
            const bool alone = nextCharacter() == u'=';
            Expression();
            if (FErrorCode != 0)
                return;
            if (sym() == Becomes && m_word) {
                // An assignment to an existing name.
                HP.Pop();
                GetSym();
                Expression(e);
                takeResult(e);
                return;
            }
            // Only the vector's name alone is shown as the vector variable; an element or a
            // computed vector is a result like any other.
            if (sym() == Eql && !(e->obClass == ocVector && alone))
                prevSym = NoSym;
        }
    }

    // A failed expression shows no result: the error is reported in its place.
    if (FErrorCode != 0 && sym() == Eql)
        return;
    switch (sym()) {
    case Eql:
        ResultRequest();
        return;
    case LBrackets:
        IndexedDefinition(target);
        return;
    case Becomes:
        Definition(target);
        return;
    default:
        break;
    }
    if (sym() == Ident && prevSym == Ident) {
        // Two names in a row: the first was a word; the second starts the next statement.
        remove(target);
        FErrorCode = 0;
        return;
    }
    // A value left by the beginning of the statement (5 + ) =): text that breaks it off before
    // an "=" on the same line is an error of that line, not a word to pass over.
    // A word waits for a definition or an "=" to the end of its line only; the next line is a
    // statement of its own (a heading above a list of dashes).
    if (target && prevSym == Ident && FScanner.Line() != FScanner.PrevSymLine())
        return;
    const bool valueLeft = HP.Depth() > 0;
    if (valueLeft && FScanner.Line() == FScanner.PrevSymLine()
        && FScanner.ResultRequestedOnLine()) {
        // 3 4 = or 2 x 1.50 =: the "=" would show the later part alone.
        FErrorCode = ExpressionError;
        return;
    }
    if (target && prevSym == Ident && wordUsedAsOperand()) {
        // x * 2 = with x never defined: the word has no value to compute with.
        remove(target);
        FErrorCode = WrongIdentifier;
        return;
    }
    const quint64 beforeExpression = FScanner.Steps();
    if (sym() != Ident) {
        Expression();
        // The "=" after a word and a calculation asks for the calculation (Total 1.29 + 2.49 =).
        if (FErrorCode == 0)
            prevSym = NoSym;
    }
    if (FErrorCode != 0) {
        if (prevSym == Ident)
            remove(target);
        // An expression that fails at its first symbol was text; one that fails further on is
        // a calculation that must not show a result without its error.
        const bool brokenOff = valueLeft || FScanner.Steps() != beforeExpression;
        if (FErrorCode == ExpressionError && brokenOff
            && (sym() == Eql || FScanner.ResultRequestedOnLine()))
            return;
        GetSym();
        // Ordinary text between calculations is passed over.
        if (FErrorCode == ExpressionError)
            FErrorCode = 0;
    }
}

void TStrParser::ResultRequest()
{
    const int pos = editorPos();
    // The name the statement began with, if it is still pending.
    const bool pending = prevSym == Ident;
    TParseObj *e = pending ? m_word : nullptr;
    prevSym = NoSym;
    if (e && e->obClass == ocVector) {
        if (HP.TopType() == tiVector)
            HP.PopVector();
        DisplayVectorVariable(pos, e->vecAr);
        GetSym();
        return;
    }
    if (pending && (!e || isEmptyValue(e))) {
        // A word followed by "=" has no value to show: the word is dropped and the rest of its
        // line is passed over.
        remove(e);
        while (FScanner.ch() != u'\n' && !(FScanner.ch() == 0 && FScanner.SourceEmpty()))
            FScanner.GetCh();
        GetSym();
        return;
    }
    const qint32 line = FScanner.Line();
    GetSym();
    if (!HP.Error().isEmpty()) {
        writeError(pos, HP.Error());
        HP.Reset();
        HP.Pop();
    } else {
        const QString text = u' ' + HP.Display();
        writeResult(pos, text, HP.DisplayLines());
    }
    // A number already written after the "=" on the same line is passed over.
    if ((sym() == ReNum || sym() == IntNum) && FScanner.Line() == line)
        GetSym();
}

bool TStrParser::indexedDefinitionFollows() const
{
    // "[", a name, "]" and ":=": the name is being defined afresh. Reading an element (v[0] =)
    // leaves the variable alone.
    static const QRegularExpression pattern(
        QStringLiteral("^\\[\\s*[^\\s\\]\\[(){}]+\\s*\\]\\s*:="));
    return FScanner.ch() == u'[' && pattern.match(FScanner.UpcomingText(256)).hasMatch();
}

void TStrParser::Definition(TParseObj *target)
{
    GetSym();
    Expression(target);
    if (sym() == Comma || sym() == TwoPoint) {
        // A range: start [, second] .. end.
        const double start = HP.Pop().realPart();
        double by = 1.0;
        if (sym() == Comma) {
            GetSym();
            Expression();
            by = HP.Pop().realPart() - start;
        }
        GetSym();
        Expression();
        const double end = HP.Pop().realPart();
        prevSym = NoSym;
        if (target) {
            target->obClass = ocRange;
            target->p.rgStart = start;
            target->p.rgBy = by;
            target->p.rgEnd = end;
            target->p.rgInc = 0.0;
        }
        return;
    }
    if (target)
        takeResult(target);
}

void TStrParser::takeResult(TParseObj *target)
{
    prevSym = NoSym;
    if (!HP.Error().isEmpty() || FErrorCode != 0) {
        // A failed expression defines nothing.
        remove(target);
        return;
    }
    // A vector or matrix literal has put itself into the target.
    if (m_literal == target) {
        m_literal = nullptr;
    } else {
        switch (HP.TopType()) {
        case tiMatrix:
            target->obClass = ocMatrix;
            target->m = HP.PopMatrix();
            break;
        case tiVector:
            target->obClass = ocVector;
            target->vecAr = HP.PopVector();
            break;
        default:
            target->obClass = VarObject;
            target->cNum = HP.Pop();
            break;
        }
    }
    // An "=" right after a definition asks for the value just defined.
    if (sym() == Eql)
        pushValue(target);
}

void TStrParser::pushValue(const TParseObj *e)
{
    switch (e->obClass) {
    case ocMatrix:
        HP.PushMatrix(e->m);
        break;
    case ocVector:
        HP.PushVector(e->vecAr);
        break;
    default:
        HP.Push(e->cNum);
        break;
    }
}

void TStrParser::IndexedDefinition(TParseObj *target)
{
    if (!target)
        return;
    fillIndexed(target);
    // A refused definition defines nothing: a later sum(y) must not find an empty vector.
    if (FErrorCode != 0 || !HP.Error().isEmpty())
        remove(target);
}

void TStrParser::fillIndexed(TParseObj *target)
{
    target->obClass = ocVector;
    target->vecAr.clear();
    GetSym();
    TParseObj *r = sym() == Ident ? Lookup(FScanner.idPos()) : nullptr;
    if (!r || r->obClass != ocRange)
        return;
    GetSym();
    qsizetype pieceStart = FScanner.CurrentIndex() + 1;
    char16_t pieceCh = FScanner.ch();
    if (sym() == RBrackets) {
        GetSym();
        pieceStart = FScanner.CurrentIndex() + 1;
        pieceCh = FScanner.ch();
        if (sym() == Becomes) {
            const qint64 count = RangeCount(*r);
            if (count < 0) {
                FErrorCode = RangeTooLarge;
                return;
            }
            target->vecAr.resize(count);
        }
        GetSym();
    }
    r->p.rgInc = r->p.rgStart;

    bool runningSum = false;
    if (sym() == Ident) {
        const TParseObj *f = Lookup(FScanner.idPos());
        runningSum = f && f->obClass == HPOp && f->p.HPOp == hpSum;
    }
    if (runningSum) {
        GetSym();
        if (sym() != LParen) {
            FErrorCode = MatrixRowError;
            return;
        }
        GetSym();
        Expression();
        if (HP.TopType() != tiDouble) {
            exec(hpSum);
        } else {
            // The bounds only set the number of elements.
            qint64 b = 0;
            popInteger(b);
            if (sym() == Comma) {
                GetSym();
                Expression();
                qint64 c = 0;
                popInteger(c);
                if (sym() == Comma) {
                    pieceStart = FScanner.CurrentIndex() + 1;
                    pieceCh = FScanner.ch();
                    const double count = double(c) - double(b) + 1.0;
                    if (count > MaxRangeElements) {
                        FErrorCode = RangeTooLarge;
                        return;
                    }
                    target->vecAr.resize(count < 0 ? 0 : qsizetype(count));
                    GetSym();
                }
            }
        }
    }

    // The expression is read once per element (once at least, so that it is passed over).
    std::optional<TSeqScanner::TScanState> afterExpression;
    QString piece;
    TCalcValue total = MakeComplex(0.0);
    const qsizetype count = target->vecAr.size();
    for (qsizetype i = 0; i < std::max<qsizetype>(count, 1); ++i) {
        const qint64 elementsBefore = m_elementsPushed;
        Expression();
        if (FErrorCode != 0)
            break;
        if (i == 0) {
            piece = FScanner.SourcePiece(pieceStart, FScanner.CurrentIndex() + 1);
            afterExpression = FScanner.SaveState();
            const double rescan = double(std::max<qsizetype>(count - 1, 0))
                                  * termCost(piece, m_elementsPushed - elementsBefore);
            if (rescan > m_vectorRescanBudget) {
                FErrorCode = RangeTooLarge;
                break;
            }
            m_vectorRescanBudget -= rescan;
        }
        const TCalcValue value = HP.Pop();
        // The machine may still hold the vector being filled, from an expression that named it:
        // every element written would then copy the whole vector.
        HP.ReleaseShared(target->vecAr);
        if (i < count) {
            if (runningSum) {
                if (TCalcError error
                    = TCalcValue::binary(TCalcBinaryOp::Add, total, value, total)) {
                    HP.SetError(error.text());
                    break;
                }
                target->vecAr[i] = total;
            } else {
                target->vecAr[i] = value;
            }
        }
        r->p.rgInc += r->p.rgBy;
        if (i + 1 < count) {
            FScanner.Rescan(piece, pieceCh);
            GetSym();
        }
    }
    // Scanning goes on after the expression as read the first time.
    if (afterExpression)
        FScanner.RestoreState(*afterExpression);
    if (runningSum) {
        if (sym() == RParen) {
            GetSym();
            if (sym() == Eql)
                prevSym = NoSym;
        } else if (FErrorCode == 0) {
            FErrorCode = RightParenthesisMissing;
        }
    }
}

void TStrParser::DisplayVectorVariable(int pos, const TComplexArray &v)
{
    QString text = QStringLiteral(" (");
    int lineBreaks = 0;
    for (qsizetype i = 0; i < v.size(); ++i) {
        text += HP.DisplayValue(v.at(i)) + QStringLiteral(", ");
        if ((i + 1) % 5 == 0) {
            text += QStringLiteral("\r\n");
            ++lineBreaks;
        }
    }
    const qsizetype comma = text.lastIndexOf(u',');
    if (comma >= 0) {
        if (text.endsWith(QStringLiteral("\r\n")))
            --lineBreaks;
        text.truncate(comma);
    }
    text += u')';
    writeResult(pos, text, lineBreaks);
}
