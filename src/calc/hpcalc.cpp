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

// The number operations, each on X (and Y) giving the result; a failure leaves result unused.
using NumberFunction = TCalcError (*)(const TCalcValue &x, TCalcValue &result);
using PairFunction = TCalcError (*)(const TCalcValue &x, const TCalcValue &y, TCalcValue &result);

TCalcError power(const TCalcValue &x, const TCalcValue &y, TCalcValue &r)
{
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
}

TCalcError powerOfTen(const TCalcValue &x, TCalcValue &r)
{
    const double exponent = x.realPart();
    return realResult(std::pow(10.0L, (long double)exponent), std::isfinite(exponent), r);
}

TCalcError inverse(const TCalcValue &x, TCalcValue &r)
{
    if (isZeroOperand(x))
        return TCalcError::divisionByZero();
    return TCalcValue::binary(TCalcBinaryOp::Divide, TCalcValue(1), x, r);
}

TCalcError logarithm(const TCalcValue &x, TCalcValue &r, bool natural)
{
    const double value = x.realPart();
    if (isZeroOperand(x))
        return TCalcError(TCalcErrorCode::DivisionByZero,
                          natural ? QStringLiteral("ln(0)") : QStringLiteral("log(0)"));
    // The natural logarithm of a complex or negative number is the principal one.
    if (natural && (imaginaryPart(x) != 0 || value < 0))
        return ComplexLn(x, r);
    // A negative operand has no real decimal logarithm: the result is undefined (NAN).
    const long double result
        = natural ? std::log((long double)value) : std::log10((long double)value);
    return realResult(result, false, r);
}

TCalcError naturalLogarithm(const TCalcValue &x, TCalcValue &r)
{
    return logarithm(x, r, true);
}

TCalcError decimalLogarithm(const TCalcValue &x, TCalcValue &r)
{
    return logarithm(x, r, false);
}

TCalcError negated(const TCalcValue &x, TCalcValue &r)
{
    return TCalcValue::unary(TCalcUnaryOp::Negate, x, r);
}

// The modulus; of a real number its absolute value.
TCalcError modulus(const TCalcValue &x, TCalcValue &r)
{
    r = MakeComplex(double(std::hypot((long double)x.realPart(), (long double)imaginaryPart(x))));
    return {};
}

TCalcError integerPart(const TCalcValue &x, TCalcValue &r)
{
    const double value = std::trunc(x.realPart());
    // The integer part is a 64-bit integer; beyond its range it overflows. An undefined
    // value stays undefined.
    if (std::fabs(value) >= 9223372036854775808.0)
        return TCalcError::overflow();
    r = MakeComplex(std::isnan(value) ? value : double(qint64(value)));
    return {};
}

TCalcError fractionalPart(const TCalcValue &x, TCalcValue &r)
{
    return TCalcValue::binary(TCalcBinaryOp::Subtract, x, TCalcValue(std::trunc(x.realPart())), r);
}

TCalcError degreesToRadians(const TCalcValue &x, TCalcValue &r)
{
    return scaled(x, 0.017453292519943295769, r);
}

TCalcError radiansToDegrees(const TCalcValue &x, TCalcValue &r)
{
    return scaled(x, 57.295779513082320877, r);
}

// The change from Y to X in percent of Y.
TCalcError percentChange(const TCalcValue &x, const TCalcValue &y, TCalcValue &r)
{
    TCalcValue difference;
    if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Subtract, x, y, difference))
        return failure;
    if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Divide, difference, y, r))
        return failure;
    return scaled(r, 100, r);
}

// Hours with a fraction to hours, minutes and seconds written as H.MMSS.
TCalcError toHoursMinutesSeconds(const TCalcValue &x, TCalcValue &r)
{
    const long double value = x.realPart();
    const long double hours = std::trunc(value);
    const long double minutes = 60 * (value - hours);
    const long double seconds = 60 * (minutes - std::trunc(minutes));
    return realResult(hours + std::trunc(minutes) / 100 + seconds / 10000, false, r);
}

// H.MMSS back to hours with a fraction.
TCalcError toHours(const TCalcValue &x, TCalcValue &r)
{
    const long double value = x.realPart();
    const long double f = 100 * (value - std::trunc(value));
    return realResult(std::trunc(value) + (60 * std::trunc(f) + 100 * (f - std::trunc(f))) / 3600,
                      false, r);
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

// One row of the operation table: the operation, its handler and what the handler needs.
struct THPCalc::Operation
{
    THPOperation op;
    TCalcError (THPCalc::*run)(const Operation &operation);
    // The number function that unary, binary, ofAngle and toAngle apply.
    NumberFunction number = nullptr;
    PairFunction pair = nullptr;
    // Whether the operands are checked to be numbers before run: a vector or matrix among them
    // goes to arrayFunction instead. The other handlers take vectors and matrices themselves.
    bool numbersOnly = true;
    // Items the operation takes; a refused operation takes as many off.
    int operands = 1;
};

const THPCalc::Operation &THPCalc::operation(THPOperation op)
{
    static constexpr Operation table[] = {
        {.op = hpAdd, .run = &THPCalc::arithmetic, .numbersOnly = false, .operands = 2},
        {.op = hpSub, .run = &THPCalc::arithmetic, .numbersOnly = false, .operands = 2},
        {.op = hpMul, .run = &THPCalc::arithmetic, .numbersOnly = false, .operands = 2},
        {.op = hpDiv, .run = &THPCalc::arithmetic, .numbersOnly = false, .operands = 2},
        {.op = hpEnter, .run = &THPCalc::enter, .numbersOnly = false},
        {.op = hpPwr, .run = &THPCalc::binary, .pair = power, .operands = 2},
        {.op = hpPwr10, .run = &THPCalc::unary, .number = powerOfTen},
        {.op = hpInv, .run = &THPCalc::unary, .number = inverse},
        {.op = hpSin, .run = &THPCalc::ofAngle, .number = ComplexSin},
        {.op = hpInvSin, .run = &THPCalc::toAngle, .number = ComplexArcSin},
        {.op = hpCos, .run = &THPCalc::ofAngle, .number = ComplexCos},
        {.op = hpInvCos, .run = &THPCalc::toAngle, .number = ComplexArcCos},
        {.op = hpTan, .run = &THPCalc::ofAngle, .number = ComplexTan},
        {.op = hpInvTan, .run = &THPCalc::toAngle, .number = ComplexArcTan},
        {.op = hpExc, .run = &THPCalc::exchange, .numbersOnly = false, .operands = 2},
        {.op = hpLn, .run = &THPCalc::unary, .number = naturalLogarithm},
        {.op = hpLog10, .run = &THPCalc::unary, .number = decimalLogarithm},
        {.op = hpCHS, .run = &THPCalc::unary, .number = negated},
        {.op = hpExp, .run = &THPCalc::unary, .number = ComplexExp},
        {.op = hpSqr, .run = &THPCalc::unary, .number = ComplexSqr},
        {.op = hpAbs, .run = &THPCalc::unary, .number = modulus},
        {.op = hpInt, .run = &THPCalc::unary, .number = integerPart},
        {.op = hpFrac, .run = &THPCalc::unary, .number = fractionalPart},
        {.op = hpSum, .run = &THPCalc::sum, .numbersOnly = false},
        {.op = hpLen, .run = &THPCalc::length, .numbersOnly = false},
        {.op = hpSqrt, .run = &THPCalc::unary, .number = ComplexSqrt},
        {.op = hpStackDown, .run = &THPCalc::rollDown, .numbersOnly = false},
        {.op = hpStackUp, .run = &THPCalc::rollUp, .numbersOnly = false},
        {.op = hpLastX, .run = &THPCalc::lastX, .numbersOnly = false, .operands = 0},
        {.op = hpRandom, .run = &THPCalc::random, .numbersOnly = false, .operands = 0},
        {.op = hpToRad, .run = &THPCalc::unary, .number = degreesToRadians},
        {.op = hpToDeg, .run = &THPCalc::unary, .number = radiansToDegrees},
        {.op = hpFact, .run = &THPCalc::drop},
        {.op = hpPC, .run = &THPCalc::percent, .operands = 2},
        {.op = hpdPC, .run = &THPCalc::binary, .pair = percentChange, .operands = 2},
        {.op = hpToPol, .run = &THPCalc::toPolar, .operands = 2},
        {.op = hpToRect, .run = &THPCalc::toRectangular, .operands = 2},
        {.op = hpToHMS, .run = &THPCalc::unary, .number = toHoursMinutesSeconds},
        {.op = hpToH, .run = &THPCalc::unary, .number = toHours},
    };
    static_assert(std::size(table) == hpToH + 1);
    static_assert(
        [] {
            for (size_t i = 0; i < std::size(table); ++i) {
                if (table[i].op != i)
                    return false;
            }
            return true;
        }(),
        "one row per operation, in the order of THPOperation");
    return table[op];
}

TCalcError THPCalc::execute(THPOperation op)
{
    const Operation &operation = THPCalc::operation(op);
    if (operation.numbersOnly
        && (TopType() != tiDouble || (operation.operands == 2 && TypeBelowTop() != tiDouble)))
        return arrayFunction(operation);
    return (this->*operation.run)(operation);
}

TCalcError THPCalc::unary(const Operation &operation)
{
    const TCalcValue x = Pop();
    TCalcValue result;
    const TCalcError error = operation.number(x, result);
    if (!error)
        Push(result);
    return error;
}

TCalcError THPCalc::binary(const Operation &operation)
{
    const TCalcValue x = Pop();
    const TCalcValue y = Pop();
    TCalcValue result;
    const TCalcError error = operation.pair(x, y, result);
    if (!error)
        Push(result);
    return error;
}

TCalcError THPCalc::ofAngle(const Operation &operation)
{
    return angleFunction(operation, toRadiansFactor(m_trigMode), 1.0);
}

TCalcError THPCalc::toAngle(const Operation &operation)
{
    return angleFunction(operation, 1.0, fromRadiansFactor(m_trigMode));
}

TCalcError THPCalc::angleFunction(const Operation &operation, double before, double after)
{
    const TCalcValue x = Pop();
    TCalcValue argument;
    TCalcValue result;
    const bool periodic = m_trigMode == hpDeg && before != 1.0;
    TCalcError error = scaled(periodic ? reducedDegrees(x) : x, before, argument);
    if (!error)
        error = operation.number(argument, result);
    if (!error && after != 1.0)
        error = scaled(result, after, result);
    if (!error)
        Push(result);
    return error;
}

TCalcError THPCalc::enter(const Operation &)
{
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
}

TCalcError THPCalc::exchange(const Operation &operation)
{
    if (TopType() != tiDouble || TypeBelowTop() != tiDouble)
        return arrayFunction(operation);
    const TCalcValue x = Pop();
    const TCalcValue y = Pop();
    Push(x);
    Push(y);
    return {};
}

TCalcError THPCalc::sum(const Operation &operation)
{
    // The sum of a single number is that number.
    if (TopType() == tiDouble)
        return {};
    if (TopType() != tiVector)
        return arrayFunction(operation);
    const TComplexArray v = PopVector();
    TCalcValue total = MakeComplex(0, 0);
    for (const TCalcValue &element : v) {
        if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Add, total, element, total))
            return failure;
    }
    Push(total);
    return {};
}

TCalcError THPCalc::length(const Operation &operation)
{
    if (TopType() != tiVector)
        return arrayFunction(operation);
    Push(MakeComplex(double(PopVector().size()), 0));
    return {};
}

TCalcError THPCalc::rollDown(const Operation &)
{
    // X becomes the bottom number.
    if (m_items.empty() || TopType() != tiDouble)
        return {};
    Item x = popItem();
    m_items.insert(m_items.begin(), std::move(x));
    return {};
}

TCalcError THPCalc::rollUp(const Operation &)
{
    // The bottom number becomes X.
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

TCalcError THPCalc::lastX(const Operation &)
{
    Push(MakeComplex(m_lastX));
    return {};
}

TCalcError THPCalc::random(const Operation &)
{
    Push(MakeComplex(m_random.generateDouble()));
    return {};
}

TCalcError THPCalc::drop(const Operation &)
{
    Pop();
    return {};
}

TCalcError THPCalc::percent(const Operation &)
{
    // X percent of Y; Y stays.
    const TCalcValue x = Pop();
    TCalcValue share;
    TCalcValue result;
    if (TCalcError failure = scaled(x, 0.01, share))
        return failure;
    if (TCalcError failure = TCalcValue::binary(TCalcBinaryOp::Multiply, share, topValue(), result))
        return failure;
    Push(result);
    return {};
}

TCalcError THPCalc::toPolar(const Operation &)
{
    const double x = Pop().realPart();
    const double y = Pop().realPart();
    const long double angle
        = std::atan2((long double)x, (long double)y) * fromRadiansFactor(m_trigMode);
    const long double radius = std::sqrt((long double)x * x + (long double)y * y);
    const bool finiteOperands = std::isfinite(x) && std::isfinite(y);
    TCalcValue angleValue;
    TCalcValue radiusValue;
    if (TCalcError failure = realResult(angle, finiteOperands, angleValue))
        return failure;
    if (TCalcError failure = realResult(radius, finiteOperands, radiusValue))
        return failure;
    Push(angleValue);
    Push(radiusValue);
    return {};
}

TCalcError THPCalc::toRectangular(const Operation &)
{
    const long double radius = Pop().realPart();
    const long double angle = Pop().realPart() * (long double)toRadiansFactor(m_trigMode);
    const bool finiteOperands = std::isfinite(radius) && std::isfinite(angle);
    TCalcValue ordinate;
    TCalcValue abscissa;
    if (TCalcError failure = realResult(radius * std::sin(angle), finiteOperands, ordinate))
        return failure;
    if (TCalcError failure = realResult(radius * std::cos(angle), finiteOperands, abscissa))
        return failure;
    Push(ordinate);
    Push(abscissa);
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

TCalcError THPCalc::arithmetic(const Operation &operation)
{
    const THPOperation op = operation.op;
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

TCalcError THPCalc::arrayFunction(const Operation &operation)
{
    const THPOperation op = operation.op;
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
    for (int i = 0; i < operation.operands; ++i)
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
