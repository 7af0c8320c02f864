#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include <QLocale>
#include <QTest>

#include "calc/complexdata.h"
#include "calc/complexvariant.h"
#include "calc/numbertext.h"
#include "calcerrortostring.h"

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double pi = std::numbers::pi;

using Function = std::function<TCalcError(TComplexData &)>;

template <typename Method>
Function call(Method method)
{
    return [method](TComplexData &z) {
        if constexpr (std::is_same_v<decltype((z.*method)()), void>) {
            (z.*method)();
            return TCalcError();
        } else {
            return (z.*method)();
        }
    };
}

const QHash<QString, Function> &functions()
{
    static const QHash<QString, Function> table{
        {"sqrt", call(&TComplexData::DoSqrt)},
        {"exp", call(&TComplexData::DoExp)},
        {"ln", call(&TComplexData::DoLn)},
        {"log10", call(&TComplexData::DoLog10)},
        {"log2", call(&TComplexData::DoLog2)},
        {"sin", call(&TComplexData::DoSin)},
        {"cos", call(&TComplexData::DoCos)},
        {"tan", call(&TComplexData::DoTan)},
        {"cot", call(&TComplexData::DoCot)},
        {"sec", call(&TComplexData::DoSec)},
        {"arcsin", call(&TComplexData::DoArcSin)},
        {"arccos", call(&TComplexData::DoArcCos)},
        {"arctan", call(&TComplexData::DoArcTan)},
        {"arccot", call(&TComplexData::DoArcCot)},
        {"sinh", call(&TComplexData::DoSinH)},
        {"tanh", call(&TComplexData::DoTanH)},
        {"arcsinh", call(&TComplexData::DoArcSinH)},
        {"arccosh", call(&TComplexData::DoArcCosH)},
        {"arctanh", call(&TComplexData::DoArcTanH)},
        {"arcsech", call(&TComplexData::DoArcSecH)},
        {"inverse", call(&TComplexData::DoInverse)},
        {"sign", call(&TComplexData::DoSign)},
        {"sqr", call(&TComplexData::DoSqr)},
        {"logN 8", [](TComplexData &z) { return z.DoLogN(8); }},
        {"logN 1", [](TComplexData &z) { return z.DoLogN(1); }},
        {"power 3", [](TComplexData &z) { return z.DoPower(TComplexData(3)); }},
        {"power 0", [](TComplexData &z) { return z.DoPower(TComplexData(0)); }},
        {"divide 1e-7", [](TComplexData &z) { return z.DoDivide(TComplexData(1e-7)); }},
        {"divide 1e-11", [](TComplexData &z) { return z.DoDivide(TComplexData(1e-11)); }},
        {"invdivide 1", [](TComplexData &z) { return z.DoInvDivide(1, 0); }},
    };
    return table;
}

bool close(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    if (std::isinf(expected))
        return actual == expected;
    return std::fabs(actual - expected) <= 1e-14 * std::max(1.0, std::fabs(expected));
}

} // namespace

class TestComplexData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snapping();
    void equality_data();
    void equality();
    void functions_data();
    void functions();
    void undefinedIsTheQuietNaN();
    void failedOperationLeavesNumberUnchanged();
    void polar();
    void parse_data();
    void parse();
    void textForms_data();
    void textForms();
    void generalFormat_data();
    void generalFormat();
    void trimZerosAndUpperCase_data();
    void trimZerosAndUpperCase();
    void variantOperators();
    void variantConversions_data();
    void variantConversions();
};

void TestComplexData::snapping()
{
    TComplexData z(1, 1);
    z.SetReal(1e-13);
    QVERIFY(z.Real() == 0.0 && !std::signbit(z.Real()));
    z.SetImaginary(-1e-12);
    QVERIFY(z.Imaginary() == 0.0 && !std::signbit(z.Imaginary()));
    z.SetImaginary(1.1e-12);
    QCOMPARE(z.Imaginary(), 1.1e-12);

    TComplexData sine(pi, 0);
    QVERIFY(!sine.DoSin());
    QVERIFY(sine.Real() == 0.0 && sine.Imaginary() == 0.0);

    TComplexData negated; // -0 is snapped to +0 as well
    negated.DoNegate();
    QVERIFY(!std::signbit(negated.Real()) && !std::signbit(negated.Imaginary()));
}

void TestComplexData::equality_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("1 and 1+1e-13") << 1.0 << 1.0 + 1e-13 << true;
    QTest::newRow("0 and 1e-11") << 0.0 << 1e-11 << false;
    QTest::newRow("absolute floor 1e-12") << 0.0 << 1e-12 << true;
    QTest::newRow("relative 1e6") << 1e6 << 1e6 + 5e-7 << true;
    QTest::newRow("relative 1e6 too far") << 1e6 << 1e6 + 5e-6 << false;
    QTest::newRow("infinities") << inf << inf << true;
}

void TestComplexData::equality()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(bool, equal);
    // Set directly so that snapping does not hide the difference.
    TComplexData x(a, 2);
    QCOMPARE(x.Equals(TComplexData(b, 2)), equal);
    QCOMPARE(TComplexData(2, a).Equals(2, b), equal);
}

void TestComplexData::functions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<double>("expectedRe");
    QTest::addColumn<double>("expectedIm");
    QTest::addColumn<QString>("error");
    const double nan = std::numeric_limits<double>::quiet_NaN();

    QTest::newRow("sqrt -4") << "sqrt" << -4.0 << 0.0 << 0.0 << 2.0 << "";
    QTest::newRow("sqrt 2i") << "sqrt" << 0.0 << 2.0 << 1.0 << 1.0 << "";
    QTest::newRow("sqrt 3+4i") << "sqrt" << 3.0 << 4.0 << 2.0 << 1.0 << "";
    QTest::newRow("sqrt below the cut") << "sqrt" << -4.0 << -1e-6 << 2.5e-7 << -2.0 << "";
    QTest::newRow("sqrt 0") << "sqrt" << 0.0 << 0.0 << 0.0 << 0.0 << "";
    QTest::newRow("tan pi/2") << "tan" << pi / 2 << 0.0 << nan << nan << "";
    QTest::newRow("tan -pi/2") << "tan" << -pi / 2 << 0.0 << -pi / 2 << 0.0 << "Division by zero";
    QTest::newRow("tan pi/4") << "tan" << pi / 4 << 0.0 << 1.0 << 0.0 << "";
    QTest::newRow("tan i") << "tan" << 0.0 << 1.0 << 0.0 << std::tanh(1.0) << "";
    QTest::newRow("sec pi/2") << "sec" << pi / 2 << 0.0 << nan << nan << "";
    QTest::newRow("cot 0") << "cot" << 0.0 << 0.0 << nan << nan << "";
    QTest::newRow("arctan i") << "arctan" << 0.0 << 1.0 << 0.0 << inf << "";
    QTest::newRow("arctan -i") << "arctan" << 0.0 << -1.0 << 0.0 << -inf << "";
    QTest::newRow("arctan 1") << "arctan" << 1.0 << 0.0 << pi / 4 << 0.0 << "";
    QTest::newRow("arccot 0") << "arccot" << 0.0 << 0.0 << 0.0 << 0.0 << "Division by zero";
    QTest::newRow("arcsin 0.5") << "arcsin" << 0.5 << 0.0 << pi / 6 << 0.0 << "";
    // Beyond 1 the formula's own branch: sqrt(-3) = +1.73i, so the imaginary part is negative.
    QTest::newRow("arcsin 2") << "arcsin" << 2.0 << 0.0 << pi / 2 << -std::acosh(2.0) << "";
    QTest::newRow("arccos 0.5") << "arccos" << 0.5 << 0.0 << pi / 3 << 0.0 << "";
    QTest::newRow("ln 0") << "ln" << 0.0 << 0.0 << -inf << 0.0 << "";
    QTest::newRow("ln -1") << "ln" << -1.0 << 0.0 << 0.0 << pi << "";
    QTest::newRow("log10 1000") << "log10" << 1000.0 << 0.0 << 3.0 << 0.0 << "";
    QTest::newRow("log10 0") << "log10" << 0.0 << 0.0 << -inf << 0.0 << "";
    QTest::newRow("log2 8") << "log2" << 8.0 << 0.0 << 3.0 << 0.0 << "";
    QTest::newRow("logN 8 of 64") << "logN 8" << 64.0 << 0.0 << 2.0 << 0.0 << "";
    QTest::newRow("logN 8 of 0") << "logN 8" << 0.0 << 0.0 << -inf << 0.0 << "";
    QTest::newRow("logN 1") << "logN 1" << 5.0 << 0.0 << 5.0 << 0.0 << "Division by zero";
    QTest::newRow("exp i pi") << "exp" << 0.0 << pi << -1.0 << 0.0 << "";
    QTest::newRow("exp overflow") << "exp" << 1000.0 << 0.0 << 1000.0 << 0.0 << "Overflow";
    QTest::newRow("power 2^3") << "power 3" << 2.0 << 0.0 << 8.0 << 0.0 << "";
    QTest::newRow("power 0^0") << "power 0" << 0.0 << 0.0 << 1.0 << 0.0 << "";
    QTest::newRow("power 0^3") << "power 3" << 0.0 << 0.0 << 0.0 << 0.0 << "";
    QTest::newRow("sinh i pi/2") << "sinh" << 0.0 << pi / 2 << 0.0 << 1.0 << "";
    QTest::newRow("tanh 0") << "tanh" << 0.0 << 0.0 << 0.0 << 0.0 << "";
    QTest::newRow("arcsinh 1") << "arcsinh" << 1.0 << 0.0 << std::asinh(1.0) << 0.0 << "";
    QTest::newRow("arccosh 2") << "arccosh" << 2.0 << 0.0 << std::acosh(2.0) << 0.0 << "";
    QTest::newRow("arctanh 0.5") << "arctanh" << 0.5 << 0.0 << std::atanh(0.5) << 0.0 << "";
    QTest::newRow("arctanh 1") << "arctanh" << 1.0 << 0.0 << inf << 0.0 << "";
    QTest::newRow("arctanh -1") << "arctanh" << -1.0 << 0.0 << -inf << 0.0 << "";
    QTest::newRow("arcsech 0") << "arcsech" << 0.0 << 0.0 << inf << 0.0 << "";
    QTest::newRow("sign 3+4i") << "sign" << 3.0 << 4.0 << 0.6 << 0.8 << "";
    QTest::newRow("sqr 1+2i") << "sqr" << 1.0 << 2.0 << -3.0 << 4.0 << "";
    // Inverse thresholds: a division refuses only a zero divisor, an inverse tests the square
    // against the zero test (1e-12).
    QTest::newRow("1 / 1e-7") << "divide 1e-7" << 1.0 << 0.0 << 1e7 << 0.0 << "";
    QTest::newRow("1 / 1e-11") << "divide 1e-11" << 1.0 << 0.0 << 1e11 << 0.0 << "";
    QTest::newRow("inverse 1e-7") << "inverse" << 1e-7 << 0.0 << 1e-7 << 0.0 << "Division by zero";
    QTest::newRow("inverse 1e-5") << "inverse" << 1e-5 << 0.0 << 1e5 << 0.0 << "";
    QTest::newRow("inverse 1+i") << "inverse" << 1.0 << 1.0 << 0.5 << -0.5 << "";
    QTest::newRow("1 / (1e-7)") << "invdivide 1" << 1e-7 << 0.0 << 1e-7 << 0.0
                                << "Division by zero";
    QTest::newRow("1 / 2i") << "invdivide 1" << 0.0 << 2.0 << 0.0 << -0.5 << "";
}

void TestComplexData::functions()
{
    QFETCH(QString, function);
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(double, expectedRe);
    QFETCH(double, expectedIm);
    QFETCH(QString, error);

    TComplexData z(re, im);
    const TCalcError result = ::functions().value(function)(z);
    QCOMPARE(result.text(), error);
    QVERIFY2(close(z.Real(), expectedRe) && close(z.Imaginary(), expectedIm),
             qPrintable(QStringLiteral("got (%1, %2)")
                            .arg(z.Real(), 0, 'g', 17)
                            .arg(z.Imaginary(), 0, 'g', 17)));
}

void TestComplexData::undefinedIsTheQuietNaN()
{
    TComplexData z(pi / 2, 0);
    QVERIFY(!z.DoTan());
    QCOMPARE(std::bit_cast<quint64>(z.Real()), quint64(0xFFF8000000000000ULL));
    QCOMPARE(std::bit_cast<quint64>(z.Imaginary()), quint64(0xFFF8000000000000ULL));
}

void TestComplexData::failedOperationLeavesNumberUnchanged()
{
    TComplexData z(3, 4);
    QCOMPARE(z.DoDivide(TComplexData(0, 0)).code(), TCalcErrorCode::DivisionByZero);
    QCOMPARE(z.DoArcCot(), TCalcError()); // succeeds: 1/z is fine
    TComplexData tiny(1e-7, 0);
    QCOMPARE(tiny.DoArcCsc().text(), QStringLiteral("Division by zero"));
    QCOMPARE(tiny.Real(), 1e-7);
}

void TestComplexData::polar()
{
    TComplexData z(-1, -1e-6);
    double radius = 0;
    double theta = 0;
    z.GetAsPolar(radius, theta, true);
    QVERIFY(theta < -3 && theta > -pi);
    QCOMPARE(TComplexData(-1, 0).FixedTheta(), pi);
    QCOMPARE(TComplexData(3, 4).Radius(), 5.0);
    QCOMPARE(TComplexData(1e200, 1e200).GetAbs(), std::sqrt(2.0) * 1e200);

    TComplexData p;
    p.SetAsPolar(2, pi / 2);
    QVERIFY(p.Real() == 0.0); // cos(pi/2) is about 6e-17 and snaps
    QCOMPARE(p.Imaginary(), 2.0);
}

void TestComplexData::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<QString>("error");
    QTest::newRow("3") << "3" << 3.0 << 0.0 << "";
    QTest::newRow("1.5+2i") << "1.5+2i" << 1.5 << 2.0 << "";
    QTest::newRow("1.5 - 2I") << "1.5 - 2I" << 1.5 << -2.0 << "";
    QTest::newRow("-1e3 + 0.5i") << "-1e3 + 0.5i" << -1000.0 << 0.5 << "";
    QTest::newRow("1 + -2i") << "1 + -2i" << 1.0 << -2.0 << "";
    QTest::newRow("blanks around") << "  2.5 + 1E-3i  " << 2.5 << 0.001 << "";
    QTest::newRow("exponent without digits")
        << "2e+i" << 0.0 << 0.0 << "Could not parse required '+' (or '-') symbol [2<?>e+i]";
    QTest::newRow("2i") << "2i" << 0.0 << 0.0
                        << "Could not parse required '+' (or '-') symbol [2<?>i]";
    QTest::newRow("1.5 + xi") << "1.5 + xi" << 0.0 << 0.0
                              << "Could not parse imaginary portion [1.5 + <?>xi]";
    QTest::newRow("1 + 2j") << "1 + 2j" << 0.0 << 0.0
                            << "Could not parse required 'i' symbol [1 + 2<?>j]";
    QTest::newRow("1 + 2i 3") << "1 + 2i 3" << 0.0 << 0.0 << "Unexpected characters [1 + 2i <?>3]";
    QTest::newRow("abc") << "abc" << 0.0 << 0.0 << "Could not parse real portion [<?>abc]";
    QTest::newRow("comma is no decimal mark")
        << "1,5" << 0.0 << 0.0 << "Could not parse required '+' (or '-') symbol [1<?>,5]";
}

void TestComplexData::parse()
{
    QFETCH(QString, text);
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(QString, error);

    TComplexData z(7, 7);
    const TCalcError result = z.SetAsString(text);
    QCOMPARE(result.text(), error);
    if (error.isEmpty()) {
        QCOMPARE(z.Real(), re);
        QCOMPARE(z.Imaginary(), im);
    } else {
        QCOMPARE(result.code(), TCalcErrorCode::Conversion);
        QVERIFY(z.Equals(7, 7));
    }
}

void TestComplexData::textForms_data()
{
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<QString>("asString");
    QTest::addColumn<QString>("display");
    QTest::newRow("1.5-2i") << 1.5 << -2.0 << "1.5 - 2i"
                            << "1.5-2i";
    QTest::newRow("1+0i") << 1.0 << 0.0 << "1 + 0i"
                          << "1+0i";
    QTest::newRow("big imaginary") << -0.5 << 1e20 << "-0.5 + 1E020i"
                                   << "-0.5+1E20i";
    QTest::newRow("small imaginary") << 0.5 << 1.5e-7 << "0.5 + 1.5E-007i"
                                     << "0.5+1.5E-7i";
    QTest::newRow("infinite") << -inf << 0.0 << "-INF + 0i"
                              << "-INF+0i";
}

void TestComplexData::textForms()
{
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(QString, asString);
    QFETCH(QString, display);
    const TComplexData z(re, im);
    QCOMPARE(z.AsString(), asString);
    QCOMPARE(ComplexToStr(TCalcValue(z)), display);
    QVERIFY(z.Equals(asString.toUpper()));

    if (std::isfinite(re)) { // AsString reads back to the same number
        TComplexData back;
        QCOMPARE(back.SetAsString(asString), TCalcError());
        QVERIFY(back.Equals(z));
    }
}

void TestComplexData::generalFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("0.0001 plain") << 0.0001 << "0.0001";
    QTest::newRow("0.00009 scientific") << 0.00009 << "9E-5";
    QTest::newRow("15-digit integer") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1e15") << 1e15 << "1E15";
    QTest::newRow("15 significant digits") << 2.0 / 3.0 << "0.666666666666667";
    QTest::newRow("rounding hides binary noise") << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative") << -123456.789 << "-123456.789";
    QTest::newRow("big rounded") << 1234567890123456789.0 << "1.23456789012346E18";
    QTest::newRow("tiny negative") << -1.5e-300 << "-1.5E-300";
    QTest::newRow("infinite") << inf << "INF";
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "NAN";
}

void TestComplexData::generalFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatGeneral(value), text);
}

void TestComplexData::trimZerosAndUpperCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("2.500") << "2.500"
                           << "2.5";
    QTest::newRow("3.000") << "3.000"
                           << "3";
    QTest::newRow("100") << "100"
                         << "100";
    QTest::newRow("comma") << "1,500"
                           << "1,500";
    QTest::newRow("0.0") << "0.0"
                         << "0";
}

void TestComplexData::trimZerosAndUpperCase()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimZeros(text), trimmed);
    QCOMPARE(UpperCaseText(QStringLiteral("1.5e+003 \u00e4b")), QStringLiteral("1.5E+003 \u00e4B"));
}

void TestComplexData::variantOperators()
{
    TCalcValue result;
    const TCalcValue z = MakeComplex(1, 2);

    QCOMPARE(TCalcValue::binary(TCalcBinaryOp::Add, TCalcValue(QStringLiteral("z is ")), z, result),
             TCalcError());
    QCOMPARE(result.text(), QStringLiteral("z is 1 + 2i"));

    QCOMPARE(TCalcValue::binary(TCalcBinaryOp::Add, z, TCalcValue(QStringLiteral("2")), result),
             TCalcError());
    QVERIFY(result.complex().Equals(3, 2));

    QCOMPARE(TCalcValue::binary(TCalcBinaryOp::Subtract, TCalcValue(5), z, result), TCalcError());
    QVERIFY(result.complex().Equals(4, -2));

    QCOMPARE(TCalcValue::binary(TCalcBinaryOp::Divide, z, MakeComplex(0, 0), result).text(),
             QStringLiteral("Division by zero"));
    QCOMPARE(
        TCalcValue::binary(TCalcBinaryOp::Add, z, TCalcValue(QStringLiteral("x")), result).code(),
        TCalcErrorCode::Conversion);

    for (TCalcBinaryOp op : {TCalcBinaryOp::IntDivide, TCalcBinaryOp::Modulus,
                             TCalcBinaryOp::ShiftLeft, TCalcBinaryOp::And, TCalcBinaryOp::Xor}) {
        QCOMPARE(TCalcValue::binary(op, z, TCalcValue(2), result).text(),
                 QStringLiteral("Invalid variant operation"));
    }
    QCOMPARE(TCalcValue::unary(TCalcUnaryOp::Not, z, result), TCalcError::invalidOperation());
    QCOMPARE(TCalcValue::unary(TCalcUnaryOp::Negate, z, result), TCalcError());
    QVERIFY(result.complex().Equals(-1, -2));

    bool answer = false;
    QCOMPARE(TCalcValue::compare(TCalcCompareOp::Less, z, MakeComplex(2, 2), answer).text(),
             QStringLiteral("Invalid variant operation"));
    QCOMPARE(TCalcValue::compare(TCalcCompareOp::Equal, z, MakeComplex(1 + 1e-13, 2), answer),
             TCalcError());
    QVERIFY(answer);
    QCOMPARE(TCalcValue::compare(TCalcCompareOp::NotEqual, z, TCalcValue(1), answer), TCalcError());
    QVERIFY(answer);

    QVERIFY(TCalcValue().isClear());
    QVERIFY(MakeComplex(1e-13, 0).isClear());
    QVERIFY(!MakeComplex(0, 1).isClear());
}

void TestComplexData::variantConversions_data()
{
    QTest::addColumn<double>("re");
    QTest::addColumn<qint64>("integer");
    QTest::newRow("2.5 to even") << 2.5 << qint64(2);
    QTest::newRow("3.5 to even") << 3.5 << qint64(4);
    QTest::newRow("-2.5 to even") << -2.5 << qint64(-2);
    QTest::newRow("2.6 nearest") << 2.6 << qint64(3);
}

void TestComplexData::variantConversions()
{
    QFETCH(double, re);
    QFETCH(qint64, integer);
    TCalcValue converted;
    QCOMPARE(TComplexVariantType::CastTo(TComplexData(re, 7), TCalcValue::Kind::Integer, converted),
             TCalcError());
    QCOMPARE(converted.integer(), integer);
    QCOMPARE(TComplexVariantType::CastTo(TComplexData(re, 7), TCalcValue::Kind::Real, converted),
             TCalcError());
    QCOMPARE(converted.real(), re);
    QCOMPARE(TComplexVariantType::CastTo(TComplexData(re, 7), TCalcValue::Kind::Text, converted),
             TCalcError());
    QCOMPARE(converted.text(), TComplexData(re, 7).AsString());

    TComplexData z;
    QCOMPARE(TComplexVariantType::Cast(TCalcValue(integer), z), TCalcError());
    QVERIFY(z.Equals(double(integer), 0));
    QCOMPARE(
        TComplexVariantType::CastTo(TComplexData(1e300, 0), TCalcValue::Kind::Integer, converted),
        TCalcError::overflow());
}

QTEST_APPLESS_MAIN(TestComplexData)
#include "tst_complexdata.moc"
