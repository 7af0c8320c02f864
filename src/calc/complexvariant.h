#pragma once

#include <QString>

#include "calc/calcerror.h"
#include "calc/calcvalue.h"

// The rules of the complex kind of TCalcValue: which operators it supports, how it mixes with
// the other kinds and how it converts. TCalcValue dispatches here whenever an operand is complex.
class TComplexVariantType
{
public:
    static TCalcError BinaryOp(TCalcBinaryOp op, const TCalcValue &left, const TCalcValue &right,
                               TCalcValue &result);
    static TCalcError UnaryOp(TCalcUnaryOp op, const TCalcValue &operand, TCalcValue &result);
    static TCalcError CompareOp(TCalcCompareOp op, const TCalcValue &left, const TCalcValue &right,
                                bool &result);
    // A complex value converted to another kind.
    static TCalcError CastTo(const TComplexData &source, TCalcValue::Kind kind, TCalcValue &result);
    // Any value converted to a complex number.
    static TCalcError Cast(const TCalcValue &source, TComplexData &result);
};

TCalcValue MakeComplex(double AReal);
TCalcValue MakeComplex(double AReal, double AImaginary);

// Each sets result to the function of source converted to a complex value; source is unchanged.
TCalcError ComplexExp(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexSqr(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexSqrt(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexCos(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexSin(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexTan(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexArcCos(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexArcSin(const TCalcValue &source, TCalcValue &result);
TCalcError ComplexArcTan(const TCalcValue &source, TCalcValue &result);
// The principal logarithm (the angle in (-pi, pi]).
TCalcError ComplexLn(const TCalcValue &source, TCalcValue &result);
// base raised to power, by the principal logarithm.
TCalcError ComplexPower(const TCalcValue &base, const TCalcValue &power, TCalcValue &result);

// The display text "re+imi" without blanks, both numbers in the general format. A value that
// does not convert to a complex number is shown by its conversion error text.
QString ComplexToStr(const TCalcValue &value);
