#include "calc/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include <QLocale>

namespace {

// Significant digits and decimal exponent of value rounded to precision digits:
// value = d1.d2d3... times 10^exponent.
struct Decimal
{
    QByteArray digits;
    int exponent = 0;
};

Decimal toDecimal(double value, int precision)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, precision - 1)
                         .ptr;
    const QByteArray text(buffer, int(end - buffer));
    const int e = text.indexOf('e');
    Decimal result;
    result.digits = text.left(e);
    result.digits.replace(".", "");
    result.exponent = std::atoi(text.constData() + e + 1);
    return result;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString paddedExponent(int exponent, int minDigits, bool plusSign)
{
    QString text = QString::number(std::abs(exponent)).rightJustified(minDigits, QLatin1Char('0'));
    if (exponent < 0)
        return QLatin1Char('-') + text;
    return plusSign ? QLatin1Char('+') + text : text;
}

} // namespace

QString DecimalSeparator()
{
    return QLocale().decimalPoint();
}

QString FormatGeneral(double value, int minExponentDigits)
{
    if (value == 0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value, 15);
    while (d.digits.size() > 1 && d.digits.endsWith('0'))
        d.digits.chop(1);
    const QString digits = QString::fromLatin1(d.digits);
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const int pointPosition = d.exponent + 1; // value = 0.d1d2... times 10^pointPosition
    if (pointPosition >= -3 && pointPosition <= 15) {
        if (pointPosition <= 0)
            return sign + QLatin1Char('0') + DecimalSeparator()
                   + QString(-pointPosition, QLatin1Char('0')) + digits;
        if (digits.size() <= pointPosition)
            return sign + digits + QString(pointPosition - digits.size(), QLatin1Char('0'));
        return sign + digits.left(pointPosition) + DecimalSeparator() + digits.mid(pointPosition);
    }
    QString mantissa = digits.left(1);
    if (digits.size() > 1)
        mantissa += DecimalSeparator() + digits.mid(1);
    return sign + mantissa + QLatin1Char('E')
           + paddedExponent(d.exponent, minExponentDigits, false);
}

QString FormatExponent(double value, int precision)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    // A double carries no more than 18 meaningful digits; at least the first digit is shown.
    precision = std::clamp(precision, 1, 18);
    Decimal d = value == 0 ? Decimal{QByteArray(precision, '0'), 0} : toDecimal(value, precision);
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += QLatin1Char(d.digits.at(0));
    if (d.digits.size() > 1)
        text += DecimalSeparator() + QString::fromLatin1(d.digits.mid(1));
    return text + QLatin1Char('E') + paddedExponent(d.exponent, 3, true);
}

QString FormatEngineering(double value, int decimals)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    decimals = std::clamp(decimals, 0, 18);
    const auto engineeringExponent
        = [](int exponent) { return (exponent >= 0 ? exponent : exponent - 2) / 3 * 3; };
    // The digits before the point depend on the exponent, which rounding may raise by one.
    int exponent = value == 0 ? 0 : toDecimal(value, 17).exponent;
    Decimal d;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int integerDigits = exponent - engineeringExponent(exponent) + 1;
        d = value == 0 ? Decimal{QByteArray(integerDigits + decimals, '0'), 0}
                       : toDecimal(value, integerDigits + decimals);
        if (d.exponent == exponent)
            break;
        exponent = d.exponent;
    }
    const int e = engineeringExponent(d.exponent);
    const int integerDigits = d.exponent - e + 1;
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += QString::fromLatin1(d.digits.left(integerDigits));
    if (decimals > 0)
        text += QLatin1Char('.') + QString::fromLatin1(d.digits.mid(integerDigits));
    if (e != 0)
        text += QLatin1Char('E') + QString::number(e);
    return text;
}

QString FormatFixed(double value, int decimals, bool localeSeparator)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    decimals = std::clamp(decimals, 0, 18);
    char buffer[400];
    const char *first = buffer;
    const char *end
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
              .ptr;
    // A negative value that rounds to zero is shown as zero, without a sign.
    const auto isZeroDigit = [](char c) { return c == '0' || c == '.'; };
    if (*first == '-' && std::all_of(first + 1, end, isZeroDigit))
        ++first;
    QString text = QString::fromLatin1(first, int(end - first));
    if (localeSeparator && decimals > 0) {
        const QString separator = DecimalSeparator();
        if (separator != QLatin1String("."))
            text.replace(text.size() - decimals - 1, 1, separator);
    }
    return text;
}

QString TrimZeros(const QString &text)
{
    if (!text.contains(QLatin1Char('.')))
        return text;
    QString result = text;
    while (result.endsWith(QLatin1Char('0')))
        result.chop(1);
    if (result.endsWith(QLatin1Char('.')))
        result.chop(1);
    return result;
}

QString UpperCaseText(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return result;
}
