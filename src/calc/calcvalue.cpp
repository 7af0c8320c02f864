#include "calc/calcvalue.h"

#include <cmath>
#include <limits>

#include "calc/complexvariant.h"
#include "calc/numbertext.h"

namespace {

bool isIntegral(TCalcValue::Kind kind)
{
    return kind == TCalcValue::Kind::Empty || kind == TCalcValue::Kind::Integer
           || kind == TCalcValue::Kind::Bool;
}

// Rounds to the nearest 64-bit integer, halves to the even neighbour.
TCalcError roundToInteger(double value, qint64 &result)
{
    const double rounded = std::nearbyint(value);
    if (!(std::fabs(rounded) < 9223372036854775808.0))
        return TCalcError::overflow();
    result = qint64(rounded);
    return {};
}

TCalcError realResult(long double value, bool inputsFinite, TCalcValue &result)
{
    const double real = double(value);
    if (inputsFinite && std::isinf(real))
        return TCalcError::overflow();
    result = TCalcValue(real);
    return {};
}

TCalcError integerOp(TCalcBinaryOp op, qint64 a, qint64 b, TCalcValue &result)
{
    qint64 value = 0;
    switch (op) {
    case TCalcBinaryOp::Add:
        if (__builtin_add_overflow(a, b, &value))
            return TCalcError::overflow();
        break;
    case TCalcBinaryOp::Subtract:
        if (__builtin_sub_overflow(a, b, &value))
            return TCalcError::overflow();
        break;
    case TCalcBinaryOp::Multiply:
        if (__builtin_mul_overflow(a, b, &value))
            return TCalcError::overflow();
        break;
    case TCalcBinaryOp::Divide:
        if (b == 0)
            return TCalcError::divisionByZero();
        result = TCalcValue(double((long double)a / b));
        return {};
    case TCalcBinaryOp::IntDivide:
    case TCalcBinaryOp::Modulus:
        if (b == 0)
            return TCalcError::divisionByZero();
        if (a == std::numeric_limits<qint64>::min() && b == -1)
            return TCalcError::overflow();
        value = op == TCalcBinaryOp::IntDivide ? a / b : a % b;
        break;
    case TCalcBinaryOp::ShiftLeft:
        value = qint64(quint64(a) << (b & 63));
        break;
    case TCalcBinaryOp::ShiftRight:
        value = qint64(quint64(a) >> (b & 63));
        break;
    case TCalcBinaryOp::And:
        value = a & b;
        break;
    case TCalcBinaryOp::Or:
        value = a | b;
        break;
    case TCalcBinaryOp::Xor:
        value = a ^ b;
        break;
    }
    result = TCalcValue(value);
    return {};
}

TCalcError realOp(TCalcBinaryOp op, double a, double b, TCalcValue &result)
{
    const bool inputsFinite = std::isfinite(a) && std::isfinite(b);
    switch (op) {
    case TCalcBinaryOp::Add:
        return realResult((long double)a + b, inputsFinite, result);
    case TCalcBinaryOp::Subtract:
        return realResult((long double)a - b, inputsFinite, result);
    case TCalcBinaryOp::Multiply:
        return realResult((long double)a * b, inputsFinite, result);
    case TCalcBinaryOp::Divide:
        if (b == 0)
            return TCalcError::divisionByZero();
        return realResult((long double)a / b, inputsFinite, result);
    default: {
        // The integer operators round real operands first.
        qint64 x = 0;
        qint64 y = 0;
        if (TCalcError error = roundToInteger(a, x))
            return error;
        if (TCalcError error = roundToInteger(b, y))
            return error;
        return integerOp(op, x, y, result);
    }
    }
}

template <typename T>
bool compareWith(TCalcCompareOp op, const T &a, const T &b)
{
    switch (op) {
    case TCalcCompareOp::Equal:
        return a == b;
    case TCalcCompareOp::NotEqual:
        return a != b;
    case TCalcCompareOp::Less:
        return a < b;
    case TCalcCompareOp::LessEqual:
        return a <= b;
    case TCalcCompareOp::Greater:
        return a > b;
    case TCalcCompareOp::GreaterEqual:
        return a >= b;
    }
    return false;
}

} // namespace

bool TCalcValue::isClear() const
{
    return kind() == Kind::Empty || (isComplex() && complex().IsZero());
}

TCalcError TCalcValue::toReal(double &result) const
{
    switch (kind()) {
    case Kind::Empty:
        result = 0;
        return {};
    case Kind::Integer:
        result = double(integer());
        return {};
    case Kind::Real:
        result = real();
        return {};
    case Kind::Bool:
        result = boolean() ? 1 : 0;
        return {};
    case Kind::Text: {
        TComplexData number;
        if (TCalcError error = TComplexData::Create(text(), number))
            return error;
        result = number.Real();
        return {};
    }
    case Kind::Complex:
        result = complex().Real();
        return {};
    }
    return {};
}

TCalcError TCalcValue::toInteger(qint64 &result) const
{
    if (kind() == Kind::Integer) {
        result = integer();
        return {};
    }
    double value = 0;
    if (TCalcError error = toReal(value))
        return error;
    return roundToInteger(value, result);
}

TCalcError TCalcValue::toBool(bool &result) const
{
    if (kind() == Kind::Bool) {
        result = boolean();
        return {};
    }
    if (kind() == Kind::Text) {
        if (text().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            result = text().size() == 4;
            return {};
        }
    }
    double value = 0;
    if (TCalcError error = toReal(value))
        return error;
    result = value != 0;
    return {};
}

TCalcError TCalcValue::toText(QString &result) const
{
    switch (kind()) {
    case Kind::Empty:
        result.clear();
        break;
    case Kind::Integer:
        result = QString::number(integer());
        break;
    case Kind::Real:
        result = FormatGeneral(real());
        break;
    case Kind::Bool:
        result = boolean() ? QStringLiteral("True") : QStringLiteral("False");
        break;
    case Kind::Text:
        result = text();
        break;
    case Kind::Complex:
        result = complex().AsString();
        break;
    }
    return {};
}

TCalcError TCalcValue::toComplex(TComplexData &result) const
{
    return TComplexVariantType::Cast(*this, result);
}

double TCalcValue::realPart() const
{
    double value = 0;
    if (toReal(value))
        return 0;
    return value;
}

TCalcError TCalcValue::binary(TCalcBinaryOp op, const TCalcValue &left, const TCalcValue &right,
                              TCalcValue &result)
{
    if (left.isComplex() || right.isComplex())
        return TComplexVariantType::BinaryOp(op, left, right, result);
    const Kind l = left.kind();
    const Kind r = right.kind();
    const auto textual = [](Kind kind) { return kind == Kind::Text || kind == Kind::Empty; };
    if (op == TCalcBinaryOp::Add && (l == Kind::Text || r == Kind::Text) && textual(l)
        && textual(r)) {
        QString a;
        QString b;
        left.toText(a);
        right.toText(b);
        result = TCalcValue(a + b);
        return {};
    }
    if (l == Kind::Bool && r == Kind::Bool
        && (op == TCalcBinaryOp::And || op == TCalcBinaryOp::Or || op == TCalcBinaryOp::Xor)) {
        const bool a = left.boolean();
        const bool b = right.boolean();
        result = TCalcValue(op == TCalcBinaryOp::And  ? a && b
                            : op == TCalcBinaryOp::Or ? a || b
                                                      : a != b);
        return {};
    }
    if (isIntegral(l) && isIntegral(r)) {
        qint64 a = 0;
        qint64 b = 0;
        left.toInteger(a);
        right.toInteger(b);
        return integerOp(op, a, b, result);
    }
    double a = 0;
    double b = 0;
    if (TCalcError error = left.toReal(a))
        return error;
    if (TCalcError error = right.toReal(b))
        return error;
    return realOp(op, a, b, result);
}

TCalcError TCalcValue::unary(TCalcUnaryOp op, const TCalcValue &operand, TCalcValue &result)
{
    switch (operand.kind()) {
    case Kind::Complex:
        return TComplexVariantType::UnaryOp(op, operand, result);
    case Kind::Bool:
        if (op == TCalcUnaryOp::Not) {
            result = TCalcValue(!operand.boolean());
            return {};
        }
        break;
    case Kind::Real:
    case Kind::Text:
        if (op == TCalcUnaryOp::Negate) {
            double value = 0;
            if (TCalcError error = operand.toReal(value))
                return error;
            result = TCalcValue(-value);
            return {};
        }
        break;
    default:
        break;
    }
    qint64 value = 0;
    if (TCalcError error = operand.toInteger(value))
        return error;
    if (op == TCalcUnaryOp::Not) {
        result = TCalcValue(qint64(~value));
        return {};
    }
    if (value == std::numeric_limits<qint64>::min())
        return TCalcError::overflow();
    result = TCalcValue(qint64(-value));
    return {};
}

TCalcError TCalcValue::compare(TCalcCompareOp op, const TCalcValue &left, const TCalcValue &right,
                               bool &result)
{
    if (left.isComplex() || right.isComplex())
        return TComplexVariantType::CompareOp(op, left, right, result);
    if (left.kind() == Kind::Text && right.kind() == Kind::Text) {
        result = compareWith(op, left.text().compare(right.text()), 0);
        return {};
    }
    if (isIntegral(left.kind()) && isIntegral(right.kind())) {
        qint64 a = 0;
        qint64 b = 0;
        left.toInteger(a);
        right.toInteger(b);
        result = compareWith(op, a, b);
        return {};
    }
    double a = 0;
    double b = 0;
    if (TCalcError error = left.toReal(a))
        return error;
    if (TCalcError error = right.toReal(b))
        return error;
    result = compareWith(op, a, b);
    return {};
}
