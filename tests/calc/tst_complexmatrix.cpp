#include <cmath>

#include <QTest>

#include "calc/complexmatrix.h"
#include "calc/complexvariant.h"
#include "calcerrortostring.h"

namespace {

using Rows = QList<QList<double>>;

TComplexMatrix matrix(const Rows &rows)
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

TComplexArray vector(const QList<double> &values)
{
    return matrix({values}).value(0);
}

Rows realRows(const TComplexMatrix &M)
{
    Rows rows;
    for (const TComplexArray &row : M)
        rows.append(RealParts(row));
    return rows;
}

} // namespace

class TestComplexMatrix : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void construction();
    void copiesShareNothing();
    void product_data();
    void product();
    void matrixTimesVector_data();
    void matrixTimesVector();
    void inverse_data();
    void inverse();
    void inverseTakesImaginaryPivots();
    void refusedShapesAreLeftUnchanged_data();
    void refusedShapesAreLeftUnchanged();
    void solvesWithGaussj();
};

void TestComplexMatrix::construction()
{
    const TComplexMatrix M = NewMatrix(3, 2, TCalcValue(0));
    QCOMPARE(M.size(), 2);
    QCOMPARE(M[1].size(), 3);
    QCOMPARE(M[1][2].kind(), TCalcValue::Kind::Integer);
    QVERIFY(NewMatrix(3, 0, TCalcValue(0)).isEmpty());

    TComplexMatrix ragged = matrix({{1, 2, 3}, {4}});
    FillMatrix(ragged, MakeComplex(0, 1));
    QCOMPARE(ragged[0].size(), 3);
    QCOMPARE(ragged[1].size(), 1);
    QVERIFY(ragged[1][0].complex().Equals(0, 1));

    QCOMPARE(RealParts({MakeComplex(1.5, 2), TCalcValue(3)}), TDoubleArray({1.5, 3}));
}

void TestComplexMatrix::copiesShareNothing()
{
    const TComplexMatrix source = matrix({{1, 2}, {3}});
    TComplexMatrix copy = CopyMatrix(source);
    copy[1][0].complex().SetReal(9);
    QCOMPARE(source[1][0].complex().Real(), 3.0);
    QCOMPARE(copy[1].size(), 1);

    const TComplexArray v = vector({1, 2});
    TComplexArray w = CopyVector(v);
    w[0] = MakeComplex(5);
    QCOMPARE(v[0].complex().Real(), 1.0);
}

void TestComplexMatrix::product_data()
{
    QTest::addColumn<Rows>("a");
    QTest::addColumn<Rows>("b");
    QTest::addColumn<Rows>("product");
    QTest::newRow("2x2") << Rows{{1, 2}, {3, 4}} << Rows{{5, 6}, {7, 8}}
                         << Rows{{19, 22}, {43, 50}};
    QTest::newRow("1x1") << Rows{{3}} << Rows{{4}} << Rows{{12}};
    QTest::newRow("2x3 times 2x3")
        << Rows{{1, 2, 3}, {4, 5, 6}} << Rows{{1, 2, 3}, {4, 5, 6}} << Rows{};
    QTest::newRow("2x3 times 3x2")
        << Rows{{1, 2, 3}, {4, 5, 6}} << Rows{{1, 0}, {0, 1}, {1, 1}} << Rows{{4, 5}, {10, 11}};
    QTest::newRow("row times column") << Rows{{1, 2}} << Rows{{3}, {4}} << Rows{{11}};
    QTest::newRow("unequal sizes") << Rows{{1}} << Rows{{1, 2}, {3, 4}} << Rows{};
    QTest::newRow("empty A") << Rows{} << Rows{} << Rows{};
    QTest::newRow("ragged") << Rows{{1, 2}, {3}} << Rows{{1, 2}, {3, 4}} << Rows{};
}

void TestComplexMatrix::product()
{
    QFETCH(Rows, a);
    QFETCH(Rows, b);
    QFETCH(Rows, product);
    TCalcError error;
    QCOMPARE(realRows(MatMul(matrix(a), matrix(b), &error)), product);
    QCOMPARE(error, TCalcError());
}

void TestComplexMatrix::matrixTimesVector_data()
{
    QTest::addColumn<Rows>("m");
    QTest::addColumn<QList<double>>("v");
    QTest::addColumn<QList<double>>("product");
    QTest::newRow("2x2") << Rows{{1, 2}, {3, 4}} << QList<double>{1, 1} << QList<double>{3, 7};
    QTest::newRow("longer vector")
        << Rows{{1, 2}, {3, 4}} << QList<double>{1, 1, 1} << QList<double>{};
    // An n x m matrix takes an m-vector and gives an n-vector; a row of another length is refused.
    QTest::newRow("longer row") << Rows{{1, 2, 100}, {3, 4}} << QList<double>{1, 1}
                                << QList<double>{};
    QTest::newRow("2x3 times 3") << Rows{{1, 2, 3}, {4, 5, 6}} << QList<double>{1, 1, 1}
                                 << QList<double>{6, 15};
    QTest::newRow("2x3 times 2") << Rows{{1, 2, 3}, {4, 5, 6}} << QList<double>{1, 1}
                                 << QList<double>{};
    QTest::newRow("3x1 times 1") << Rows{{2}, {3}, {4}} << QList<double>{2}
                                 << QList<double>{4, 6, 8};
    QTest::newRow("shorter row") << Rows{{1}, {3, 4}} << QList<double>{1, 1} << QList<double>{};
    QTest::newRow("empty") << Rows{} << QList<double>{} << QList<double>{};
}

void TestComplexMatrix::matrixTimesVector()
{
    QFETCH(Rows, m);
    QFETCH(QList<double>, v);
    QFETCH(QList<double>, product);
    const TComplexArray result = MatVecMul(matrix(m), vector(v));
    QCOMPARE(RealParts(result), product);
    for (const TCalcValue &element : result)
        QVERIFY(element.isComplex()); // the integer 0 start became a complex sum
}

void TestComplexMatrix::inverse_data()
{
    QTest::addColumn<Rows>("m");
    QTest::addColumn<Rows>("inverse");
    QTest::addColumn<QString>("error");
    QTest::newRow("4 7 / 2 6") << Rows{{4, 7}, {2, 6}} << Rows{{0.6, -0.7}, {-0.2, 0.4}} << "";
    // Equal pivot sizes go to the one found last: rows are exchanged and the columns
    // unscrambled again.
    QTest::newRow("exchange") << Rows{{0, 1}, {1, 0}} << Rows{{0, 1}, {1, 0}} << "";
    QTest::newRow("3x3") << Rows{{2, 0, 0}, {0, 0, 4}, {0, 5, 0}}
                         << Rows{{0.5, 0, 0}, {0, 0, 0.2}, {0, 0.25, 0}} << "";
    QTest::newRow("singular") << Rows{{1, 2}, {2, 4}} << Rows{} << "gaussj: Singular Matrix";
    QTest::newRow("zero") << Rows{{0}} << Rows{} << "gaussj: Singular Matrix";
}

void TestComplexMatrix::inverse()
{
    QFETCH(Rows, m);
    QFETCH(Rows, inverse);
    QFETCH(QString, error);
    TComplexMatrix M = matrix(m);
    QCOMPARE(MatInverse(M).text(), error);
    if (!error.isEmpty())
        return;
    const Rows result = realRows(M); // M itself holds the inverse
    QCOMPARE(result.size(), inverse.size());
    for (int i = 0; i < result.size(); ++i) {
        for (int k = 0; k < result[i].size(); ++k)
            QVERIFY2(std::fabs(result[i][k] - inverse[i][k]) <= 1e-15,
                     qPrintable(QString::number(result[i][k], 'g', 17)));
    }
}

void TestComplexMatrix::inverseTakesImaginaryPivots()
{
    TComplexMatrix M{{MakeComplex(0, 1)}};
    QCOMPARE(MatInverse(M), TCalcError());
    QVERIFY(M[0][0].complex().Equals(0, -1));

    TComplexMatrix diagonal{{MakeComplex(0, -3), MakeComplex(0)},
                            {MakeComplex(0), MakeComplex(0, 2)}};
    QCOMPARE(MatInverse(diagonal), TCalcError());
    QVERIFY(diagonal[0][0].complex().Equals(0, 1.0 / 3));
    QVERIFY(diagonal[1][1].complex().Equals(0, -0.5));

    TComplexMatrix complex{{MakeComplex(1, 1)}};
    QCOMPARE(MatInverse(complex), TCalcError());
    QVERIFY(complex[0][0].complex().Equals(0.5, -0.5));
}

void TestComplexMatrix::refusedShapesAreLeftUnchanged_data()
{
    QTest::addColumn<Rows>("m");
    QTest::newRow("no rows") << Rows{};
    QTest::newRow("2x3") << Rows{{1, 2, 3}, {4, 5, 6}};
    QTest::newRow("3x2") << Rows{{1, 2}, {3, 4}, {5, 6}};
    QTest::newRow("short second row") << Rows{{1, 2}, {3}};
    QTest::newRow("empty row") << Rows{{}};
}

void TestComplexMatrix::refusedShapesAreLeftUnchanged()
{
    QFETCH(Rows, m);
    TComplexMatrix M = matrix(m);
    QCOMPARE(MatInverse(M), TCalcError::matrixDimensions());
    QCOMPARE(realRows(M), m);
}

void TestComplexMatrix::solvesWithGaussj()
{
    // 2x + y = 5, x + 3y = 10: x = 1, y = 3.
    TComplexMatrix a = matrix({{2, 1}, {1, 3}});
    TComplexMatrix b = matrix({{5}, {10}});
    QCOMPARE(gaussj(a, b), TCalcError());
    QVERIFY(b[0][0].complex().Equals(1, 0));
    QVERIFY(b[1][0].complex().Equals(3, 0));

    TComplexMatrix shortB = matrix({{5}});
    QCOMPARE(gaussj(a, shortB), TCalcError::matrixDimensions());
}

QTEST_APPLESS_MAIN(TestComplexMatrix)
#include "tst_complexmatrix.moc"
