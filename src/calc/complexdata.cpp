#include "calc/complexdata.h"

#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

#include "calc/numbertext.h"

namespace {

constexpr double ZeroLimit = 1e-12;
// Only a divisor of zero (or one so small that its square vanishes) divides by zero.
constexpr long double DivisorLimit = std::numeric_limits<long double>::min();
constexpr long double HalfPi = 1.57079632679489661923132169163975144L;
const double PiOver2 = double(HalfPi);
const double Infinity = std::numeric_limits<double>::infinity();

double snap(double value)
{
    return std::fabs(value) <= ZeroLimit ? 0.0 : value;
}

bool isZero(double value)
{
    return std::fabs(value) <= ZeroLimit;
}

bool equalDoubles(double a, double b)
{
    if (a == b)
        return true;
    const double tolerance = std::max(std::min(std::fabs(a), std::fabs(b)) * ZeroLimit, ZeroLimit);
    return std::fabs(a - b) <= tolerance;
}

bool finite(const TComplexData &z)
{
    return std::isfinite(z.Real()) && std::isfinite(z.Imaginary());
}

// The text parse: S is the rest not yet read, always a suffix of the whole text.
class ComplexParser
{
public:
    explicit ComplexParser(const QString &text)
        : m_text(text)
        , m_rest(text)
    {}

    TCalcError parse(double &real, double &imaginary)
    {
        if (!readNumber(real))
            return error(QStringLiteral("Could not parse real portion"));
        skip();
        imaginary = 0;
        if (m_rest.isEmpty())
            return {};
        double sign = 0;
        if (m_rest.startsWith(QLatin1Char('-')))
            sign = -1;
        else if (m_rest.startsWith(QLatin1Char('+')))
            sign = 1;
        else
            return error(QStringLiteral("Could not parse required '+' (or '-') symbol"));
        m_rest = m_rest.mid(1);
        skip();
        if (!readNumber(imaginary))
            return error(QStringLiteral("Could not parse imaginary portion"));
        imaginary *= sign;
        skip();
        if (!m_rest.startsWith(QLatin1Char('i'), Qt::CaseInsensitive))
            return error(
                QStringLiteral("Could not parse required '%1' symbol").arg(QLatin1Char('i')));
        m_rest = m_rest.mid(1);
        skip();
        if (!m_rest.isEmpty())
            return error(QStringLiteral("Unexpected characters"));
        return {};
    }

private:
    void skip()
    {
        while (m_rest.startsWith(QLatin1Char(' ')))
            m_rest = m_rest.mid(1);
    }

    // The longest prefix of the rest in the syntax
    // [blanks][sign]digits[.digits][(E|e)[sign]digits]; the full stop is the decimal mark whatever
    // the locale.
    bool readNumber(double &value)
    {
        int i = 0;
        const auto at = [this](int k) { return k < m_rest.size() ? m_rest.at(k) : QChar(); };
        const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
        while (at(i) == QLatin1Char(' '))
            ++i;
        const int start = i;
        if (at(i) == QLatin1Char('+') || at(i) == QLatin1Char('-'))
            ++i;
        int digits = 0;
        for (; isDigit(at(i)); ++i)
            ++digits;
        if (at(i) == QLatin1Char('.')) {
            ++i;
            for (; isDigit(at(i)); ++i)
                ++digits;
        }
        if (digits == 0)
            return false;
        if (at(i) == QLatin1Char('e') || at(i) == QLatin1Char('E')) {
            int k = i + 1;
            if (at(k) == QLatin1Char('+') || at(k) == QLatin1Char('-'))
                ++k;
            if (isDigit(at(k))) {
                while (isDigit(at(k)))
                    ++k;
                i = k;
            }
        }
        bool ok = false;
        const double number = m_rest.mid(start, i - start).toDouble(&ok);
        if (!ok)
            return false; // out of the range of a double
        value = number;
        m_rest = m_rest.mid(i);
        return true;
    }

    TCalcError error(const QString &message) const
    {
        const QString read = m_text.left(m_text.size() - m_rest.size());
        return {TCalcErrorCode::Conversion,
                QStringLiteral("%1 [%2<?>%3]").arg(message, read, m_rest)};
    }

    QString m_text;
    QString m_rest;
};

} // namespace

TComplexData::TComplexData(double AReal)
    : FReal(snap(AReal))
{}

TComplexData::TComplexData(double AReal, double AImaginary)
    : FReal(snap(AReal))
    , FImaginary(snap(AImaginary))
{}

TCalcError TComplexData::Create(const QString &AText, TComplexData &result)
{
    double real = 0;
    double imaginary = 0;
    if (TCalcError error = ComplexParser(AText).parse(real, imaginary))
        return error;
    result = TComplexData(real, imaginary);
    return {};
}

void TComplexData::SetReal(double value)
{
    FReal = snap(value);
}

void TComplexData::SetImaginary(double value)
{
    FImaginary = snap(value);
}

double TComplexData::Radius() const
{
    double radius = 0;
    double theta = 0;
    GetAsPolar(radius, theta, false);
    return radius;
}

double TComplexData::Theta() const
{
    double radius = 0;
    double theta = 0;
    GetAsPolar(radius, theta, false);
    return theta;
}

double TComplexData::FixedTheta() const
{
    double radius = 0;
    double theta = 0;
    GetAsPolar(radius, theta, true);
    return theta;
}

QString TComplexData::AsString() const
{
    const QString sign = FImaginary >= 0 ? QStringLiteral(" + ") : QStringLiteral(" - ");
    return FormatGeneral(FReal, 3) + sign + FormatGeneral(std::fabs(FImaginary), 3)
           + QLatin1Char('i');
}

TCalcError TComplexData::SetAsString(const QString &AText)
{
    return Create(AText, *this);
}

double TComplexData::GetAbsSqr() const
{
    return double((long double)FReal * FReal + (long double)FImaginary * FImaginary);
}

double TComplexData::GetAbs() const
{
    const double square = GetAbsSqr();
    // The square of a modulus above about 1e154 leaves the range of a double; the modulus does not.
    if (std::isinf(square) && finite(*this))
        return double(std::hypot((long double)FReal, (long double)FImaginary));
    return std::sqrt(square);
}

double TComplexData::GetAngle() const
{
    return std::atan2(FImaginary, FReal);
}

bool TComplexData::IsZero() const
{
    return isZero(FReal) && isZero(FImaginary);
}

bool TComplexData::IsNaN() const
{
    return std::isnan(FReal) || std::isnan(FImaginary);
}

bool TComplexData::Equals(const TComplexData &Right) const
{
    return Equals(Right.FReal, Right.FImaginary);
}

bool TComplexData::Equals(double AReal, double AImaginary) const
{
    return equalDoubles(FReal, AReal) && equalDoubles(FImaginary, AImaginary);
}

bool TComplexData::Equals(const QString &AText) const
{
    return AsString().compare(AText, Qt::CaseInsensitive) == 0;
}

void TComplexData::GetAsPolar(double &ARadius, double &ATheta, bool AFixTheta) const
{
    ATheta = GetAngle();
    ARadius = GetAbs();
    if (AFixTheta && std::isfinite(ATheta)) {
        while (ATheta > std::numbers::pi)
            ATheta -= 2 * std::numbers::pi;
        while (ATheta <= -std::numbers::pi)
            ATheta += 2 * std::numbers::pi;
    }
}

void TComplexData::SetAsPolar(double ARadius, double ATheta)
{
    FReal = snap(double(ARadius * std::cos((long double)ATheta)));
    FImaginary = snap(double(ARadius * std::sin((long double)ATheta)));
}

void TComplexData::SetUndefined()
{
    FReal = std::bit_cast<double>(quint64(0xFFF8000000000000ULL));
    FImaginary = FReal;
}

TCalcError TComplexData::store(long double re, long double im, bool inputsFinite)
{
    const double real = double(re);
    const double imaginary = double(im);
    if (inputsFinite && (std::isinf(real) || std::isinf(imaginary)))
        return TCalcError::overflow();
    FReal = snap(real);
    FImaginary = snap(imaginary);
    return {};
}

TCalcError TComplexData::DoAdd(const TComplexData &Right)
{
    return DoInvAdd(Right.FReal, Right.FImaginary);
}

TCalcError TComplexData::DoInvAdd(double AReal, double AImaginary)
{
    return store((long double)FReal + AReal, (long double)FImaginary + AImaginary,
                 finite(*this) && std::isfinite(AReal) && std::isfinite(AImaginary));
}

TCalcError TComplexData::DoSubtract(const TComplexData &Right)
{
    return store((long double)FReal - Right.FReal, (long double)FImaginary - Right.FImaginary,
                 finite(*this) && finite(Right));
}

TCalcError TComplexData::DoInvSubtract(double AReal, double AImaginary)
{
    return store((long double)AReal - FReal, (long double)AImaginary - FImaginary,
                 finite(*this) && std::isfinite(AReal) && std::isfinite(AImaginary));
}

TCalcError TComplexData::DoMultiply(const TComplexData &Right)
{
    return DoInvMultiply(Right.FReal, Right.FImaginary);
}

TCalcError TComplexData::DoInvMultiply(double AReal, double AImaginary)
{
    const long double x = FReal;
    const long double y = FImaginary;
    return store(x * AReal - y * AImaginary, x * AImaginary + y * AReal,
                 finite(*this) && std::isfinite(AReal) && std::isfinite(AImaginary));
}

TCalcError TComplexData::DoDivide(const TComplexData &Right)
{
    const long double c = Right.FReal;
    const long double d = Right.FImaginary;
    const long double x = FReal;
    const long double y = FImaginary;
    const long double divisor = c * c + d * d;
    if (divisor < DivisorLimit)
        return TCalcError::divisionByZero();
    return store((c * x + d * y) / divisor, (c * y - d * x) / divisor,
                 finite(*this) && finite(Right));
}

TCalcError TComplexData::DoInvDivide(double AReal, double AImaginary)
{
    const long double c = AReal;
    const long double d = AImaginary;
    const long double x = FReal;
    const long double y = FImaginary;
    const long double divisor = x * x + y * y;
    if (isZero(double(divisor)))
        return TCalcError::divisionByZero();
    return store((c * x + d * y) / divisor, (d * x - c * y) / divisor,
                 finite(*this) && std::isfinite(AReal) && std::isfinite(AImaginary));
}

void TComplexData::DoNegate()
{
    FReal = snap(-FReal);
    FImaginary = snap(-FImaginary);
}

void TComplexData::DoConjugate()
{
    FImaginary = snap(-FImaginary);
}

TCalcError TComplexData::DoInverse()
{
    const long double x = FReal;
    const long double y = FImaginary;
    const long double divisor = x * x + y * y;
    if (isZero(double(divisor)))
        return TCalcError::divisionByZero();
    return store(x / divisor, -y / divisor, finite(*this));
}

void TComplexData::DoSign()
{
    if (IsZero())
        return;
    const long double radius = GetAbs();
    FReal = snap(double(FReal / radius));
    FImaginary = snap(double(FImaginary / radius));
}

TCalcError TComplexData::DoTimesReal(double AValue)
{
    return store((long double)AValue * FReal, (long double)AValue * FImaginary,
                 finite(*this) && std::isfinite(AValue));
}

TCalcError TComplexData::DoTimesImaginary(double AValue)
{
    return store(-(long double)AValue * FImaginary, (long double)AValue * FReal,
                 finite(*this) && std::isfinite(AValue));
}

TCalcError TComplexData::DoSqr()
{
    const long double x = FReal;
    const long double y = FImaginary;
    return store(x * x - y * y, 2 * x * y, finite(*this));
}

void TComplexData::DoSqrt()
{
    if (IsZero())
        return;
    const long double x = FReal;
    const long double y = FImaginary;
    if (x > 0) {
        const long double t = double(GetAbs() + x);
        store(std::sqrt(t / 2), y / std::sqrt(2 * t), false);
    } else {
        const long double t = double(GetAbs() - x);
        const long double root = std::sqrt(t / 2);
        store(std::fabs(y) / std::sqrt(2 * t), y >= 0 ? root : -root, false);
    }
}

TCalcError TComplexData::DoExp()
{
    const long double magnitude = std::exp((long double)FReal);
    const long double y = FImaginary;
    return store(magnitude * std::cos(y), magnitude * std::sin(y), finite(*this));
}

void TComplexData::DoLn()
{
    if (IsZero()) {
        FReal = -Infinity;
        FImaginary = 0;
        return;
    }
    double radius = 0;
    double theta = 0;
    GetAsPolar(radius, theta, true);
    store(std::log((long double)radius), theta, false);
}

namespace {

void divideLogarithm(TComplexData &z, long double base)
{
    if (z.IsZero()) {
        z = TComplexData(-Infinity, 0);
        return;
    }
    z.DoLn();
    z = TComplexData(double(z.Real() / base), double(z.Imaginary() / base));
}

} // namespace

void TComplexData::DoLog10()
{
    divideLogarithm(*this, std::log(10.0L));
}

void TComplexData::DoLog2()
{
    divideLogarithm(*this, std::log(2.0L));
}

TCalcError TComplexData::DoLogN(double X)
{
    if (IsZero() && X > 0 && X != 1) {
        FReal = -Infinity;
        FImaginary = 0;
        return {};
    }
    TComplexData base(X);
    base.DoLn();
    TComplexData result(*this);
    result.DoLn();
    if (TCalcError error = result.DoDivide(base))
        return error;
    *this = result;
    return {};
}

TCalcError TComplexData::DoPower(const TComplexData &APower)
{
    if (isZero(GetAbsSqr())) {
        *this = TComplexData(isZero(APower.GetAbsSqr()) ? 1.0 : 0.0);
        return {};
    }
    TComplexData result(*this);
    result.DoLn();
    if (TCalcError error = result.DoMultiply(APower))
        return error;
    if (TCalcError error = result.DoExp())
        return error;
    *this = result;
    return {};
}

TCalcError TComplexData::DoCos()
{
    const long double x = FReal;
    const long double y = FImaginary;
    return store(std::cos(x) * std::cosh(y), -(std::sin(x) * std::sinh(y)), finite(*this));
}

TCalcError TComplexData::DoSin()
{
    const long double x = FReal;
    const long double y = FImaginary;
    return store(std::sin(x) * std::cosh(y), std::cos(x) * std::sinh(y), finite(*this));
}

TCalcError TComplexData::DoTan()
{
    if (Equals(PiOver2, 0)) {
        SetUndefined();
        return {};
    }
    const long double x2 = 2 * (long double)FReal;
    const long double y2 = 2 * (long double)FImaginary;
    const long double t = std::cos(x2) + std::cosh(y2);
    if (isZero(double(t)))
        return TCalcError::divisionByZero();
    return store(std::sin(x2) / t, std::sinh(y2) / t, finite(*this));
}

// The composite functions below work on a copy and store it only when every step succeeded,
// so a failing function leaves the number unchanged.
namespace {

template <typename... Steps>
TCalcError applySteps(TComplexData &z, Steps... steps)
{
    TComplexData work(z);
    TCalcError error;
    const auto run = [&](auto step) {
        if (!error)
            error = step(work);
    };
    (run(steps), ...);
    if (!error)
        z = work;
    return error;
}

TCalcError inverse(TComplexData &z)
{
    return z.DoInverse();
}

TCalcError timesI(TComplexData &z)
{
    return z.DoTimesImaginary(1);
}

TCalcError timesMinusI(TComplexData &z)
{
    return z.DoTimesImaginary(-1);
}

TCalcError ln(TComplexData &z)
{
    z.DoLn();
    return {};
}

// iz + sqrt(1 - z^2), the argument of the logarithm in arcsin and arccos.
TCalcError arcSinArgument(TComplexData &z)
{
    TComplexData root(z);
    if (TCalcError error = root.DoSqr())
        return error;
    if (TCalcError error = root.DoInvSubtract(1, 0))
        return error;
    root.DoSqrt();
    if (TCalcError error = z.DoTimesImaginary(1))
        return error;
    return z.DoAdd(root);
}

} // namespace

TCalcError TComplexData::DoCot()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(*this, [](TComplexData &z) {
        TComplexData sine(z);
        if (TCalcError error = sine.DoSin())
            return error;
        if (TCalcError error = z.DoCos())
            return error;
        return z.DoDivide(sine);
    });
}

TCalcError TComplexData::DoCsc()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(
        *this, [](TComplexData &z) { return z.DoSin(); },
        [](TComplexData &z) { return z.DoInvDivide(1, 0); });
}

TCalcError TComplexData::DoSec()
{
    if (Equals(PiOver2, 0)) {
        SetUndefined();
        return {};
    }
    return applySteps(
        *this, [](TComplexData &z) { return z.DoCos(); },
        [](TComplexData &z) { return z.DoInvDivide(1, 0); });
}

TCalcError TComplexData::DoArcSin()
{
    return applySteps(*this, arcSinArgument, ln, timesMinusI);
}

TCalcError TComplexData::DoArcCos()
{
    return applySteps(*this, arcSinArgument, ln, timesI,
                      [](TComplexData &z) { return z.DoInvAdd(PiOver2, 0); });
}

TCalcError TComplexData::DoArcTan()
{
    if (Equals(0, 1)) {
        *this = TComplexData(0, Infinity);
        return {};
    }
    if (Equals(0, -1)) {
        *this = TComplexData(0, -Infinity);
        return {};
    }
    return applySteps(*this, [](TComplexData &z) {
        TComplexData iz(z);
        if (TCalcError error = iz.DoTimesImaginary(1))
            return error;
        TComplexData minus(iz); // 1 - iz
        if (TCalcError error = minus.DoInvSubtract(1, 0))
            return error;
        minus.DoLn();
        TComplexData plus(iz); // 1 + iz
        if (TCalcError error = plus.DoInvAdd(1, 0))
            return error;
        plus.DoLn();
        if (TCalcError error = minus.DoSubtract(plus))
            return error;
        z = minus;
        return z.DoTimesImaginary(0.5);
    });
}

TCalcError TComplexData::DoArcCot()
{
    return applySteps(*this, inverse, [](TComplexData &z) { return z.DoArcTan(); });
}

TCalcError TComplexData::DoArcCsc()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(*this, inverse, [](TComplexData &z) { return z.DoArcSin(); });
}

TCalcError TComplexData::DoArcSec()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(*this, inverse, [](TComplexData &z) { return z.DoArcCos(); });
}

TCalcError TComplexData::DoCosH()
{
    const long double x = FReal;
    const long double y = FImaginary;
    return store(std::cosh(x) * std::cos(y), std::sinh(x) * std::sin(y), finite(*this));
}

TCalcError TComplexData::DoSinH()
{
    const long double x = FReal;
    const long double y = FImaginary;
    return store(std::sinh(x) * std::cos(y), std::cosh(x) * std::sin(y), finite(*this));
}

TCalcError TComplexData::DoTanH()
{
    if (IsZero()) {
        *this = TComplexData();
        return {};
    }
    return applySteps(*this, [](TComplexData &z) {
        TComplexData cosh(z);
        if (TCalcError error = cosh.DoCosH())
            return error;
        if (TCalcError error = z.DoSinH())
            return error;
        return z.DoDivide(cosh);
    });
}

TCalcError TComplexData::DoCotH()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(
        *this, [](TComplexData &z) { return z.DoTanH(); }, inverse);
}

TCalcError TComplexData::DoCscH()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(
        *this, [](TComplexData &z) { return z.DoSinH(); }, inverse);
}

TCalcError TComplexData::DoSecH()
{
    return applySteps(
        *this, [](TComplexData &z) { return z.DoCosH(); }, inverse);
}

TCalcError TComplexData::DoArcCosH()
{
    return applySteps(*this, [](TComplexData &z) {
        TComplexData below(z); // sqrt(z - 1)
        if (TCalcError error = below.DoInvAdd(-1, 0))
            return error;
        below.DoSqrt();
        TComplexData above(z); // sqrt(z + 1)
        if (TCalcError error = above.DoInvAdd(1, 0))
            return error;
        above.DoSqrt();
        if (TCalcError error = below.DoMultiply(above))
            return error;
        if (TCalcError error = z.DoAdd(below))
            return error;
        z.DoLn();
        return TCalcError();
    });
}

TCalcError TComplexData::DoArcSinH()
{
    return applySteps(
        *this, timesI, [](TComplexData &z) { return z.DoArcSin(); }, timesMinusI);
}

TCalcError TComplexData::DoArcTanH()
{
    if (Equals(1, 0)) {
        *this = TComplexData(Infinity, 0);
        return {};
    }
    if (Equals(-1, 0)) {
        *this = TComplexData(-Infinity, 0);
        return {};
    }
    return applySteps(
        *this, timesI, [](TComplexData &z) { return z.DoArcTan(); }, timesMinusI);
}

TCalcError TComplexData::DoArcCotH()
{
    if (Equals(1, 0)) {
        *this = TComplexData(Infinity, 0);
        return {};
    }
    if (Equals(-1, 0)) {
        *this = TComplexData(-Infinity, 0);
        return {};
    }
    return applySteps(*this, inverse, [](TComplexData &z) { return z.DoArcTanH(); });
}

TCalcError TComplexData::DoArcCscH()
{
    if (IsZero()) {
        SetUndefined();
        return {};
    }
    return applySteps(*this, inverse, [](TComplexData &z) { return z.DoArcSinH(); });
}

TCalcError TComplexData::DoArcSecH()
{
    if (IsZero()) {
        *this = TComplexData(Infinity, 0);
        return {};
    }
    return applySteps(*this, inverse, [](TComplexData &z) { return z.DoArcCosH(); });
}
