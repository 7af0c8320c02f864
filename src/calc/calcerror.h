#pragma once

#include <QString>

// What went wrong in a calculator operation. The calculator never throws: every operation that
// can fail returns one of these, empty on success, so the parser can write the text into the note.
enum class TCalcErrorCode : quint8 {
    None,
    DivisionByZero,   // "Division by zero" from the arithmetic
    Overflow,         // a finite computation left the range of a double or of an integer
    InvalidOperation, // "Invalid variant operation"
    Conversion,       // a text that is no number, or a value that cannot take the asked kind
    SingularMatrix,   // "gaussj: Singular Matrix"
    MatrixDimensions, // "wrong matrix dimensions"
    NotPossible,      // "Operation not possible": an operation with no meaning for its operands
    StackOverflow,    // "Stack overflow": more pending operands than the machine holds
    TooMuchWork,      // "Calculation too large": beyond the work allowed in one run
};

class TCalcError
{
public:
    TCalcError() = default;
    TCalcError(TCalcErrorCode code, QString text)
        : m_code(code)
        , m_text(std::move(text))
    {}

    static TCalcError divisionByZero()
    {
        return {TCalcErrorCode::DivisionByZero, QStringLiteral("Division by zero")};
    }
    static TCalcError overflow() { return {TCalcErrorCode::Overflow, QStringLiteral("Overflow")}; }
    static TCalcError invalidOperation()
    {
        return {TCalcErrorCode::InvalidOperation, QStringLiteral("Invalid variant operation")};
    }
    static TCalcError singularMatrix()
    {
        return {TCalcErrorCode::SingularMatrix, QStringLiteral("gaussj: Singular Matrix")};
    }
    static TCalcError matrixDimensions()
    {
        return {TCalcErrorCode::MatrixDimensions, QStringLiteral("wrong matrix dimensions")};
    }

    static TCalcError notPossible()
    {
        return {TCalcErrorCode::NotPossible, QStringLiteral("Operation not possible")};
    }
    static TCalcError stackOverflow()
    {
        return {TCalcErrorCode::StackOverflow, QStringLiteral("Stack overflow")};
    }
    static TCalcError tooMuchWork()
    {
        return {TCalcErrorCode::TooMuchWork, QStringLiteral("Calculation too large")};
    }

    TCalcErrorCode code() const { return m_code; }
    const QString &text() const { return m_text; }
    bool isError() const { return m_code != TCalcErrorCode::None; }
    explicit operator bool() const { return isError(); }
    friend bool operator==(const TCalcError &, const TCalcError &) = default;

private:
    TCalcErrorCode m_code = TCalcErrorCode::None;
    QString m_text;
};
