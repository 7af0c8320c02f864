#pragma once

#include <array>

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

// The four-level stack machine of the in-note calculator. The parser pushes operands and runs
// operations; Display gives the text of the top result, or of the error of the last operation.
// Each stack is a fixed shift register: a push drops the bottom element, a pop duplicates it.
class THPCalc
{
public:
    static constexpr int StackSize = 4;

    // hpRandom draws from a securely seeded generator, or from the given seed (tests, benchmarks).
    THPCalc();
    explicit THPCalc(quint32 seed);

    void Push(const TCalcValue &x);
    TCalcValue Pop();
    void PushMatrix(const TComplexMatrix &x);
    TComplexMatrix PopMatrix();
    void PushVector(const TComplexArray &x);
    TComplexArray PopVector();
    void PushTypeInfo(THPTypeInfo x);
    THPTypeInfo PopTypeInfo();

    // Runs one operation. A failure leaves the operands popped, pushes nothing, puts its text
    // into FError (delivered by the next Display) and is also returned, so the caller can tell
    // an arithmetic error ("Divide by 0", "Overflow", the matrix errors) from any other.
    TCalcError ExecOp(THPOperation AnOp);

    // Text of the top result (or FError); pops a matrix or vector shown, leaves X in place.
    QString Display();
    QString DisplayMatrix(const TComplexMatrix &m);
    QString DisplayVector(const TComplexArray &v);
    void Reset();

    // The machine's state, open to the parser: it reads FError and DisplayLines and sets Mode,
    // FixLen and KillZeros from the display procedures.
    QString FError;
    std::array<TCalcValue, StackSize> Stack;
    std::array<TComplexMatrix, StackSize> MatrixStack;
    std::array<TComplexArray, StackSize> VectorStack;
    bool Input = true;
    THPMode Mode = hpFix;
    THPTrigMode TrigMode = hpDeg;
    qint32 FixLen = 9;
    std::array<TCalcValue, 10> Reg;
    double LastX = 0.0;
    std::array<THPTypeInfo, StackSize> TypeInfoStack{tiDouble, tiDouble, tiDouble, tiDouble};
    qint32 DisplayLines = 0;
    bool KillZeros = false;

private:
    explicit THPCalc(const QRandomGenerator &random);
    TCalcError execute(THPOperation op);
    QString displayNumber(const TCalcValue &x) const;

    QRandomGenerator m_random;
};
