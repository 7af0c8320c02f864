#pragma once

#include <variant>

#include <QString>

#include "calc/calcerror.h"
#include "calc/complexdata.h"

enum class TCalcBinaryOp : quint8 {
    Add,
    Subtract,
    Multiply,
    Divide,
    IntDivide,
    Modulus,
    ShiftLeft,
    ShiftRight,
    And,
    Or,
    Xor
};
enum class TCalcUnaryOp : quint8 { Negate, Not };
enum class TCalcCompareOp : quint8 { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// The calculator's generic value: empty, an integer, a real, a boolean, a text or a complex
// number. Operators and conversions never throw; they return a TCalcError. As soon as one operand
// is complex, the complex kind's rules (TComplexVariantType) decide.
class TCalcValue
{
public:
    enum class Kind : quint8 { Empty, Integer, Real, Bool, Text, Complex };

    TCalcValue() = default;
    TCalcValue(int value)
        : m_data(qint64(value))
    {}
    TCalcValue(qint64 value)
        : m_data(value)
    {}
    TCalcValue(double value)
        : m_data(value)
    {}
    TCalcValue(bool value)
        : m_data(value)
    {}
    TCalcValue(const QString &value)
        : m_data(value)
    {}
    TCalcValue(const char *) = delete; // would silently become a bool
    TCalcValue(const TComplexData &value)
        : m_data(value)
    {}

    Kind kind() const { return Kind(m_data.index()); }
    bool isComplex() const { return kind() == Kind::Complex; }
    // Empty, or a complex number that IsZero (a released complex value counts as clear).
    bool isClear() const;
    void clear() { m_data = std::monostate(); }

    // Direct access; valid only for the matching kind.
    qint64 integer() const { return std::get<qint64>(m_data); }
    double real() const { return std::get<double>(m_data); }
    bool boolean() const { return std::get<bool>(m_data); }
    const QString &text() const { return std::get<QString>(m_data); }
    const TComplexData &complex() const { return std::get<TComplexData>(m_data); }
    TComplexData &complex() { return std::get<TComplexData>(m_data); }

    // The real part of a number of any numeric kind (a complex value drops its imaginary part);
    // text is parsed, empty is 0.
    TCalcError toReal(double &result) const;
    // Rounded to the nearest integer, halves to the even neighbour.
    TCalcError toInteger(qint64 &result) const;
    TCalcError toBool(bool &result) const;
    TCalcError toText(QString &result) const;
    // Text is parsed as a complex number, every other kind x becomes (x, 0).
    TCalcError toComplex(TComplexData &result) const;
    // Shortcut for values known to be numbers: the real part, 0 for what does not convert.
    double realPart() const;

    static TCalcError binary(TCalcBinaryOp op, const TCalcValue &left, const TCalcValue &right,
                             TCalcValue &result);
    static TCalcError unary(TCalcUnaryOp op, const TCalcValue &operand, TCalcValue &result);
    static TCalcError compare(TCalcCompareOp op, const TCalcValue &left, const TCalcValue &right,
                              bool &result);

private:
    std::variant<std::monostate, qint64, double, bool, QString, TComplexData> m_data;
};
