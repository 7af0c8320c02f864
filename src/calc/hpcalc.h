#pragma once

#include <array>
#include <limits>
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
enum THPTypeInfo : quint8 { tiDouble, tiMatrix, tiVector, tiRange };

// The stack machine of the in-note calculator. The parser pushes operands and runs operations;
// Display gives the text of the top result, or of the first error since the last Reset.
//
// Numbers, matrices and vectors live on stacks of their own, and the tag stack records the kind
// of every item in the order pushed, so its top tells which stack holds the most recent one.
// The stacks grow as deep as an expression needs, up to MaxDepth items; a push beyond that is
// refused with the error "Stack overflow".
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
    qsizetype Depth() const { return qsizetype(TypeInfoStack.size()); }
    // Empties every stack; display settings and the error stay.
    void Clear();
    // Vector and matrix operations may do this many element operations (multiply-adds) from
    // now on; one that would need more is refused with "Calculation too large". Unlimited
    // until set.
    void SetWorkLimit(double elementOperations) { m_workLeft = elementOperations; }

    // Runs one operation. A failure pops the operands, pushes an undefined number in place of
    // the result (so the items below keep their places) and is returned. The first failure
    // since the last Reset stays in FError, to be delivered by Display, whatever follows.
    TCalcError ExecOp(THPOperation AnOp);

    // Text of the top result (or of FError); takes the item off the machine and clears FError.
    QString Display();
    QString DisplayMatrix(const TComplexMatrix &m);
    QString DisplayVector(const TComplexArray &v);
    // Text of a number in the current Mode, FixLen and KillZeros.
    QString DisplayValue(const TCalcValue &x) const;
    void Reset();

    // The machine's state, open to the parser: it reads FError and DisplayLines and sets Mode,
    // FixLen and KillZeros from the display procedures. The stacks' tops are their last elements.
    QString FError;
    std::vector<TCalcValue> Stack;
    std::vector<TComplexMatrix> MatrixStack;
    std::vector<TComplexArray> VectorStack;
    bool Input = true;
    THPMode Mode = hpFix;
    THPTrigMode TrigMode = hpDeg;
    qint32 FixLen = 9;
    std::array<TCalcValue, 10> Reg;
    double LastX = 0.0;
    std::vector<THPTypeInfo> TypeInfoStack;
    qint32 DisplayLines = 0;
    bool KillZeros = false;

private:
    explicit THPCalc(const QRandomGenerator &random);
    THPTypeInfo typeAt(qsizetype fromTop) const;
    bool reserve();
    TCalcError execute(THPOperation op);
    struct Operand;
    Operand popOperand();
    TCalcError arithmetic(THPOperation op);
    TCalcError arrayFunction(THPOperation op);
    TCalcValue topValue() const;
    bool charge(double elementOperations);
    // A real number in engineering notation, as the display settings ask.
    QString engineering(double x) const;

    QRandomGenerator m_random;
    double m_workLeft = std::numeric_limits<double>::infinity();
};
