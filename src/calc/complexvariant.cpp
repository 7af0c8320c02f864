#include "calc/complexvariant.h"

#include <cmath>

#include "calc/numbertext.h"

TCalcError TComplexVariantType::BinaryOp(TCalcBinaryOp op, const TCalcValue &left,
                                         const TCalcValue &right, TCalcValue &result)
{
    if (op == TCalcBinaryOp::Add && left.kind() == TCalcValue::Kind::Text && right.isComplex()) {
        result = TCalcValue(left.text() + right.complex().AsString());
        return {};
    }
    if (op != TCalcBinaryOp::Add && op != TCalcBinaryOp::Subtract && op != TCalcBinaryOp::Multiply
        && op != TCalcBinaryOp::Divide)
        return TCalcError::invalidOperation();
    TComplexData a;
    TComplexData b;
    if (TCalcError error = Cast(left, a))
        return error;
    if (TCalcError error = Cast(right, b))
        return error;
    TCalcError error;
    switch (op) {
    case TCalcBinaryOp::Add:
        error = a.DoAdd(b);
        break;
    case TCalcBinaryOp::Subtract:
        error = a.DoSubtract(b);
        break;
    case TCalcBinaryOp::Multiply:
        error = a.DoMultiply(b);
        break;
    default:
        error = a.DoDivide(b);
        break;
    }
    if (!error)
        result = TCalcValue(a);
    return error;
}

TCalcError TComplexVariantType::UnaryOp(TCalcUnaryOp op, const TCalcValue &operand,
                                        TCalcValue &result)
{
    if (op != TCalcUnaryOp::Negate)
        return TCalcError::invalidOperation();
    TComplexData z;
    if (TCalcError error = Cast(operand, z))
        return error;
    z.DoNegate();
    result = TCalcValue(z);
    return {};
}

TCalcError TComplexVariantType::CompareOp(TCalcCompareOp op, const TCalcValue &left,
                                          const TCalcValue &right, bool &result)
{
    if (op != TCalcCompareOp::Equal && op != TCalcCompareOp::NotEqual)
        return TCalcError::invalidOperation();
    TComplexData a;
    TComplexData b;
    if (TCalcError error = Cast(left, a))
        return error;
    if (TCalcError error = Cast(right, b))
        return error;
    result = a.Equals(b) == (op == TCalcCompareOp::Equal);
    return {};
}

TCalcError TComplexVariantType::CastTo(const TComplexData &source, TCalcValue::Kind kind,
                                       TCalcValue &result)
{
    switch (kind) {
    case TCalcValue::Kind::Empty:
        result = TCalcValue();
        return {};
    case TCalcValue::Kind::Text:
        result = TCalcValue(source.AsString());
        return {};
    case TCalcValue::Kind::Complex:
        result = TCalcValue(source);
        return {};
    default:
        break;
    }
    const TCalcValue real(source.Real());
    switch (kind) {
    case TCalcValue::Kind::Integer: {
        qint64 value = 0;
        if (TCalcError error = real.toInteger(value))
            return error;
        result = TCalcValue(value);
        return {};
    }
    case TCalcValue::Kind::Bool:
        result = TCalcValue(source.Real() != 0);
        return {};
    default:
        result = real;
        return {};
    }
}

TCalcError TComplexVariantType::Cast(const TCalcValue &source, TComplexData &result)
{
    switch (source.kind()) {
    case TCalcValue::Kind::Complex:
        result = source.complex();
        return {};
    case TCalcValue::Kind::Text:
        return TComplexData::Create(source.text(), result);
    default: {
        double x = 0;
        if (TCalcError error = source.toReal(x))
            return error;
        result = TComplexData(x, 0);
        return {};
    }
    }
}

TCalcValue MakeComplex(double AReal)
{
    return TCalcValue(TComplexData(AReal, 0));
}

TCalcValue MakeComplex(double AReal, double AImaginary)
{
    return TCalcValue(TComplexData(AReal, AImaginary));
}

namespace {

template <typename Function>
TCalcError applyFunction(const TCalcValue &source, TCalcValue &result, Function function)
{
    TComplexData z;
    if (TCalcError error = TComplexVariantType::Cast(source, z))
        return error;
    if (TCalcError error = function(z))
        return error;
    result = TCalcValue(z);
    return {};
}

} // namespace

TCalcError ComplexExp(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoExp(); });
}

TCalcError ComplexLn(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) {
        z.DoLn();
        return TCalcError();
    });
}

TCalcError ComplexPower(const TCalcValue &base, const TCalcValue &power, TCalcValue &result)
{
    TComplexData exponent;
    if (TCalcError error = TComplexVariantType::Cast(power, exponent))
        return error;
    return applyFunction(base, result, [&](TComplexData &z) { return z.DoPower(exponent); });
}

TCalcError ComplexSqr(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoSqr(); });
}

TCalcError ComplexSqrt(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) {
        z.DoSqrt();
        return TCalcError();
    });
}

TCalcError ComplexCos(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoCos(); });
}

TCalcError ComplexSin(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoSin(); });
}

TCalcError ComplexTan(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoTan(); });
}

TCalcError ComplexArcCos(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoArcCos(); });
}

TCalcError ComplexArcSin(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoArcSin(); });
}

TCalcError ComplexArcTan(const TCalcValue &source, TCalcValue &result)
{
    return applyFunction(source, result, [](TComplexData &z) { return z.DoArcTan(); });
}

QString ComplexToStr(const TCalcValue &value)
{
    TComplexData z;
    if (TCalcError error = TComplexVariantType::Cast(value, z))
        return error.text();
    const QString sign = z.Imaginary() >= 0 ? QStringLiteral("+") : QStringLiteral("-");
    return FormatGeneral(z.Real()) + sign + FormatGeneral(std::fabs(z.Imaginary()))
           + QLatin1Char('i');
}
