#include "calc/hpcalc.h"

#include <algorithm>
#include <cmath>

#include <QStringList>

#include "calc/arrayarithmetic.h"
#include "calc/complexvariant.h"
#include "calc/numbertext.h"

namespace {

// A divisor or logarithm operand is zero when it is exactly zero or below the smallest normal
// double; 1E-11 is an ordinary number to divide by.
constexpr double OperandZeroLimit = std::numeric_limits<double>::min();
constexpr double EngineeringZeroLimit = 1e-12;

double imaginaryPart(const TCalcValue &x)
{
    return x.isComplex() ? x.complex().Imaginary() : 0.0;
}

// The divisor tests of hpDiv and hpInv. The whole number counts: a purely imaginary divisor
// such as 2i is not zero.
bool isZeroOperand(const TCalcValue &x)
{
    return std::fabs(x.realPart()) < OperandZeroLimit
           && std::fabs(imaginaryPart(x)) < OperandZeroLimit;
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

// An angle in degrees brought into (-360, 360) before it is turned into radians: fmod is exact,
// while the product of a huge angle and pi / 180 has lost every digit of its place in the turn.
TCalcValue reducedDegrees(const TCalcValue &x)
{
    const double real = x.realPart();
    if (!std::isfinite(real) || std::fabs(real) < 360)
        return x;
    return MakeComplex(std::fmod(real, 360.0), imaginaryPart(x));
}

// Removes trailing zeros of the mantissa, leaving an exponent part as it is.
QString removeZeros(const QString &text)
{
    const qsizetype e = UpperCaseText(text).indexOf(QLatin1Char('E'));
    if (e < 0)
        return TrimZeros(text);
    return TrimZeros(text.left(e)) + text.mid(e);
}

// Operations that handle vectors and matrices themselves; every other one computes on numbers.
bool takesArrays(THPOperation op)
{
    switch (op) {
    case hpAdd:
    case hpSub:
    case hpMul:
    case hpDiv:
    case hpEnter:
    case hpExc:
    case hpSum:
    case hpLen:
    case hpStackDown:
    case hpStackUp:
    case hpLastX:
    case hpRandom:
        return true;
    default:
        return false;
    }
}

// Number operations with two operands.
bool takesTwo(THPOperation op)
{
    switch (op) {
    case hpExc:
    case hpPwr:
    case hpPC:
    case hpdPC:
    case hpToPol:
    case hpToRect:
        return true;
    default:
        return false;
    }
}

TCalcBinaryOp binaryOpOf(THPOperation op)
{
    switch (op) {
    case hpSub:
        return TCalcBinaryOp::Subtract;
    case hpMul:
        return TCalcBinaryOp::Multiply;
    case hpDiv:
        return TCalcBinaryOp::Divide;
    default:
        return TCalcBinaryOp::Add;
    }
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
{}

THPTypeInfo THPCalc::typeAt(qsizetype fromTop) const
{
    const qsizetype i = Depth() - fromTop;
    return i >= 0 ? THPTypeInfo(m_items[i].index()) : tiDouble;
}

TCalcValue THPCalc::ValueAt(qsizetype fromTop) const
{
    const qsizetype i = Depth() - fromTop;
    const TCalcValue *value = i >= 0 ? std::get_if<TCalcValue>(&m_items[i]) : nullptr;
    return value ? *value : MakeComplex(0, 0);
}

bool THPCalc::reserve()
{
    if (Depth() < MaxDepth)
        return true;
    if (m_error.isEmpty())
        m_error = TCalcError::stackOverflow().text();
    return false;
}

void THPCalc::pushItem(Item item)
{
    if (reserve())
        m_items.push_back(std::move(item));
}

THPCalc::Item THPCalc::popItem()
{
    if (m_items.empty())
        return MakeComplex(0, 0);
    Item top = std::move(m_items.back());
    m_items.pop_back();
    return top;
}

void THPCalc::Push(const TCalcValue &x)
{
    pushItem(x);
}

TCalcValue THPCalc::Pop()
{
    Item top = popItem();
    if (TCalcValue *x = std::get_if<TCalcValue>(&top))
        return std::move(*x);
    return MakeComplex(std::nan(""), std::nan(""));
}

void THPCalc::PushMatrix(const TComplexMatrix &x)
{
    pushItem(CopyMatrix(x));
}

TComplexMatrix THPCalc::PopMatrix()
{
    Item top = popItem();
    if (TComplexMatrix *m = std::get_if<TComplexMatrix>(&top))
        return std::move(*m);
    return {};
}

void THPCalc::PushVector(const TComplexArray &x)
{
    pushItem(CopyVector(x));
}

TComplexArray THPCalc::PopVector()
{
    Item top = popItem();
    if (TComplexArray *v = std::get_if<TComplexArray>(&top))
        return std::move(*v);
    return {};
}

void THPCalc::Clear()
{
    m_items.clear();
}

void THPCalc::ReleaseShared(const TComplexArray &v)
{
    for (Item &item : m_items) {
        TComplexArray *slot = std::get_if<TComplexArray>(&item);
        if (slot && slot->isSharedWith(v))
            *slot = TComplexArray();
    }
}

TCalcError THPCalc::ExecOp(THPOperation AnOp)
{
    if (AnOp != hpLastX)
        m_lastX = topValue().realPart();
    TCalcError error = execute(AnOp);
    if (!error)
        return error;
    // The failed operation's place is held by an undefined number.
    Push(MakeComplex(std::nan(""), std::nan("")));
    QString text = error.text();
    // The arithmetic's "Division by zero" is shown in the machine's words; "ln(0)" and "log(0)"
    // keep theirs.
    if (error.code() == TCalcErrorCode::DivisionByZero
        && text == TCalcError::divisionByZero().text())
        text = QStringLiteral("Divide by 0");
    // The first error is the one shown: what follows computed with its undefined result.
    if (m_error.isEmpty())
        m_error = text;
    return {error.code(), text};
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
            const bool periodic = m_trigMode == hpDeg && before != 1.0;
            if (TCalcError failure = scaled(periodic ? reducedDegrees(x) : x, before, argument))
                return failure;
            if (TCalcError failure = function(argument, r))
                return failure;
            return after == 1.0 ? TCalcError() : scaled(r, after, r);
        });
    };
    if (!takesArrays(op) && (TopType() != tiDouble || (takesTwo(op) && TypeBelowTop() != tiDouble)))
        return arrayFunction(op);
    const double toRadians = toRadiansFactor(m_trigMode);
    const double fromRadians = fromRadiansFactor(m_trigMode);

    switch (op) {
    case hpAdd:
    case hpSub:
    case hpMul:
    case hpDiv:
        return arithmetic(op);
    case hpEnter:
        switch (TopType()) {
        case tiMatrix:
            PushMatrix(std::get<TComplexMatrix>(m_items.back()));
            break;
        case tiVector:
            PushVector(std::get<TComplexArray>(m_items.back()));
            break;
        default:
            Push(topValue());
            break;
        }
        return {};
    case hpPwr:
        return binaryOp([](const TCalcValue &x, const TCalcValue &y, TCalcValue &r) {
            const double exponent = x.realPart();
            const double base = y.realPart();
            const bool real = imaginaryPart(x) == 0 && imaginaryPart(y) == 0;
            if (real && base == 0 && exponent < 0)
                return TCalcError::divisionByZero();
            // A negative base with a fractional exponent, or a complex operand, has a complex
            // power; every other power is the real one, exact for whole exponents.
            if (!real || (base < 0 && exponent != std::trunc(exponent)))
                return ComplexPower(y, x, r);
            return realResult(std::pow((long double)base, (long double)exponent),
                              std::isfinite(base) && std::isfinite(exponent), r);
        });
    case hpPwr10:
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            const double exponent = x.realPart();
            return realResult(std::pow(10.0L, (long double)exponent), std::isfinite(exponent), r);
        });
    case hpInv: {
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
        if (TopType() != tiDouble || TypeBelowTop() != tiDouble)
            return arrayFunction(op);
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
            if (isZeroOperand(x))
                return TCalcError(TCalcErrorCode::DivisionByZero,
                                  op == hpLn ? QStringLiteral("ln(0)") : QStringLiteral("log(0)"));
            // The natural logarithm of a complex or negative number is the principal one.
            if (op == hpLn && (imaginaryPart(x) != 0 || value < 0))
                return ComplexLn(x, r);
            // A negative operand has no real decimal logarithm: the result is undefined (NAN).
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
        // The modulus; of a real number its absolute value.
        return unaryOp([](const TCalcValue &x, TCalcValue &r) {
            r = MakeComplex(
                double(std::hypot((long double)x.realPart(), (long double)imaginaryPart(x))));
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
        // The sum of a single number is that number.
        if (TopType() == tiDouble)
            return {};
        if (TopType() != tiVector)
            return arrayFunction(op);
        const TComplexArray v = PopVector();
        TCalcValue sum = MakeComplex(0, 0);
        for (const TCalcValue &element : v) {
            if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Add, sum, element, sum))
                return failure;
        }
        Push(sum);
        return {};
    }
    case hpLen: {
        if (TopType() != tiVector)
            return arrayFunction(op);
        Push(MakeComplex(double(PopVector().size()), 0));
        return {};
    }
    case hpSqrt:
        return unaryOp(ComplexSqrt);
    case hpStackDown: {
        // Roll down: X becomes the bottom number.
        if (m_items.empty() || TopType() != tiDouble)
            return {};
        Item x = popItem();
        m_items.insert(m_items.begin(), std::move(x));
        return {};
    }
    case hpStackUp: {
        // Roll up: the bottom number becomes X.
        const auto bottom = std::find_if(m_items.begin(), m_items.end(), [](const Item &item) {
            return std::holds_alternative<TCalcValue>(item);
        });
        if (bottom == m_items.end())
            return {};
        Item x = std::move(*bottom);
        m_items.erase(bottom);
        pushItem(std::move(x));
        return {};
    }
    case hpLastX:
        Push(MakeComplex(m_lastX));
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
            = TCalcValue::binary(TCalcBinaryOp::Multiply, percent, topValue(), result))
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

bool THPCalc::charge(double elementOperations)
{
    if (elementOperations > m_workLeft)
        return false;
    m_workLeft -= elementOperations;
    return true;
}

namespace {

// Rows, columns and elements of an operand (a number counts as one element).
struct Shape
{
    double rows = 1;
    double columns = 1;
    double elements() const { return rows * columns; }
};

} // namespace

TCalcError THPCalc::arithmetic(THPOperation op)
{
    const TCalcBinaryOp binary = binaryOpOf(op);
    const auto isArray = [](THPTypeInfo type) { return type == tiMatrix || type == tiVector; };
    if (!isArray(TopType()) && !isArray(TypeBelowTop())) {
        // Numbers, the operands of almost every operation, come straight off the stack.
        const TCalcValue x = Pop();
        const TCalcValue y = Pop();
        if (op == hpDiv && isZeroOperand(x))
            return TCalcError::divisionByZero();
        TCalcValue result;
        // The product is formed as X times Y, every other operation as Y op X.
        TCalcError error = op == hpMul ? TCalcValue::binary(binary, x, y, result)
                                       : TCalcValue::binary(binary, y, x, result);
        if (!error)
            Push(result);
        return error;
    }
    const Item x = popItem();
    const Item y = popItem();
    const auto *xValue = std::get_if<TCalcValue>(&x);
    const auto *yValue = std::get_if<TCalcValue>(&y);
    const auto *xVector = std::get_if<TComplexArray>(&x);
    const auto *yVector = std::get_if<TComplexArray>(&y);
    const auto *xMatrix = std::get_if<TComplexMatrix>(&x);
    const auto *yMatrix = std::get_if<TComplexMatrix>(&y);

    const auto shapeOf = [](const TComplexArray *vector, const TComplexMatrix *matrix) {
        if (matrix)
            return Shape{double(matrix->size()),
                         matrix->isEmpty() ? 0.0 : double(matrix->first().size())};
        if (vector)
            return Shape{double(vector->size()), 1};
        return Shape{};
    };
    // A product of matrices multiplies and adds rows times columns times their common size;
    // everything else touches each element once.
    const Shape xs = shapeOf(xVector, xMatrix);
    const Shape ys = shapeOf(yVector, yMatrix);
    const double work = op == hpMul && yMatrix && !xValue ? ys.rows * ys.columns * xs.columns
                                                          : std::max(xs.elements(), ys.elements());
    if (!charge(work))
        return TCalcError::tooMuchWork();

    TComplexArray vector;
    TComplexMatrix matrix;
    TCalcError error;
    const auto pushVector = [&] {
        if (!error)
            PushVector(vector);
        return error;
    };
    const auto pushMatrix = [&] {
        if (!error)
            PushMatrix(matrix);
        return error;
    };
    switch (op) {
    case hpAdd:
    case hpSub:
        if (xVector && yVector) {
            error = CombineVectors(binary, *yVector, *xVector, vector);
            return pushVector();
        }
        if (xMatrix && yMatrix) {
            error = CombineMatrices(binary, *yMatrix, *xMatrix, matrix);
            return pushMatrix();
        }
        break;
    case hpMul:
        if (xMatrix && yMatrix) {
            matrix = MatMul(*yMatrix, *xMatrix, &error);
            if (!error && matrix.isEmpty())
                error = TCalcError::matrixDimensions();
            return pushMatrix();
        }
        if (xVector && yMatrix) {
            vector = MatVecMul(*yMatrix, *xVector, &error);
            if (!error && vector.isEmpty())
                error = TCalcError::matrixDimensions();
            return pushVector();
        }
        if (xValue || yValue) {
            // One operand is a number, the other a vector or matrix.
            const TCalcValue &factor = xValue ? *xValue : *yValue;
            const TComplexArray *scaledVector = xValue ? yVector : xVector;
            if (scaledVector) {
                error = ScaleVector(binary, *scaledVector, factor, vector);
                return pushVector();
            }
            error = ScaleMatrix(binary, xValue ? *yMatrix : *xMatrix, factor, matrix);
            return pushMatrix();
        }
        break;
    case hpDiv:
        if (!xValue || yValue)
            break;
        if (isZeroOperand(*xValue))
            return TCalcError::divisionByZero();
        if (yVector) {
            error = ScaleVector(binary, *yVector, *xValue, vector);
            return pushVector();
        }
        error = ScaleMatrix(binary, *yMatrix, *xValue, matrix);
        return pushMatrix();
    default:
        break;
    }
    return TCalcError::notPossible();
}

TCalcError THPCalc::arrayFunction(THPOperation op)
{
    TCalcError error;
    if (op == hpCHS && TopType() == tiVector) {
        TComplexArray result;
        error = ScaleVector(TCalcBinaryOp::Multiply, PopVector(), TCalcValue(-1), result);
        if (!error)
            PushVector(result);
        return error;
    }
    if (op == hpCHS && TopType() == tiMatrix) {
        TComplexMatrix result;
        error = ScaleMatrix(TCalcBinaryOp::Multiply, PopMatrix(), TCalcValue(-1), result);
        if (!error)
            PushMatrix(result);
        return error;
    }
    if (op == hpInv && TopType() == tiMatrix) {
        TComplexMatrix M = PopMatrix();
        const double n = double(M.size());
        if (!charge(n * n * n))
            return TCalcError::tooMuchWork();
        error = MatInverse(M);
        if (!error)
            PushMatrix(M);
        return error;
    }
    Pop();
    if (takesTwo(op))
        Pop();
    return TCalcError::notPossible();
}

QString THPCalc::Display()
{
    m_displayLines = 0;
    QString text;
    if (!m_error.isEmpty()) {
        text = m_error;
        Pop();
    } else {
        switch (TopType()) {
        case tiMatrix:
            text = DisplayMatrix(PopMatrix());
            break;
        case tiVector:
            text = DisplayVector(PopVector());
            break;
        default:
            text = DisplayValue(Pop());
            break;
        }
    }
    m_error.clear();
    return text;
}

QString THPCalc::DisplayValue(const TCalcValue &x) const
{
    const double real = x.realPart();
    const double imaginary = imaginaryPart(x);
    // An undefined result (NaN in both parts) shows as one "NAN", like a real number.
    const bool realOnly = imaginary == 0 || std::isnan(imaginary);
    switch (m_mode) {
    case hpFix: {
        // Most results lie well within the fixed range: the logarithm decides only near its ends.
        const double magnitude = std::fabs(real);
        const bool wellWithin = magnitude == 0 || (magnitude > 1e-11 && magnitude < 1e11);
        const double p = wellWithin ? 0.0 : std::log10(magnitude);
        // A complex value is shown whole, however large its real part.
        if (!realOnly)
            return ComplexToStr(x);
        if (p <= -12 || p >= 12)
            return FormatExponent(real, m_fixLen);
        const QString text = FormatFixed(real, m_fixLen);
        return m_killZeros ? removeZeros(text) : text;
    }
    case hpSci: {
        if (!realOnly)
            return ComplexToStr(x);
        const QString text = FormatExponent(real, m_fixLen);
        return m_killZeros ? removeZeros(text) : text;
    }
    case hpEng: {
        if (realOnly)
            return engineering(real);
        const double magnitude = std::fabs(imaginary);
        return engineering(real) + (imaginary < 0 ? u'-' : u'+') + engineering(magnitude) + u'i';
    }
    }
    return {};
}

QString THPCalc::engineering(double x) const
{
    // Values too small to have an engineering exponent are shown as zero.
    QString text = std::fabs(x) <= EngineeringZeroLimit || !std::isfinite(x)
                       ? FormatFixed(x, m_fixLen, false)
                       : FormatEngineering(x, m_fixLen);
    if (!m_killZeros)
        return text;
    const qsizetype e = text.indexOf(u'E');
    return e < 0 ? TrimZeros(text) : TrimZeros(text.left(e)) + text.mid(e);
}

QString THPCalc::DisplayMatrix(const TComplexMatrix &m)
{
    // Each element is shown through DisplayValue, so it follows the display settings.
    QString text = QStringLiteral("\r\n(");
    if (m.isEmpty()) {
        m_displayLines = 2;
        return text + QStringLiteral(")\r\n");
    }
    for (qsizetype i = 0; i < m.size(); ++i) {
        QStringList elements;
        for (const TCalcValue &element : m[i])
            elements.append(DisplayValue(element));
        text += QLatin1Char('(') + elements.join(QStringLiteral(", "));
        text += i + 1 < m.size() ? QStringLiteral("),\r\n") : QStringLiteral("))\r\n");
    }
    m_displayLines = int(m.size()) + 1;
    return text;
}

QString THPCalc::DisplayVector(const TComplexArray &v)
{
    QStringList elements;
    for (const TCalcValue &element : v)
        elements.append(DisplayValue(element));
    m_displayLines = 2;
    return QStringLiteral("\r\n(") + elements.join(QStringLiteral(", ")) + QStringLiteral(")\r\n");
}

void THPCalc::Reset()
{
    m_error.clear();
    m_displayLines = 0;
}
