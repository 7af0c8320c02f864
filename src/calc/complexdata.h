#pragma once

#include <QString>

#include "calc/calcerror.h"

// One complex number of the calculator. Every store into a part snaps magnitudes of at most
// 1e-12 to exactly 0, so results such as sin(pi) come out as clean zeros; intermediate results
// are computed in long double. Operations that can fail leave the number unchanged and return
// the error.
class TComplexData
{
public:
    TComplexData() = default;
    explicit TComplexData(double AReal);
    TComplexData(double AReal, double AImaginary);

    // Parses AText like SetAsString; on failure result is left unchanged.
    static TCalcError Create(const QString &AText, TComplexData &result);

    double Real() const { return FReal; }
    double Imaginary() const { return FImaginary; }
    void SetReal(double value);
    void SetImaginary(double value);
    double Radius() const;
    double Theta() const;
    double FixedTheta() const;
    // "re + imi" with both numbers in the general format, exponents of three digits at least.
    QString AsString() const;
    TCalcError SetAsString(const QString &AText);

    double GetAbsSqr() const;
    double GetAbs() const;
    double GetAngle() const;
    bool IsZero() const;
    bool IsNaN() const;
    bool Equals(const TComplexData &Right) const;
    bool Equals(double AReal, double AImaginary) const;
    bool Equals(const QString &AText) const;
    void GetAsPolar(double &ARadius, double &ATheta, bool AFixTheta) const;
    void SetAsPolar(double ARadius, double ATheta);
    // Both parts the quiet NaN: the result of a function at a point where it is undefined.
    void SetUndefined();

    TCalcError DoAdd(const TComplexData &Right);
    TCalcError DoInvAdd(double AReal, double AImaginary);
    TCalcError DoSubtract(const TComplexData &Right);
    TCalcError DoInvSubtract(double AReal, double AImaginary);
    TCalcError DoMultiply(const TComplexData &Right);
    TCalcError DoInvMultiply(double AReal, double AImaginary);
    TCalcError DoDivide(const TComplexData &Right);
    TCalcError DoInvDivide(double AReal, double AImaginary);
    void DoNegate();
    void DoConjugate();
    TCalcError DoInverse();
    void DoSign();
    TCalcError DoTimesReal(double AValue);
    TCalcError DoTimesImaginary(double AValue);
    TCalcError DoSqr();
    void DoSqrt();
    TCalcError DoExp();
    void DoLn();
    void DoLog10();
    void DoLog2();
    TCalcError DoLogN(double X);
    TCalcError DoPower(const TComplexData &APower);
    TCalcError DoCos();
    TCalcError DoSin();
    TCalcError DoTan();
    TCalcError DoCot();
    TCalcError DoCsc();
    TCalcError DoSec();
    TCalcError DoArcSin();
    TCalcError DoArcCos();
    TCalcError DoArcTan();
    TCalcError DoArcCot();
    TCalcError DoArcCsc();
    TCalcError DoArcSec();
    TCalcError DoCosH();
    TCalcError DoSinH();
    TCalcError DoTanH();
    TCalcError DoCotH();
    TCalcError DoCscH();
    TCalcError DoSecH();
    TCalcError DoArcCosH();
    TCalcError DoArcSinH();
    TCalcError DoArcTanH();
    TCalcError DoArcCotH();
    TCalcError DoArcCscH();
    TCalcError DoArcSecH();

private:
    // Stores a computed result: snaps tiny parts, and refuses (Overflow) a result that a
    // computation from finite inputs pushed out of the range of a double.
    TCalcError store(long double re, long double im, bool inputsFinite);

    double FReal = 0.0;
    double FImaginary = 0.0;
};
