#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "calc/datastack.h"
#include "calc/hpcalc.h"
#include "calc/parseobj.h"
#include "calc/plotdata.h"
#include "calc/seqscanner.h"

// The in-note calculator: reads a note's text with the scanner and evaluates it while parsing,
// statement after statement, on its own stack machine. One per note; the machine's display
// settings (FIX, ENG, SCI and their digits) last as long as the parser.
//
// The parser knows nothing of editors: it reports every result and error through the two
// callbacks, at editor positions (a line break counts one position). A writer must insert
// exactly the text it is given at that position; the parser keeps Ofs, the number of positions
// written so far in the run, from the texts it hands out.
class TStrParser
{
public:
    using TOnDisplayResult = std::function<void(TStrParser &AScanner, int StartPos, int EndPos,
                                                const QString &AResult)>;
    using TOnDisplayError
        = std::function<void(TStrParser &AParser, int APos, const QString &AnError)>;
    // Called for a complete plot call with what to draw and the editor position where the
    // picture goes (the start of the line after the call); returns the number of positions the
    // note grew by there.
    using TOnPlot = std::function<int(const TPlotData &AData, int APos)>;

    // Error codes of FErrorCode.
    enum : qint32 {
        WrongIdentifier = 1,
        RightParenthesisMissing = 2,
        MatrixRowError = 3,
        ExpressionError = 4,
        OperationNotPossible = 5,
        MachineError = 11,
        NumberArgumentError = 12,
        BooleanArgumentError = 14,
        StringArgumentError = 15,
        ArgumentSeparatorError = 17,
        IndexOutOfRange = 18,
        SingleElementVector = 19,
        RangeTooLarge = 20,
        PlotTooLarge = 21,
    };

    static const QString CanceledText;

    TStrParser();
    ~TStrParser();

    // One calculation run over text, the whole plain text of a note with CR LF line breaks:
    // from the top down to its end or to the first error that ends the run.
    void Run(const QString &text);

    TParseObj *CreateDoubleConst(const QString &IdentStr, double re);
    TParseObj *CreateBoolConst(const QString &IdentStr, bool b);
    TParseObj *CreateHPOp(const QString &IdentStr, THPOperation AHPOp);
    TParseObj *CreateClassOp(const QString &IdentStr, ObjectClass AClassOp);
    TParseObj *CreateProcOp(const QString &IdentStr, const QString &ParamStr, TOnFuncCall AnExec);
    // The entry named by the name at buffer position n, the one declared last; nullptr if none.
    TParseObj *Lookup(qint32 n) const;
    // The text of an error code; the machine's error text for codes that have none.
    QString ErrorText(qint32 ACode) const;

    TOnDisplayResult OnDisplayResult;
    TOnDisplayError OnDisplayError;
    TOnPlot OnPlot;

    // The scanner, for code that reads a call's arguments itself.
    TSeqScanner &Scanner() { return FScanner; }

    // Forgets the names the last run declared; the next Run declares its own.
    void reset();

private:
    qint32 FErrorCode = 0;
    std::vector<std::unique_ptr<TParseObj>> ObjList;
    QString OriSource;
    qint32 Ofs = 0;
    qint32 prevId = 0;
    SymbolType prevSym = NoSym;
    TParseObj *prevObj = nullptr;

    TSeqScanner FScanner;
    THPCalc HP;
    TDataStack DataStack;

    SymbolType sym() const { return FScanner.sym(); }
    void GetSym() { FScanner.GetSym(); }
    void declarePredefined();
    TParseObj *declare(ObjectClass cls);
    void remove(TParseObj *obj);
    void exec(THPOperation op);
    bool popInteger(qint64 &value);
    int editorPos() const { return FScanner.NrOfChar() - 1 - FScanner.Line() + Ofs; }
    void writeResult(int pos, const QString &text, int lineBreaks);
    void writeError(int pos, const QString &text);

    // Expressions; target is the entry being defined, for vector and matrix literals.
    void Expression(TParseObj *target = nullptr);
    void SimpleExpression(TParseObj *target);
    void Term(TParseObj *target);
    void Power(TParseObj *target);
    void Factor(TParseObj *target);
    // A "%" after a factor: the factor divided by 100.
    void percentSuffix();
    // Enters one more level of nesting, or sets the error and says no.
    bool enterLevel();
    // Whether the current operator begins a line outside parentheses: it ends the expression
    // before it (a signed line after a definition is a calculation of its own).
    bool operatorBeginsLine() const;
    void IdentFactor(TParseObj *e);
    void VectorFactor(TParseObj *e);
    void MatrixFactor(TParseObj *e);
    void SumForms();
    void Plot();
    int plotPosition() const;
    void ParseExecProc(TParseObj *vObj);
    void Literal(TParseObj *target);
    TComplexArray List();
    void skipToClosingParenthesis();

    // Statements.
    void Statement();
    bool signedCalculationFollows();
    // After a statement that left a value unused: whether the rest of its line would show a
    // result that silently drops that value (5 + ) =, 3,5 =, 2 x 1.50 =).
    bool brokenCalculation() const;
    // Whether the word that began the statement is followed by an operator, as a value would be.
    bool wordUsedAsOperand() const;
    // The first character after blanks and line breaks that the scanner has still to read.
    char16_t nextCharacter() const;
    void reportStatementError();
    bool indexedDefinitionFollows() const;
    void ResultRequest();
    void Definition(TParseObj *target);
    // Gives the target the value the expression left (or removes it after an error); an "="
    // that follows finds the value on the machine.
    void takeResult(TParseObj *target);
    void pushValue(const TParseObj *e);
    void IndexedDefinition(TParseObj *target);
    void fillIndexed(TParseObj *target);
    void DisplayVectorVariable(int pos, const TComplexArray &v);

    int m_depth = 0;
    // Parentheses open around the symbol being read, in the expression being read.
    int m_openParentheses = 0;
    // The name the current statement began with, and a target a literal has filled.
    TParseObj *m_word = nullptr;
    TParseObj *m_literal = nullptr;
    // Characters sums and vectors may still read again in this run.
    double m_sumRescanBudget = 0;
    double m_vectorRescanBudget = 0;
    // Elements of the vectors and matrices pushed so far: the machine's work on them.
    qint64 m_elementsPushed = 0;
};
