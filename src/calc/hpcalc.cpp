#include "calc/hpcalc.h"

#include <cmath>

#include <QStringList>

#include "calc/complexvariant.h"
#include "calc/numbertext.h"

namespace {

constexpr double OperandZeroLimit = 1e-16;
constexpr double EngineeringZeroLimit = 1e-12;

// x is taken by value: it may be an element of the same stack (Enter, roll up).
template <typename T>
void shiftPush(std::array<T, THPCalc::StackSize> &stack, T x)
{
    for (int i = THPCalc::StackSize - 1; i > 0; --i)
        stack[i] = stack[i - 1];
    stack[0] = std::move(x);
}

// The bottom element stays where it is, so it is duplicated.
template <typename T>
T shiftPop(std::array<T, THPCalc::StackSize> &stack)
{
    T top = stack[0];
    for (int i = 0; i < THPCalc::StackSize - 1; ++i)
        stack[i] = stack[i + 1];
    return top;
}

double imaginaryPart(const TCalcValue &x)
{
    return x.isComplex() ? x.complex().Imaginary() : 0.0;
}

// The divisor tests of hpDiv and hpInv. The whole number counts: a purely imaginary divisor
// such as 2i is not zero.
bool isZeroOperand(const TCalcValue &x)
{
    return std::fabs(x.realPart()) <= OperandZeroLimit
           && std::fabs(imaginaryPart(x)) <= OperandZeroLimit;
}

double toRadiansFactor(THPTrigMode mode)
{
    switch (mode) {
    case hpDeg:
        return 0.017453292519943295;
    case hpGrad:
        return 0.015707963267948967;
    case hpRad:
        break;
    }
    return 1.0;
}

double fromRadiansFactor(THPTrigMode mode)
{
    switch (mode) {
    case hpDeg:
        return 57.29577951308232;
    case hpGrad:
        return 63.66197723675813;
    case hpRad:
        break;
    }
    return 1.0;
}

// A real result; a computation from finite operands that leaves the range of a double is an
// overflow.
TCalcError realResult(long double value, bool operandsFinite, TCalcValue &result)
{
    const double real = double(value);
    if (operandsFinite && std::isinf(real))
        return TCalcError::overflow();
    result = MakeComplex(real);
    return {};
}

TCalcError scaled(const TCalcValue &x, double factor, TCalcValue &result)
{
    return TCalcValue::binary(TCalcBinaryOp::Multiply, x, TCalcValue(factor), result);
}

// Removes trailing zeros of the mantissa, leaving an exponent part as it is.
QString removeZeros(const QString &text)
{
    const qsizetype e = UpperCaseText(text).indexOf(QLatin1Char('E'));
    if (e < 0)
        return TrimZeros(text);
    return TrimZeros(text.left(e)) + text.mid(e);
}

int engineeringExponent(double x)
{
    if (std::fabs(x) <= EngineeringZeroLimit || !std::isfinite(x))
        return 0;
    const double a = std::log10(std::fabs(x));
    const int t = int(a >= 0 ? std::trunc(a) : std::trunc(a - 2.99999999));
    return t / 3 * 3;
}

} // namespace

THPCalc::THPCalc()
    : THPCalc(QRandomGenerator::securelySeeded())
{}

THPCalc::THPCalc(quint32 seed)
    : THPCalc(QRandomGenerator(seed))
{}

THPCalc::THPCalc(const QRandomGenerator &random)
    : m_random(random)
{
    Stack.fill(MakeComplex(0, 0));
}

void THPCalc::Push(const TCalcValue &x)
{
    PushTypeInfo(tiDouble);
    shiftPush(Stack, x);
    Input = true;
}

TCalcValue THPCalc::Pop()
{
    return shiftPop(Stack);
}

void THPCalc::PushMatrix(const TComplexMatrix &x)
{
    PushTypeInfo(tiMatrix);
    shiftPush(MatrixStack, CopyMatrix(x));
    Input = true;
}

TComplexMatrix THPCalc::PopMatrix()
{
    return shiftPop(MatrixStack);
}

void THPCalc::PushVector(const TComplexArray &x)
{
    PushTypeInfo(tiVector);
    shiftPush(VectorStack, CopyVector(x));
    Input = true;
}

TComplexArray THPCalc::PopVector()
{
    return shiftPop(VectorStack);
}

void THPCalc::PushTypeInfo(THPTypeInfo x)
{
    shiftPush(TypeInfoStack, x);
}

THPTypeInfo THPCalc::PopTypeInfo()
{
    return shiftPop(TypeInfoStack);
}

TCalcError THPCalc::ExecOp(THPOperation AnOp)
{
    FError.clear();
    if (AnOp != hpLastX)
        LastX = Stack[0].realPart();
    TCalcError error = execute(AnOp);
    switch (error.code()) {
    case TCalcErrorCode::None:
        Input = true;
        return error;
    case TCalcErrorCode::DivisionByZero:
        // The arithmetic's "Division by zero" is shown in the machine's words; "ln(0)" and
        // "log(0)" keep theirs.
        FError = error.text() == TCalcError::divisionByZero().text() ? QStringLiteral("Divide by 0")
                                                                     : error.text();
        break;
    default:
        FError = error.text();
        break;
    }
    return {error.code(), FError};
}

TCalcError THPCalc::execute(THPOperation op)
{
    TCalcValue result;
    TCalcError error;
    // Pops X, computes with f(x, result) and pushes the result unless f failed.
    const auto unaryOp = [&](auto f) {
        const TCalcValue x = Pop();
        error = f(x, result);
        if (!error)
            Push(result);
        return error;
    };
    // Pops X, then Y, computes with f(x, y, result) and pushes the result unless f failed.
    const auto binaryOp = [&](auto f) {
        const TCalcValue x = Pop();
        const TCalcValue y = Pop();
        error = f(x, y, result);
        if (!error)
            Push(result);
        return error;
    };
    const auto complexFunction = [&](auto function, double before, double after) {
        return unaryOp([&](const TCalcValue &x, TCalcValue &r) {
            TCalcValue argument;
            if (TCalcError failure = scaled(x, before, argument))
                return failure;
            if (TCalcError failure = function(argument, r))
                return failure;
            return after == 1.0 ? TCalcError() : scaled(r, after, r);
        });
    };
    const double toRadians = toRadiansFactor(TrigMode);
    const double fromRadians = fromRadiansFactor(TrigMode);

    switch (op) {
    case hpAdd:
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            return TCalcValue::binary(TCalcBinaryOp::Add, y, x, r);
        });
    case hpSub:
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            return TCalcValue::binary(TCalcBinaryOp::Subtract, y, x, r);
        });
    case hpMul: {
        const THPTypeInfo tag = PopTypeInfo();
        if (tag == tiMatrix) {
            if (PopTypeInfo() != tiMatrix)
                return {};
            const TComplexMatrix B = PopMatrix();
            const TComplexMatrix A = PopMatrix();
            const TComplexMatrix C = MatMul(A, B, &error);
            if (error)
                return error;
            if (C.isEmpty())
                return TCalcError::matrixDimensions();
            PushMatrix(C);
            return {};
        }
        if (tag == tiVector) {
            if (PopTypeInfo() != tiMatrix)
                return {};
            const TComplexArray v = PopVector();
            const TComplexMatrix A = PopMatrix();
            const TComplexArray product = MatVecMul(A, v, &error);
            if (error)
                return error;
            if (!product.isEmpty())
                PushVector(product);
            return {};
        }
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            return TCalcValue::binary(TCalcBinaryOp::Multiply, x, y, r);
        });
    }
    case hpDiv:
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            if (isZeroOperand(x))
                return TCalcError::divisionByZero();
            return TCalcValue::binary(TCalcBinaryOp::Divide, y, x, r);
        });
    case hpEnter:
        Push(Stack[0]);
        return {};
    case hpPwr:
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            const double exponent = x.realPart();
            const double base = y.realPart();
            if (base == 0 && exponent < 0)
                return TCalcError::divisionByZero();
            return realResult(std::pow((long double)base, (long double)exponent),
                              std::isfinite(base) && std::isfinite(exponent), r);
        });
    case hpPwr10:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            const double exponent = x.realPart();
            return realResult(std::pow(10.0L, (long double)exponent), std::isfinite(exponent), r);
        });
    case hpInv: {
        if (PopTypeInfo() == tiMatrix) {
            TComplexMatrix M = PopMatrix();
            if (TCalcError failure = MatInverse(M))
                return failure;
            PushMatrix(M);
            return {};
        }
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            if (isZeroOperand(x))
                return TCalcError::divisionByZero();
            return TCalcValue::binary(TCalcBinaryOp::Divide, TCalcValue(1), x, r);
        });
    }
    case hpSin:
        return complexFunction(ComplexSin, toRadians, 1.0);
    case hpInvSin:
        return complexFunction(ComplexArcSin, 1.0, fromRadians);
    case hpCos:
        return complexFunction(ComplexCos, toRadians, 1.0);
    case hpInvCos:
        return complexFunction(ComplexArcCos, 1.0, fromRadians);
    case hpTan:
        return complexFunction(ComplexTan, toRadians, 1.0);
    case hpInvTan:
        return complexFunction(ComplexArcTan, 1.0, fromRadians);
    case hpExc: {
        const TCalcValue x = Pop();
        const TCalcValue y = Pop();
        Push(x);
        Push(y);
        return {};
    }
    case hpLn:
    case hpLog10:
        return unaryOp([op](const TCalcValue &x, TCalcValue &r) {
            const double value = x.realPart();
            if (std::fabs(value) <= OperandZeroLimit)
                return TCalcError(TCalcErrorCode::DivisionByZero,
                                  op == hpLn ? QStringLiteral("ln(0)") : QStringLiteral("log(0)"));
            // A negative operand has no real logarithm: the result is undefined (NAN).
            const long double logarithm
                = op == hpLn ? std::log((long double)value) : std::log10((long double)value);
            return realResult(logarithm, false, r);
        });
    case hpCHS:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            return TCalcValue::unary(TCalcUnaryOp::Negate, x, r);
        });
    case hpExp:
        return unaryOp(ComplexExp);
    case hpSqr:
        return unaryOp(ComplexSqr);
    case hpAbs:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            r = MakeComplex(std::fabs(x.realPart()));
            return TCalcError();
        });
    case hpInt:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            const double value = std::trunc(x.realPart());
            // The integer part is a 64-bit integer; beyond its range it overflows. An undefined
            // value stays undefined.
            if (std::fabs(value) >= 9223372036854775808.0)
                return TCalcError::overflow();
            r = MakeComplex(std::isnan(value) ? value : double(qint64(value)));
            return TCalcError();
        });
    case hpFrac:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            return TCalcValue::binary(TCalcBinaryOp::Subtract, x,
                                      TCalcValue(std::trunc(x.realPart())), r);
        });
    case hpSum: {
        if (PopTypeInfo() != tiVector)
            return {};
        TCalcValue sum = MakeComplex(0, 0);
        for (const TCalcValue &element : VectorStack[0]) {
            if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Add, sum, element, sum))
                return failure;
        }
        PopVector();
        Push(sum);
        return {};
    }
    case hpLen: {
        if (PopTypeInfo() != tiVector)
            return {};
        const double n = double(VectorStack[0].size());
        PopVector();
        Push(MakeComplex(n, 0));
        return {};
    }
    case hpSqrt:
        return unaryOp(ComplexSqrt);
    case hpStackDown:
        Stack[StackSize - 1] = Pop();
        return {};
    case hpStackUp:
        Push(Stack[StackSize - 1]);
        return {};
    case hpLastX:
        Push(MakeComplex(LastX));
        return {};
    case hpRandom:
        Push(MakeComplex(m_random.generateDouble()));
        return {};
    case hpToRad:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            return scaled(x, 0.017453292519943295769, r);
        });
    case hpToDeg:
        return unaryOp(
            [](const TCalcValue &x, TCalcValue &r) { return scaled(x, 57.295779513082320877, r); });
    case hpFact:
        Pop();
        return {};
    case hpPC: {
        // X percent of Y.
        const TCalcValue x = Pop();
        TCalcValue percent;
        if (TCalcError failure = scaled(x, 0.01, percent))
            return failure;
        if (TCalcError failure
            = TCalcValue::binary(TCalcBinaryOp::Multiply, percent, Stack[0], result))
            return failure;
        Push(result);
        return {};
    }
    case hpdPC:
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            TCalcValue difference;
            if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Subtract, x, y, difference))
                return failure;
            if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Divide, difference, y, r))
                return failure;
            return scaled(r, 100, r);
        });
    case hpToPol: {
        const double x = Pop().realPart();
        const double y = Pop().realPart();
        const long double angle = std::atan2((long double)x, (long double)y) * fromRadians;
        const long double radius = std::sqrt((long double)x * x + (long double)y * y);
        const bool finiteOperands = std::isfinite(x) && std::isfinite(y);
        TCalcValue angleValue;
        if (TCalcError failure = realResult(angle, finiteOperands, angleValue))
            return failure;
        if (TCalcError failure = realResult(radius, finiteOperands, result))
            return failure;
        Push(angleValue);
        Push(result);
        return {};
    }
    case hpToRect: {
        const long double radius = Pop().realPart();
        const long double angle = Pop().realPart() * (long double)toRadians;
        const bool finiteOperands = std::isfinite(radius) && std::isfinite(angle);
        TCalcValue ordinate;
        if (TCalcError failure = realResult(radius * std::sin(angle), finiteOperands, ordinate))
            return failure;
        if (TCalcError failure = realResult(radius * std::cos(angle), finiteOperands, result))
            return failure;
        Push(ordinate);
        Push(result);
        return {};
    }
    case hpToHMS:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            const long double value = x.realPart();
            const long double hours = std::trunc(value);
            const long double minutes = 60 * (value - hours);
            const long double seconds = 60 * (minutes - std::trunc(minutes));
            return realResult(hours + std::trunc(minutes) / 100 + seconds / 10000, false, r);
        });
    case hpToH:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            const long double value = x.realPart();
            const long double f = 100 * (value - std::trunc(value));
            return realResult(std::trunc(value)
                                  + (60 * std::trunc(f) + 100 * (f - std::trunc(f))) / 3600,
                              false, r);
        });
    }
    return {};
}

QString THPCalc::Display()
{
    DisplayLines = 0;
    QString text;
    if (!FError.isEmpty()) {
        text = FError;
    } else {
        switch (PopTypeInfo()) {
        case tiMatrix:
            text = DisplayMatrix(MatrixStack[0]);
            PopMatrix();
            break;
        case tiVector:
            text = DisplayVector(VectorStack[0]);
            PopVector();
            break;
        default:
            text = displayNumber(Stack[0]);
            break;
        }
    }
    FError.clear();
    return text;
}

QString THPCalc::displayNumber(const TCalcValue &x) const
{
    const double real = x.realPart();
    const double imaginary = imaginaryPart(x);
    // An undefined result (NaN in both parts) shows as one "NAN", like a real number.
    const bool realOnly = imaginary == 0 || std::isnan(imaginary);
    switch (Mode) {
    case hpFix: {
        const double p = real == 0 ? 0.0 : std::log10(std::fabs(real));
        if (p <= -12 || p >= 12)
            return FormatExponent(real, FixLen);
        if (!realOnly)
            return ComplexToStr(x);
        const QString text = FormatFixed(real, FixLen);
        return KillZeros ? removeZeros(text) : text;
    }
    case hpSci: {
        if (!realOnly)
            return ComplexToStr(x);
        const QString text = FormatExponent(real, FixLen);
        return KillZeros ? removeZeros(text) : text;
    }
    case hpEng: {
        const int e = engineeringExponent(real);
        QString text = FormatFixed(double((long double)real / std::pow(10.0L, e)), FixLen, false);
        if (KillZeros)
            text = TrimZeros(text);
        if (e != 0)
            text += QLatin1Char('E') + QString::number(e);
        return text;
    }
    }
    return {};
}

QString THPCalc::DisplayMatrix(const TComplexMatrix &m)
{
    // Each element is shown through Display, so it follows Mode, FixLen and KillZeros.
    const auto elementText = [this](const TCalcValue &element) {
        Push(element);
        const QString text = Display();
        Pop();
        PopTypeInfo();
        return text;
    };
    QString text = QStringLiteral("\r\n(");
    if (m.isEmpty()) {
        DisplayLines = 2;
        return text + QStringLiteral(")\r\n");
    }
    for (qsizetype i = 0; i < m.size(); ++i) {
        QStringList elements;
        for (const TCalcValue &element : m[i])
            elements.append(elementText(element));
        text += QLatin1Char('(') + elements.join(QStringLiteral(", "));
        text += i + 1 < m.size() ? QStringLiteral("),\r\n") : QStringLiteral("))\r\n");
    }
    DisplayLines = int(m.size()) + 1;
    return text;
}

QString THPCalc::DisplayVector(const TComplexArray &v)
{
    QStringList elements;
    for (const TCalcValue &element : v) {
        Push(element);
        elements.append(Display());
        Pop();
        PopTypeInfo();
    }
    DisplayLines = 2;
    return QStringLiteral("\r\n(") + elements.join(QStringLiteral(", ")) + QStringLiteral(")\r\n");
}

void THPCalc::Reset()
{
    FError.clear();
    DisplayLines = 0;
}
