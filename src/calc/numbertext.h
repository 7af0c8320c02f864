#pragma once

#include <QString>

// The general number format: 15 significant digits, plain for decimal exponents -3 to 15,
// scientific otherwise with the exponent padded to minExponentDigits; "0", "INF", "-INF", "NAN".
// The decimal separator is the default locale's.
QString FormatGeneral(double value, int minExponentDigits = 0);

// "%.*e" as the calculator shows it: precision significant digits, the locale's decimal
// separator, "E", the exponent's sign and three exponent digits at least (1.23456780E+004).
QString FormatExponent(double value, int precision);

// Engineering notation: the value rounded to decimals digits after a mantissa of one to three
// digits, "." always, then "E" and an exponent that is a multiple of three unless it is 0
// (12.345E3, 5.000E-3). The exponent is chosen after rounding (999.9996 with 3 decimals is
// 1.000E3).
QString FormatEngineering(double value, int decimals);

// "%.*f": decimals digits after the separator, the locale's or always ".".
QString FormatFixed(double value, int decimals, bool localeSeparator = true);

// Removes trailing "0" and then one trailing "." from a text containing "."; only "." counts.
QString TrimZeros(const QString &text);

// a..z become A..Z; nothing else changes.
QString UpperCaseText(const QString &text);

// The decimal separator used by the formats above (the default QLocale's).
QString DecimalSeparator();
