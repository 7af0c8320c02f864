#include <cmath>
#include <numbers>

#include <QLocale>
#include <QTest>

#include "calc/complexvariant.h"
#include "calc/datastack.h"
#include "calc/hpcalc.h"
#include "calcerrortostring.h"

namespace {

TComplexMatrix matrix(const QList<QList<double>> &rows)
{
    TComplexMatrix result;
    for (const QList<double> &row : rows) {
        TComplexArray elements;
        for (double value : row)
            elements.append(MakeComplex(value));
        result.append(elements);
    }
    return result;
}

double real(const TCalcValue &value)
{
    return value.realPart();
}

double imaginary(const TCalcValue &value)
{
    return value.isComplex() ? value.complex().Imaginary() : 0.0;
}

// "2" or "2i" a number, "(1, 2)" a vector, "((1, 2), (3, 4))" a matrix of real numbers.
void pushOperand(THPCalc &hp, const QString &text)
{
    const auto numbers = [](QString list) {
        TComplexArray elements;
        list.remove(u'(').remove(u')');
        for (const QString &item : list.split(u',', Qt::SkipEmptyParts))
            elements.append(MakeComplex(item.trimmed().toDouble()));
        return elements;
    };
    if (text.startsWith(QStringLiteral("(("))) {
        TComplexMatrix rows;
        for (const QString &row : text.mid(1, text.size() - 2).split(QStringLiteral("),")))
            rows.append(numbers(row));
        hp.PushMatrix(rows);
    } else if (text.startsWith(u'(')) {
        hp.PushVector(numbers(text));
    } else if (text.endsWith(u'i')) {
        hp.Push(MakeComplex(0, text.chopped(1).toDouble()));
    } else {
        hp.Push(MakeComplex(text.toDouble()));
    }
}

bool close(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    return std::fabs(actual - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
}

} // namespace

class TestHPCalc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stacksGrowAsDeepAsNeeded();
    void operations_data();
    void operations();
    void errorsPopOperandsAndShowOnce_data();
    void errorsPopOperandsAndShowOnce();
    void firstErrorSurvivesLaterOperations();
    void lastX();
    void randomIsSeeded();
    void display_data();
    void display();
    void displayOfTinyNumbers();
    void displayUsesLocaleSeparator();
    void matrixOperations();
    void matrixDisplay();
    void arrayArithmetic_data();
    void arrayArithmetic();
    void workIsCapped();
    void vectorOperations();
    void dataStackLayout();
    void dataStackLimits();
};

void TestHPCalc::stacksGrowAsDeepAsNeeded()
{
    THPCalc hp;
    for (int i = 1; i <= 50; ++i)
        hp.Push(MakeComplex(i));
    for (int i = 50; i >= 1; --i)
        QCOMPARE(real(hp.Pop()), double(i));
    // An empty machine gives 0.
    QVERIFY(hp.Pop().complex().IsZero());
    QCOMPARE(hp.Depth(), 0);

    // The tags keep the order of every kind pushed; a pop takes the top item whatever it is.
    hp.Push(MakeComplex(1));
    hp.PushVector({MakeComplex(2), MakeComplex(3)});
    hp.PushMatrix(matrix({{4}}));
    hp.Push(MakeComplex(5));
    QCOMPARE(hp.TopType(), tiDouble);
    QCOMPARE(hp.TypeBelowTop(), tiMatrix);
    QCOMPARE(real(hp.Pop()), 5.0);
    QVERIFY(std::isnan(real(hp.Pop()))); // the matrix, dropped
    QCOMPARE(hp.PopVector().size(), 2);
    QCOMPARE(real(hp.Pop()), 1.0);

    // Beyond the limit a push is refused with an error rather than losing an operand.
    THPCalc full;
    for (qsizetype i = 0; i < THPCalc::MaxDepth; ++i)
        full.Push(MakeComplex(1));
    QVERIFY(full.Error().isEmpty());
    full.Push(MakeComplex(2));
    QCOMPARE(full.Depth(), THPCalc::MaxDepth);
    QCOMPARE(full.Error(), QStringLiteral("Stack overflow"));

    // Roll down makes X the bottom number; roll up brings it back.
    THPCalc roll;
    for (int i = 1; i <= 4; ++i)
        roll.Push(MakeComplex(i));
    roll.ExecOp(hpStackDown);
    QCOMPARE(real(roll.ValueAt(1)), 3.0);
    QCOMPARE(real(roll.ValueAt(roll.Depth())), 4.0);
    roll.ExecOp(hpStackUp);
    QCOMPARE(real(roll.ValueAt(1)), 4.0);
    QCOMPARE(roll.Depth(), 4);
}

void TestHPCalc::operations_data()
{
    // Y is pushed first, then X; the result is read from X (and Y where given).
    QTest::addColumn<int>("op");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("xIm");
    QTest::addColumn<double>("resultRe");
    QTest::addColumn<double>("resultIm");
    QTest::addColumn<double>("resultY");
    const double pi = std::numbers::pi;
    const double nan = std::nan("");

    QTest::newRow("add") << int(hpAdd) << 3.0 << 4.0 << 0.0 << 7.0 << 0.0 << nan;
    QTest::newRow("sub 3-4") << int(hpSub) << 3.0 << 4.0 << 0.0 << -1.0 << 0.0 << nan;
    QTest::newRow("mul") << int(hpMul) << 3.0 << 4.0 << 1.0 << 12.0 << 3.0 << nan;
    QTest::newRow("div") << int(hpDiv) << 1.0 << 4.0 << 0.0 << 0.25 << 0.0 << nan;
    QTest::newRow("div by 2i") << int(hpDiv) << 1.0 << 0.0 << 2.0 << 0.0 << -0.5 << nan;
    QTest::newRow("enter") << int(hpEnter) << 1.0 << 4.0 << 0.0 << 4.0 << 0.0 << 4.0;
    QTest::newRow("pwr 2^10") << int(hpPwr) << 2.0 << 10.0 << 0.0 << 1024.0 << 0.0 << nan;
    QTest::newRow("pwr 2^-1") << int(hpPwr) << 2.0 << -1.0 << 0.0 << 0.5 << 0.0 << nan;
    QTest::newRow("pwr (-2)^3") << int(hpPwr) << -2.0 << 3.0 << 0.0 << -8.0 << 0.0 << nan;
    QTest::newRow("pwr (-8)^(1/3) principal")
        << int(hpPwr) << -8.0 << 1.0 / 3 << 0.0 << 1.0 << std::sqrt(3.0) << nan;
    QTest::newRow("pwr 2^i") << int(hpPwr) << 2.0 << 0.0 << 1.0 << std::cos(std::log(2.0))
                             << std::sin(std::log(2.0)) << nan;
    QTest::newRow("div by 1e-11") << int(hpDiv) << 1.0 << 1e-11 << 0.0 << 1e11 << 0.0 << nan;
    QTest::newRow("ln 1+2i principal")
        << int(hpLn) << 0.0 << 1.0 << 2.0 << 0.5 * std::log(5.0) << std::atan2(2.0, 1.0) << nan;
    QTest::newRow("ln -1") << int(hpLn) << 0.0 << -1.0 << 0.0 << 0.0 << pi << nan;
    // Degrees reduced exactly: 1e20 degrees is 280 degrees into its turn.
    QTest::newRow("sin 1e20") << int(hpSin) << 0.0 << 1e20 << 0.0 << std::sin(280 * pi / 180) << 0.0
                              << nan;
    QTest::newRow("cos -1e22") << int(hpCos) << 0.0 << -1e22 << 0.0
                               << std::cos(std::fmod(-1e22, 360.0) * pi / 180) << 0.0 << nan;
    QTest::newRow("pwr10") << int(hpPwr10) << 0.0 << 2.0 << 0.0 << 100.0 << 0.0 << nan;
    QTest::newRow("inv") << int(hpInv) << 0.0 << 4.0 << 0.0 << 0.25 << 0.0 << nan;
    QTest::newRow("sin 90") << int(hpSin) << 0.0 << 90.0 << 0.0 << 1.0 << 0.0 << nan;
    QTest::newRow("sin 180 snaps") << int(hpSin) << 0.0 << 180.0 << 0.0 << 0.0 << 0.0 << nan;
    QTest::newRow("cos 60") << int(hpCos) << 0.0 << 60.0 << 0.0 << 0.5 << 0.0 << nan;
    QTest::newRow("tan 45") << int(hpTan) << 0.0 << 45.0 << 0.0 << 1.0 << 0.0 << nan;
    QTest::newRow("asin 1") << int(hpInvSin) << 0.0 << 1.0 << 0.0 << 90.0 << 0.0 << nan;
    QTest::newRow("acos 0.5") << int(hpInvCos) << 0.0 << 0.5 << 0.0 << 60.0 << 0.0 << nan;
    QTest::newRow("atan 1") << int(hpInvTan) << 0.0 << 1.0 << 0.0 << 45.0 << 0.0 << nan;
    QTest::newRow("exchange") << int(hpExc) << 3.0 << 4.0 << 0.0 << 3.0 << 0.0 << 4.0;
    QTest::newRow("ln e") << int(hpLn) << 0.0 << std::numbers::e << 0.0 << 1.0 << 0.0 << nan;
    QTest::newRow("log 1000") << int(hpLog10) << 0.0 << 1000.0 << 0.0 << 3.0 << 0.0 << nan;
    QTest::newRow("chs") << int(hpCHS) << 0.0 << 5.0 << 1.0 << -5.0 << -1.0 << nan;
    QTest::newRow("exp i pi") << int(hpExp) << 0.0 << 0.0 << pi << -1.0 << 0.0 << nan;
    QTest::newRow("sqr") << int(hpSqr) << 0.0 << 3.0 << 0.0 << 9.0 << 0.0 << nan;
    QTest::newRow("abs is the modulus") << int(hpAbs) << 0.0 << -3.0 << 4.0 << 5.0 << 0.0 << nan;
    QTest::newRow("int of NAN") << int(hpInt) << 0.0 << std::nan("") << 0.0 << nan << 0.0 << nan;
    QTest::newRow("int") << int(hpInt) << 0.0 << -2.7 << 0.0 << -2.0 << 0.0 << nan;
    QTest::newRow("frac keeps imaginary")
        << int(hpFrac) << 0.0 << -2.75 << 1.0 << -0.75 << 1.0 << nan;
    QTest::newRow("sqrt -4") << int(hpSqrt) << 0.0 << -4.0 << 0.0 << 0.0 << 2.0 << nan;
    QTest::newRow("to rad") << int(hpToRad) << 0.0 << 180.0 << 0.0 << pi << 0.0 << nan;
    QTest::newRow("to deg") << int(hpToDeg) << 0.0 << pi << 0.0 << 180.0 << 0.0 << nan;
    QTest::newRow("percent, Y stays") << int(hpPC) << 200.0 << 10.0 << 0.0 << 20.0 << 0.0 << 200.0;
    QTest::newRow("percent change")
        << int(hpdPC) << 75.0 << 50.0 << 0.0 << -100.0 / 3 << 0.0 << nan;
    QTest::newRow("to polar") << int(hpToPol) << 4.0 << 3.0 << 0.0 << 5.0 << 0.0
                              << std::atan2(3.0, 4.0) * 180 / pi;
    QTest::newRow("to rect") << int(hpToRect) << 30.0 << 2.0 << 0.0 << std::sqrt(3.0) << 0.0 << 1.0;
    QTest::newRow("to HMS") << int(hpToHMS) << 0.0 << 1.5 << 0.0 << 1.3 << 0.0 << nan;
    QTest::newRow("to HMS seconds") << int(hpToHMS) << 0.0 << 2.51 << 0.0 << 2.3036 << 0.0 << nan;
    QTest::newRow("to H") << int(hpToH) << 0.0 << 1.3 << 0.0 << 1.5 << 0.0 << nan;
    QTest::newRow("to H seconds") << int(hpToH) << 0.0 << 2.3036 << 0.0 << 2.51 << 0.0 << nan;
}

void TestHPCalc::operations()
{
    QFETCH(int, op);
    QFETCH(double, y);
    QFETCH(double, x);
    QFETCH(double, xIm);
    QFETCH(double, resultRe);
    QFETCH(double, resultIm);
    QFETCH(double, resultY);

    THPCalc hp;
    hp.Push(MakeComplex(y));
    hp.Push(MakeComplex(x, xIm));
    QCOMPARE(hp.ExecOp(THPOperation(op)), TCalcError());
    QVERIFY(hp.Error().isEmpty());
    const TCalcValue top = hp.ValueAt(1);
    QVERIFY2(close(real(top), resultRe) && close(imaginary(top), resultIm),
             qPrintable(ComplexToStr(top)));
    if (!std::isnan(resultY)) {
        const TCalcValue below = hp.ValueAt(2);
        QVERIFY2(close(real(below), resultY), qPrintable(ComplexToStr(below)));
    }
}

void TestHPCalc::errorsPopOperandsAndShowOnce_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("error");
    QTest::addColumn<double>("xAfter"); // what was below the popped operands
    QTest::newRow("div by 0") << int(hpDiv) << 1.0 << 0.0 << "Divide by 0" << 7.0;
    // A stored part of 1e-13 is zero; 1e-11 is an ordinary divisor (operations table).
    QTest::newRow("div by 1e-13") << int(hpDiv) << 1.0 << 1e-13 << "Divide by 0" << 7.0;
    QTest::newRow("inv of 0") << int(hpInv) << 1.0 << 0.0 << "Divide by 0" << 1.0;
    QTest::newRow("tan -90") << int(hpTan) << 1.0 << -90.0 << "Divide by 0" << 1.0;
    QTest::newRow("0 ^ -1") << int(hpPwr) << 0.0 << -1.0 << "Divide by 0" << 7.0;
    QTest::newRow("ln 0") << int(hpLn) << 1.0 << 0.0 << "ln(0)" << 1.0;
    QTest::newRow("log 0") << int(hpLog10) << 1.0 << 1e-17 << "log(0)" << 1.0;
    QTest::newRow("10 ^ 400") << int(hpPwr10) << 1.0 << 400.0 << "Overflow" << 1.0;
    QTest::newRow("exp 1000") << int(hpExp) << 1.0 << 1000.0 << "Overflow" << 1.0;
    QTest::newRow("1e200 * 1e200") << int(hpMul) << 1e200 << 1e200 << "Overflow" << 7.0;
    QTest::newRow("int of 1e19") << int(hpInt) << 1.0 << 1e19 << "Overflow" << 1.0;
}

void TestHPCalc::errorsPopOperandsAndShowOnce()
{
    QFETCH(int, op);
    QFETCH(double, y);
    QFETCH(double, x);
    QFETCH(QString, error);
    QFETCH(double, xAfter);

    THPCalc hp;
    hp.Push(MakeComplex(7));
    hp.Push(MakeComplex(y));
    hp.Push(MakeComplex(x));
    QCOMPARE(hp.ExecOp(THPOperation(op)).text(), error);
    QCOMPARE(hp.Error(), error);
    // An undefined number holds the result's place; the items below keep theirs.
    QVERIFY(std::isnan(real(hp.ValueAt(1))));
    QCOMPARE(real(hp.ValueAt(2)), xAfter);
    QCOMPARE(hp.Display(), error);
    QVERIFY(hp.Error().isEmpty());
    QCOMPARE(hp.Display(), QString::number(xAfter, 'f', 9));
}

void TestHPCalc::firstErrorSurvivesLaterOperations()
{
    // 1e308 * 10 + 1, abs(1e308 * 10), (1e308 * 10) * 0 and 1 / 0 * 0: the error is shown.
    THPCalc hp;
    const auto overflow = [&hp] {
        hp.Push(MakeComplex(1e308));
        hp.Push(MakeComplex(10));
        hp.ExecOp(hpMul);
    };
    overflow();
    hp.Push(MakeComplex(1));
    QCOMPARE(hp.ExecOp(hpAdd), TCalcError());
    QCOMPARE(hp.Display(), QStringLiteral("Overflow"));
    overflow();
    hp.ExecOp(hpAbs);
    hp.Push(MakeComplex(0));
    hp.ExecOp(hpMul);
    hp.Push(MakeComplex(0));
    hp.ExecOp(hpDiv); // a second error does not replace the first
    QCOMPARE(hp.Display(), QStringLiteral("Overflow"));
    QCOMPARE(hp.Depth(), 0);
}

void TestHPCalc::lastX()
{
    THPCalc hp;
    hp.Push(MakeComplex(3));
    hp.Push(MakeComplex(4, 9));
    hp.ExecOp(hpAdd);
    QCOMPARE(hp.LastX(), 4.0); // the real part of X before the operation
    hp.ExecOp(hpLastX);
    QCOMPARE(real(hp.Pop()), 4.0);
    QCOMPARE(real(hp.Pop()), 7.0);
    QCOMPARE(hp.LastX(), 4.0);
}

void TestHPCalc::randomIsSeeded()
{
    THPCalc first(42);
    THPCalc second(42);
    first.ExecOp(hpRandom);
    second.ExecOp(hpRandom);
    const double value = real(first.Pop());
    QVERIFY(value >= 0 && value < 1);
    QCOMPARE(real(second.Pop()), value);
}

void TestHPCalc::display_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("fixLen");
    QTest::addColumn<bool>("killZeros");
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<QString>("text");
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("fix 2") << int(hpFix) << 9 << false << 2.0 << 0.0 << "2.000000000";
    QTest::newRow("fix 2 kill zeros") << int(hpFix) << 9 << true << 2.0 << 0.0 << "2";
    QTest::newRow("fix 0") << int(hpFix) << 9 << false << 0.0 << 0.0 << "0.000000000";
    QTest::newRow("fix 1e12") << int(hpFix) << 9 << false << 1e12 << 0.0 << "1.00000000E+012";
    QTest::newRow("fix 1e12 keeps zeros")
        << int(hpFix) << 9 << true << 1e12 << 0.0 << "1.00000000E+012";
    QTest::newRow("fix 1e11") << int(hpFix) << 2 << false << 1e11 << 0.0 << "100000000000.00";
    QTest::newRow("fix tiny negative")
        << int(hpFix) << 9 << false << -1e-11 << 0.0 << "0.000000000";
    QTest::newRow("fix 4 kill zeros") << int(hpFix) << 4 << true << 3.14159 << 0.0 << "3.1416";
    QTest::newRow("fix complex") << int(hpFix) << 9 << false << 1.5 << -2.0 << "1.5-2i";
    QTest::newRow("fix NAN") << int(hpFix) << 9 << false << std::nan("") << std::nan("") << "NAN";
    QTest::newRow("fix INF") << int(hpFix) << 9 << false << inf << 0.0 << "INF";
    QTest::newRow("sci") << int(hpSci) << 9 << false << 12345.678 << 0.0 << "1.23456780E+004";
    QTest::newRow("sci kill zeros")
        << int(hpSci) << 9 << true << 12345.678 << 0.0 << "1.2345678E+004";
    QTest::newRow("sci negative exponent")
        << int(hpSci) << 3 << false << -0.00125 << 0.0 << "-1.25E-003";
    QTest::newRow("sci 1 digit") << int(hpSci) << 1 << false << 0.0 << 0.0 << "0E+000";
    QTest::newRow("sci complex") << int(hpSci) << 9 << false << 0.0 << 1.0 << "0+1i";
    QTest::newRow("eng 12345") << int(hpEng) << 3 << false << 12345.0 << 0.0 << "12.345E3";
    QTest::newRow("eng 0.005") << int(hpEng) << 3 << false << 0.005 << 0.0 << "5.000E-3";
    QTest::newRow("eng 0") << int(hpEng) << 3 << false << 0.0 << 0.0 << "0.000";
    QTest::newRow("eng 0.005 kill zeros") << int(hpEng) << 3 << true << 0.005 << 0.0 << "5E-3";
    QTest::newRow("eng 0.5") << int(hpEng) << 3 << false << 0.5 << 0.0 << "500.000E-3";
    QTest::newRow("eng -1234567") << int(hpEng) << 3 << false << -1234567.0 << 0.0 << "-1.235E6";
    QTest::newRow("eng NAN") << int(hpEng) << 3 << false << std::nan("") << 0.0 << "NAN";
    QTest::newRow("eng -INF") << int(hpEng) << 3 << false << -inf << 0.0 << "-INF";
    // Rounded from the value itself, ties of the decimal text to even as in the other formats,
    // and the exponent chosen after rounding.
    QTest::newRow("eng decimal tie")
        << int(hpEng) << 1 << false << 473150000000000.0 << 0.0 << "473.2E12";
    QTest::newRow("eng 0.00455") << int(hpEng) << 1 << false << 0.00455 << 0.0 << "4.6E-3";
    QTest::newRow("eng rounds up to the next exponent")
        << int(hpEng) << 3 << false << 999.9996 << 0.0 << "1.000E3";
    QTest::newRow("eng rounds up to 1E-3")
        << int(hpEng) << 2 << false << 0.000999999 << 0.0 << "1.00E-3";
    QTest::newRow("eng negative complex")
        << int(hpEng) << 1 << false << -2500.0 << -0.25 << "-2.5E3-250.0E-3i";
    QTest::newRow("fix large complex")
        << int(hpFix) << 9 << false << 1e13 << 5.0 << "10000000000000+5i";
    QTest::newRow("eng shows imaginary") << int(hpEng) << 2 << false << 1.0 << 5.0 << "1.00+5.00i";
}

void TestHPCalc::display()
{
    QFETCH(int, mode);
    QFETCH(int, fixLen);
    QFETCH(bool, killZeros);
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(QString, text);

    THPCalc hp;
    hp.SetMode(THPMode(mode));
    hp.SetFixLen(fixLen);
    hp.SetKillZeros(killZeros);
    hp.Push(MakeComplex(re, im));
    QCOMPARE(hp.Display(), text);
    QCOMPARE(hp.DisplayLines(), 0);
    QCOMPARE(hp.Depth(), 0); // the result shown was taken off
    QCOMPARE(hp.DisplayValue(MakeComplex(re, im)), text);
}

void TestHPCalc::displayOfTinyNumbers()
{
    THPCalc hp;
    hp.Push(TCalcValue(-1e-13)); // a plain real keeps its value: exponent format
    QCOMPARE(hp.Display(), QStringLiteral("-1.00000000E-013"));
    hp.Push(MakeComplex(1e-13)); // a complex number has snapped it to 0 already
    QCOMPARE(hp.Display(), QStringLiteral("0.000000000"));
}

void TestHPCalc::displayUsesLocaleSeparator()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    THPCalc hp;
    hp.SetKillZeros(true);
    const TCalcValue x = MakeComplex(2.5);
    const QString fixed = hp.DisplayValue(x);
    hp.SetMode(hpSci);
    const QString scientific = hp.DisplayValue(x);
    hp.SetMode(hpEng);
    const QString engineering = hp.DisplayValue(x);
    QLocale::setDefault(saved);

    QCOMPARE(fixed, QStringLiteral("2,500000000")); // zero removal only knows "."
    QCOMPARE(scientific, QStringLiteral("2,50000000E+000"));
    QCOMPARE(engineering, QStringLiteral("2.5"));
}

void TestHPCalc::matrixOperations()
{
    THPCalc hp;
    hp.SetKillZeros(true);
    hp.PushMatrix(matrix({{1, 2}, {3, 4}}));
    hp.PushMatrix(matrix({{5, 6}, {7, 8}}));
    QCOMPARE(hp.ExecOp(hpMul), TCalcError());
    QCOMPARE(hp.Display(), QStringLiteral("\r\n((19, 22),\r\n(43, 50))\r\n"));

    hp.PushMatrix(matrix({{1, 2, 3}, {4, 5, 6}}));
    hp.PushMatrix(matrix({{1, 2, 3}, {4, 5, 6}}));
    QCOMPARE(hp.ExecOp(hpMul), TCalcError::matrixDimensions());
    QCOMPARE(hp.Display(), QStringLiteral("wrong matrix dimensions"));

    hp.PushMatrix(matrix({{4, 7}, {2, 6}}));
    QCOMPARE(hp.ExecOp(hpInv), TCalcError());
    QCOMPARE(hp.Display(), QStringLiteral("\r\n((0.6, -0.7),\r\n(-0.2, 0.4))\r\n"));

    // A singular or non-square matrix is reported as an error text, never pushed back.
    hp.PushMatrix(matrix({{1, 2}, {2, 4}}));
    QCOMPARE(hp.ExecOp(hpInv), TCalcError::singularMatrix());
    QCOMPARE(hp.Display(), QStringLiteral("gaussj: Singular Matrix"));
    hp.PushMatrix(matrix({{1, 2, 3}}));
    QCOMPARE(hp.ExecOp(hpInv).text(), QStringLiteral("wrong matrix dimensions"));
    QCOMPARE(hp.Error(), QStringLiteral("wrong matrix dimensions"));
    hp.Reset();
    QVERIFY(hp.Error().isEmpty());
}

void TestHPCalc::matrixDisplay()
{
    THPCalc hp;
    hp.SetKillZeros(true);
    QCOMPARE(hp.DisplayMatrix(matrix({{1, 2}, {3, 4}})),
             QStringLiteral("\r\n((1, 2),\r\n(3, 4))\r\n"));
    QCOMPARE(hp.DisplayLines(), 3);
    QCOMPARE(hp.DisplayMatrix(matrix({{1.5}, {2}, {-3}})),
             QStringLiteral("\r\n((1.5),\r\n(2),\r\n(-3))\r\n"));
    QCOMPARE(hp.DisplayLines(), 4);

    hp.SetKillZeros(false);
    hp.SetFixLen(2);
    hp.PushMatrix(matrix({{1, 2}}));
    QCOMPARE(hp.Display(), QStringLiteral("\r\n((1.00, 2.00))\r\n"));
    QCOMPARE(hp.DisplayLines(), 2);
    QCOMPARE(hp.Depth(), 0); // the shown matrix was popped
}

void TestHPCalc::arrayArithmetic_data()
{
    // Operands as text: "2" a number, "(1, 2)" a vector, "((1, 2), (3, 4))" a matrix. Y is
    // pushed first; the result is the machine's display (with KillZeros).
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("x");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("expected");

    const QString v = QStringLiteral("(1, 2)");
    const QString w = QStringLiteral("(3, 5)");
    const QString A = QStringLiteral("((1, 2), (3, 4))");
    const QString dims = QStringLiteral("wrong matrix dimensions");
    const QString notPossible = QStringLiteral("Operation not possible");
    QTest::newRow("v + w") << v << w << int(hpAdd) << "\r\n(4, 7)\r\n";
    QTest::newRow("v - w") << v << w << int(hpSub) << "\r\n(-2, -3)\r\n";
    QTest::newRow("2 * v") << "2" << v << int(hpMul) << "\r\n(2, 4)\r\n";
    QTest::newRow("v * 2") << v << "2" << int(hpMul) << "\r\n(2, 4)\r\n";
    QTest::newRow("v / 2") << v << "2" << int(hpDiv) << "\r\n(0.5, 1)\r\n";
    QTest::newRow("A + A") << A << A << int(hpAdd) << "\r\n((2, 4),\r\n(6, 8))\r\n";
    QTest::newRow("A - A") << A << A << int(hpSub) << "\r\n((0, 0),\r\n(0, 0))\r\n";
    QTest::newRow("2 * A") << "2" << A << int(hpMul) << "\r\n((2, 4),\r\n(6, 8))\r\n";
    QTest::newRow("A * 2i") << A << "2i" << int(hpMul) << "\r\n((0+2i, 0+4i),\r\n(0+6i, 0+8i))\r\n";
    QTest::newRow("A / 2") << A << "2" << int(hpDiv) << "\r\n((0.5, 1),\r\n(1.5, 2))\r\n";
    QTest::newRow("A * v") << A << v << int(hpMul) << "\r\n(5, 11)\r\n";
    QTest::newRow("v / 0") << v << "0" << int(hpDiv) << "Divide by 0";
    QTest::newRow("v + (1, 2, 3)") << v << "(1, 2, 3)" << int(hpAdd) << dims;
    QTest::newRow("A + ((1, 2))") << A << "((1, 2))" << int(hpAdd) << dims;
    QTest::newRow("A * (1, 2, 3)") << A << "(1, 2, 3)" << int(hpMul) << dims;
    QTest::newRow("v * w") << v << w << int(hpMul) << notPossible;
    QTest::newRow("v * A") << v << A << int(hpMul) << notPossible;
    QTest::newRow("v + 1") << v << "1" << int(hpAdd) << notPossible;
    QTest::newRow("1 - A") << "1" << A << int(hpSub) << notPossible;
    QTest::newRow("2 / v") << "2" << v << int(hpDiv) << notPossible;
    QTest::newRow("v + A") << v << A << int(hpAdd) << notPossible;
    QTest::newRow("v ^ 2") << v << "2" << int(hpPwr) << notPossible;
}

void TestHPCalc::arrayArithmetic()
{
    QFETCH(QString, y);
    QFETCH(QString, x);
    QFETCH(int, op);
    QFETCH(QString, expected);
    THPCalc hp;
    hp.SetKillZeros(true);
    hp.Push(MakeComplex(7));
    pushOperand(hp, y);
    pushOperand(hp, x);
    hp.ExecOp(THPOperation(op));
    QCOMPARE(hp.Display(), expected);
    // Exactly one result took the operands' place.
    QCOMPARE(hp.Depth(), 1);
    QCOMPARE(real(hp.Pop()), 7.0);
}

void TestHPCalc::workIsCapped()
{
    // A product of 2 x 2 matrices costs 8 multiply-adds, an inverse 8, a sum of vectors 2.
    THPCalc hp;
    hp.SetWorkLimit(18);
    hp.PushMatrix(matrix({{1, 2}, {3, 4}}));
    hp.PushMatrix(matrix({{1, 2}, {3, 4}}));
    QCOMPARE(hp.ExecOp(hpMul), TCalcError());
    QCOMPARE(hp.ExecOp(hpInv), TCalcError());
    hp.PushVector({MakeComplex(1), MakeComplex(2)});
    hp.PushVector({MakeComplex(1), MakeComplex(2)});
    QCOMPARE(hp.ExecOp(hpAdd), TCalcError());
    hp.PushVector({MakeComplex(1), MakeComplex(2)});
    QCOMPARE(hp.ExecOp(hpAdd), TCalcError::tooMuchWork());
    QCOMPARE(hp.Display(), QStringLiteral("Calculation too large"));
    // Numbers are never refused.
    hp.Push(MakeComplex(1));
    hp.Push(MakeComplex(2));
    QCOMPARE(hp.ExecOp(hpAdd), TCalcError());
}

void TestHPCalc::vectorOperations()
{
    THPCalc hp;
    hp.SetKillZeros(true);
    const TComplexArray v{MakeComplex(1, 1), MakeComplex(2), MakeComplex(3)};
    hp.PushVector(v);
    hp.ExecOp(hpSum);
    QVERIFY(hp.Pop().complex().Equals(6, 1));
    hp.PushVector(v);
    hp.ExecOp(hpLen);
    QCOMPARE(real(hp.Pop()), 3.0);
    hp.PushVector(v);
    hp.ExecOp(hpCHS);
    QCOMPARE(hp.Display(), QStringLiteral("\r\n(-1-1i, -2, -3)\r\n"));

    hp.Push(MakeComplex(5)); // the sum of a single number is that number
    hp.ExecOp(hpSum);
    QCOMPARE(real(hp.Pop()), 5.0);
    // Functions of numbers have no meaning for a vector; len has none for a number.
    hp.PushVector(v);
    QCOMPARE(hp.ExecOp(hpSqrt), TCalcError::notPossible());
    QCOMPARE(hp.Display(), QStringLiteral("Operation not possible"));
    hp.Push(MakeComplex(5));
    QCOMPARE(hp.ExecOp(hpLen), TCalcError::notPossible());
    hp.Reset();
    hp.Pop();
    QCOMPARE(hp.Depth(), 0);
}

void TestHPCalc::dataStackLayout()
{
    TDataStack stack(16384);
    QCOMPARE(stack.GetSize(), quint16(16384));
    stack.PushInt(0x01020304);
    stack.PushDouble(1.5);
    stack.BoolToStack(true);
    stack.PushStr(QStringLiteral("ab\u00e9"));
    QCOMPARE(stack.eos, quint16(4 + 8 + 1 + 81));
    QCOMPARE(stack.data.left(4), QByteArray("\x04\x03\x02\x01", 4));
    QCOMPARE(stack.data.mid(4, 8), QByteArray("\x00\x00\x00\x00\x00\x00\xf8\x3f", 8));
    QCOMPARE(stack.data.at(12), '\x01');
    QCOMPARE(stack.data.mid(13, 4), QByteArray("\x03"
                                               "ab\xe9"));

    QCOMPARE(stack.StrFromStack(), QStringLiteral("ab\u00e9"));
    QCOMPARE(stack.PopBool(), true);
    QCOMPARE(stack.PopDouble(), 1.5);
    QCOMPARE(stack.PopInt(), 0x01020304);
    QCOMPARE(stack.eos, quint16(0));
    QCOMPARE(stack.ErrorCode, 0);

    stack.PushStr(QString(100, QLatin1Char('x')));
    QCOMPARE(stack.StrFromStack(), QString(80, QLatin1Char('x')));
}

void TestHPCalc::dataStackLimits()
{
    TDataStack stack(9);
    stack.PushDouble(2); // 8 < 9 fits
    QCOMPARE(stack.ErrorCode, 0);
    stack.BoolToStack(true); // 9 is not below 9
    QCOMPARE(stack.ErrorCode, 16);
    QCOMPARE(stack.eos, quint16(8));
    QCOMPARE(stack.GetSize(), quint16(1));

    // Popping more than was pushed never reads outside the area.
    TDataStack empty(16);
    QCOMPARE(empty.PopDouble(), 0.0);
    QCOMPARE(empty.StrFromStack(), QString());
    QCOMPARE(empty.ErrorCode, 16);
    QCOMPARE(empty.eos, quint16(0));
}

QTEST_APPLESS_MAIN(TestHPCalc)
#include "tst_hpcalc.moc"
