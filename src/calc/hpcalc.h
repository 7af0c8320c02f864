#pragma once

#include <limits>
#include <variant>
#include <vector>

#include <QRandomGenerator>
#include <QString>

#include "calc/calcerror.h"
#include "calc/calcvalue.h"
#include "calc/complexmatrix.h"

enum THPOperation : quint8 {
    hpAdd,
    hpSub,
    hpMul,
    hpDiv,
    hpEnter,
    hpPwr,
    hpPwr10,
    hpInv,
    hpSin,
    hpInvSin,
    hpCos,
    hpInvCos,
    hpTan,
    hpInvTan,
    hpExc,
    hpLn,
    hpLog10,
    hpCHS,
    hpExp,
    hpSqr,
    hpAbs,
    hpInt,
    hpFrac,
    hpSum,
    hpLen,
    hpSqrt,
    hpStackDown,
    hpStackUp,
    hpLastX,
    hpRandom,
    hpToRad,
    hpToDeg,
    hpFact,
    hpPC,
    hpdPC,
    hpToPol,
    hpToRect,
    hpToHMS,
    hpToH,
};

enum THPMode : quint8 { hpFix, hpSci, hpEng };
enum THPTrigMode : quint8 { hpDeg, hpRad, hpGrad };
// The kinds of item on the machine, in the order of the alternatives of THPCalc's items.
enum THPTypeInfo : quint8 { tiDouble, tiMatrix, tiVector };

// The stack machine of the in-note calculator. The parser pushes operands and runs operations;
// Display gives the text of the top result, or of the first error since the last Reset.
//
// Numbers, matrices and vectors share one stack; each item is one of the three, so its kind and
// its value cannot disagree. The stack grows as deep as an expression needs, up to MaxDepth
// items; a push beyond that is refused with the error "Stack overflow".
class THPCalc
{
public:
    static constexpr qsizetype MaxDepth = 10000;

    // hpRandom draws from a securely seeded generator, or from the given seed (tests, benchmarks).
    THPCalc();
    explicit THPCalc(quint32 seed);

    // Each pop takes the top item whatever its kind; an item of another kind is dropped and the
    // pop returns an undefined number (NAN) or an empty vector or matrix. Popping an empty
    // machine gives 0 or an empty vector or matrix.
    void Push(const TCalcValue &x);
    TCalcValue Pop();
    void PushMatrix(const TComplexMatrix &x);
    TComplexMatrix PopMatrix();
    void PushVector(const TComplexArray &x);
    TComplexArray PopVector();
    // The kind of the top item and of the one below it; tiDouble where there is none.
    THPTypeInfo TopType() const { return typeAt(1); }
    THPTypeInfo TypeBelowTop() const { return typeAt(2); }
    // The number fromTop items down (1 is the top), without taking it off; 0 where there is no
    // item or the item is a vector or matrix.
    TCalcValue ValueAt(qsizetype fromTop) const;
    qsizetype Depth() const { return qsizetype(m_items.size()); }
    // Empties the stack; display settings and the error stay.
    void Clear();
    // Vector and matrix operations may do this many element operations (multiply-adds) from
    // now on; one that would need more is refused with "Calculation too large". Unlimited
    // until set.
    void SetWorkLimit(double elementOperations) { m_workLeft = elementOperations; }
    // An expression that names a vector leaves it on the machine, sharing its elements; this
    // empties every vector on the stack that shares v's, so that v can be written without a
    // copy. The items keep their places.
    void ReleaseShared(const TComplexArray &v);

    // Runs one operation. A failure pops the operands, pushes an undefined number in place of
    // the result (so the items below keep their places) and is returned. The first failure
    // since the last Reset stays as Error, to be delivered by Display, whatever follows.
    TCalcError ExecOp(THPOperation AnOp);
    // The real part of X before the last operation other than hpLastX.
    double LastX() const { return m_lastX; }

    // The text of the first failure since the last Reset; empty when none.
    const QString &Error() const { return m_error; }
    // Replaces the error text: the parser's own failures inside an expression are shown this way.
    void SetError(const QString &text) { m_error = text; }

    // Display settings, kept until changed: the format of numbers, the number of digits, and
    // whether trailing zeros are removed.
    void SetMode(THPMode mode) { m_mode = mode; }
    void SetFixLen(qint32 fixLen) { m_fixLen = fixLen; }
    void SetKillZeros(bool killZeros) { m_killZeros = killZeros; }

    // Text of the top result (or of Error); takes the item off the machine and clears Error.
    QString Display();
    QString DisplayMatrix(const TComplexMatrix &m);
    QString DisplayVector(const TComplexArray &v);
    // Line breaks in the text of the last Display, DisplayMatrix or DisplayVector.
    qint32 DisplayLines() const { return m_displayLines; }
    // Text of a number in the current mode, FixLen and KillZeros.
    QString DisplayValue(const TCalcValue &x) const;
    // Clears Error and DisplayLines.
    void Reset();

private:
    // One item of the stack; the alternative's index is its THPTypeInfo.
    using Item = std::variant<TCalcValue, TComplexMatrix, TComplexArray>;

    explicit THPCalc(const QRandomGenerator &random);
    THPTypeInfo typeAt(qsizetype fromTop) const;
    bool reserve();
    void pushItem(Item item);
    Item popItem();
    // Each operation runs through one row of a table: its handler and what the handler needs.
    struct Operation;
    static const Operation &operation(THPOperation op);
    TCalcError execute(THPOperation op);
    // A number function of X, or of X and Y, its result pushed.
    TCalcError unary(const Operation &operation);
    TCalcError binary(const Operation &operation);
    // A function of an angle (sine, cosine, tangent) and one giving an angle (their inverses),
    // with angles in m_trigMode's unit.
    TCalcError ofAngle(const Operation &operation);
    TCalcError toAngle(const Operation &operation);
    TCalcError angleFunction(const Operation &operation, double before, double after);
    TCalcError arithmetic(const Operation &operation);
    TCalcError enter(const Operation &operation);
    TCalcError exchange(const Operation &operation);
    TCalcError sum(const Operation &operation);
    TCalcError length(const Operation &operation);
    TCalcError rollDown(const Operation &operation);
    TCalcError rollUp(const Operation &operation);
    TCalcError lastX(const Operation &operation);
    TCalcError random(const Operation &operation);
    TCalcError drop(const Operation &operation);
    TCalcError percent(const Operation &operation);
    TCalcError toPolar(const Operation &operation);
    TCalcError toRectangular(const Operation &operation);
    // An operation given a vector or matrix it cannot take: the few that can are done here,
    // every other one takes its operands off and fails.
    TCalcError arrayFunction(const Operation &operation);
    TCalcValue topValue() const { return ValueAt(1); }
    bool charge(double elementOperations);
    // A real number in engineering notation, as the display settings ask.
    QString engineering(double x) const;

    QString m_error;
    std::vector<Item> m_items; // the top is the last
    THPMode m_mode = hpFix;
    THPTrigMode m_trigMode = hpDeg;
    qint32 m_fixLen = 9;
    bool m_killZeros = false;
    double m_lastX = 0.0;
    qint32 m_displayLines = 0;
    QRandomGenerator m_random;
    double m_workLeft = std::numeric_limits<double>::infinity();
};
