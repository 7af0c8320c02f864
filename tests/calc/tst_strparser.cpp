#include <QTest>

#include "calc/strparser.h"

namespace {

// A plot as a line of text: each series as its title and its points (arrows as from>to), then
// the bottom and the left axis titles.
QString described(const TPlotData &data)
{
    const auto point
        = [](const QPointF &p) { return QString::number(p.x()) + u' ' + QString::number(p.y()); };
    QStringList series;
    for (const TPlotSeries &s : data.series) {
        QStringList items;
        for (const QPointF &p : s.points)
            items << point(p);
        for (const QLineF &arrow : s.arrows)
            items << point(arrow.p1()) + u'>' + point(arrow.p2());
        series << s.title + u'[' + items.join(QStringLiteral(", ")) + u']';
    }
    return series.join(QStringLiteral("; ")) + QStringLiteral(" | ") + data.bottomTitle + u'/'
           + data.leftTitle;
}

// A note as the parser sees it: its text with CR LF line breaks, results and errors inserted at
// editor positions (a line break is one position), a plot as "#" and a line break. The note reads
// back with every error text in brackets; the plots are described in plots.
class Note
{
public:
    explicit Note(TStrParser &parser)
    {
        parser.OnDisplayResult = [this](TStrParser &, int start, int, const QString &result) {
            insert(start, result, u'r');
        };
        parser.OnDisplayError
            = [this](TStrParser &, int pos, const QString &error) { insert(pos, error, u'e'); };
        parser.OnPlot = [this](const TPlotData &data, int pos) {
            plots << described(data);
            insert(pos, QStringLiteral("#\r\n"), u'p');
            return 2;
        };
    }

    QStringList plots;

    // Runs text (lines ended by "\n") and returns it as the note then reads.
    QString calc(TStrParser &parser, const QString &text)
    {
        m_text = text;
        m_kinds = QString(text.size(), u'u');
        QString source = text;
        source.replace(u'\n', QStringLiteral("\r\n"));
        parser.Run(source);
        QString shown;
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const bool error = m_kinds.at(i) == u'e';
            if (error && (i == 0 || m_kinds.at(i - 1) != u'e'))
                shown += u'[';
            shown += m_text.at(i);
            if (error && (i + 1 == m_text.size() || m_kinds.at(i + 1) != u'e'))
                shown += u']';
        }
        return shown;
    }

private:
    void insert(int pos, QString text, QChar kind)
    {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QVERIFY2(pos >= 0 && pos <= m_text.size(), qPrintable(QString::number(pos)));
        pos = std::clamp<int>(pos, 0, m_text.size());
        m_text.insert(pos, text);
        m_kinds.insert(pos, QString(text.size(), kind));
    }

    QString m_text;
    QString m_kinds;
};

QString calc(const QString &text)
{
    TStrParser parser;
    Note note(parser);
    return note.calc(parser, text);
}

} // namespace

class TestStrParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notes_data();
    void notes();
    void errors_data();
    void errors();
    void matrixWorkPerRunIsCapped();
    void plots_data();
    void plots();
    void displaySettingsLastAcrossRuns();
    void runIsFresh();
    void namesMatchInAnyCase();
};

void TestStrParser::notes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // Expressions.
    QTest::newRow("precedence") << "2 + 3 * 4 =\n"
                                << "2 + 3 * 4 = 14.000000000\n";
    QTest::newRow("parentheses") << "(2 + 3) * 4 =\n"
                                 << "(2 + 3) * 4 = 20.000000000\n";
    QTest::newRow("leading minus") << "x := -2 * 3\nx =\n"
                                   << "x := -2 * 3\nx = -6.000000000\n";
    QTest::newRow("division") << "7 / 2 =\n"
                              << "7 / 2 = 3.500000000\n";
    QTest::newRow("sin in degrees") << "sin(30) =\n"
                                    << "sin(30) = 0.500000000\n";
    QTest::newRow("sqrt") << "sqrt(16) =\n"
                          << "sqrt(16) = 4.000000000\n";
    QTest::newRow("imaginary square") << "3i * 3i =\n"
                                      << "3i * 3i = -9.000000000\n";
    QTest::newRow("imaginary result") << "2 + 3i =\n"
                                      << "2 + 3i = 2+3i\n";
    QTest::newRow("NOT has no effect") << "2 + NOT 3 =\n"
                                       << "2 + NOT 3 = 5.000000000\n";
    QTest::newRow("relation keeps both") << "2 < 3 =\n"
                                         << "2 < 3 = 3.000000000\n";
    QTest::newRow("parenthesised number") << "(5) =\n"
                                          << "(5) = 5.000000000\n";
    QTest::newRow("parenthesised definition") << "x := (5)\nx =\n"
                                              << "x := (5)\nx = 5.000000000\n";
    QTest::newRow("sum of a constant") << "sum(1, 3, 2) =\n"
                                       << "sum(1, 3, 2) = 6.000000000\n";
    QTest::newRow("empty sum") << "sum(3, 1, 2) =\n"
                               << "sum(3, 1, 2) = 0.000000000\n";
    QTest::newRow("long sum") << "sum(1, 1000000, 2) =\n"
                              << "sum(1, 1000000, 2) = 2000000.000000000\n";
    QTest::newRow("sum then more") << "sum(1, 3, 2) + 1 =\n"
                                   << "sum(1, 3, 2) + 1 = 7.000000000\n";
    QTest::newRow("display modes")
        << "FIX(2, FALSE)\n1 / 3 =\nFIX(4, TRUE)\n1 / 2 =\nENG(3, FALSE)\n12345 * 1 =\n"
        << "FIX(2, FALSE)\n1 / 3 = 0.33\nFIX(4, TRUE)\n1 / 2 = 0.5\nENG(3, FALSE)\n"
           "12345 * 1 = 12.345E3\n";
    QTest::newRow("number after a display mode") << "FIX(2, FALSE)\n5 =\n"
                                                 << "FIX(2, FALSE)\n5 = 5.00\n";

    // Vectors and matrices.
    QTest::newRow("vector index, sum and len")
        << "v := (1, 2, 3)\nv[0] =\nsum(v) =\nlen(v) =\n"
        << "v := (1, 2, 3)\nv[0] = 1.000000000\nsum(v) = 6.000000000\nlen(v) = 3.000000000\n";
    QTest::newRow("vector display")
        << "v := (1, 2, 3)\nv =\n"
        << "v := (1, 2, 3)\nv = (1.000000000, 2.000000000, 3.000000000)\n";
    QTest::newRow("matrix product")
        << "FIX(0, TRUE)\nA := ((1, 2), (3, 4))\nB := ((5, 6), (7, 8))\nA * B =\nA[1, 0] =\n"
        << "FIX(0, TRUE)\nA := ((1, 2), (3, 4))\nB := ((5, 6), (7, 8))\nA * B = \n((19, 22),\n"
           "(43, 50))\n\nA[1, 0] = 3\n";
    QTest::newRow("singular matrix")
        << "M := ((1, 2), (2, 4))\ninv(M) =\n1 + 1 =\n"
        << "M := ((1, 2), (2, 4))\ninv(M) =[gaussj: Singular Matrix]\n1 + 1 = 2.000000000\n";
    QTest::newRow("non-square inverse")
        << "M := ((1, 2, 3), (4, 5, 6))\ninv(M) =\n"
        << "M := ((1, 2, 3), (4, 5, 6))\ninv(M) =[wrong matrix dimensions]\n";

    // Signs: after an operator a sign belongs to the factor; a sign before a number or "("
    // or a name with a value begins a calculation.
    QTest::newRow("times minus") << "2 * -3 =\n"
                                 << "2 * -3 = -6.000000000\n";
    QTest::newRow("divided by minus") << "10 / -2 =\n"
                                      << "10 / -2 = -5.000000000\n";
    QTest::newRow("minus minus") << "2 - -3 =\n"
                                 << "2 - -3 = 5.000000000\n";
    QTest::newRow("plus plus") << "2 + +3 =\n"
                               << "2 + +3 = 5.000000000\n";
    QTest::newRow("minus of a parenthesis") << "2 * -(1 + 2) =\n"
                                            << "2 * -(1 + 2) = -6.000000000\n";
    QTest::newRow("line begins with a sign")
        << "-3 * 2 =\n-(1 + 2) =\n+4 =\nx := 5\n- x * 2 =\n"
        << "-3 * 2 = -6.000000000\n-(1 + 2) = -3.000000000\n+4 = 4.000000000\nx := 5\n"
           "- x * 2 = -10.000000000\n";

    // Deep expressions need more than four pending operands.
    QTest::newRow("five pending operands")
        << "7 * (79 - 91 / (3 + 4)) + ((68 - 8 + 8.95) + (29.94 / 61 * 78.80)) =\n"
        << "7 * (79 - 91 / (3 + 4)) + ((68 - 8 + 8.95) + (29.94 / 61 * 78.80)) = "
           "569.626590164\n";
    QTest::newRow("nested to the right") << "1 + (2 + (3 + (4 + (5 + (6 + 7))))) =\n"
                                         << "1 + (2 + (3 + (4 + (5 + (6 + 7))))) = 28.000000000\n";

    // The first error of an expression is the one shown at its "=".
    QTest::newRow("overflow, then more")
        << "1e308 * 10 + 1 =\nabs(1e308 * 10) =\n"
           "(1e308*10)*0 =\n1 / 0 * 0 =\n2 =\n"
        << "1e308 * 10 + 1 =[Overflow]\nabs(1e308 * 10) =[Overflow]\n"
           "(1e308*10)*0 =[Overflow]\n1 / 0 * 0 =[Divide by 0]\n"
           "2 = 2.000000000\n";

    // The scanner: a sign after digits is an operator unless it follows an exponent letter.
    QTest::newRow("subtraction without blanks") << "10-3 =\n1E-2*100 =\n2e+3 =\n"
                                                << "10-3 = 7.000000000\n1E-2*100 = 1.000000000\n"
                                                   "2e+3 = 2000.000000000\n";
    QTest::newRow("a point ends a number") << "3. + 4 =\n"
                                           << "3. + 4 = 7.000000000\n";

    // Vectors and matrices: what has a meaning is computed, anything else is an error.
    QTest::newRow("vector arithmetic")
        << "FIX(0, TRUE)\nv := (1, 2)\nw := (3, 4)\nv + w =\n2 * v =\nv / 2 * 4 =\n-v =\nv =\n"
        << "FIX(0, TRUE)\nv := (1, 2)\nw := (3, 4)\nv + w = \n(4, 6)\n\n2 * v = \n(2, 4)\n\n"
           "v / 2 * 4 = \n(2, 4)\n\n-v = \n(-1, -2)\n\nv = (1, 2)\n";
    QTest::newRow("matrix arithmetic")
        << "FIX(0, TRUE)\nA := ((1, 2), (3, 4))\nA + A =\nA * 2 =\nB := A - A\nB[1, 1] =\n"
        << "FIX(0, TRUE)\nA := ((1, 2), (3, 4))\nA + A = \n((2, 4),\n(6, 8))\n\n"
           "A * 2 = \n((2, 4),\n(6, 8))\n\nB := A - A\nB[1, 1] = 0\n";
    QTest::newRow("operations without a meaning")
        << "v := (1, 2)\nu := (1, 2, 3)\nA := ((1, 2), (3, 4))\nv * v =\nv + u =\nA * u =\n"
           "v + 1 =\nsqrt(v) =\n1 =\n"
        << "v := (1, 2)\nu := (1, 2, 3)\nA := ((1, 2), (3, 4))\nv * v =[Operation not possible]\n"
           "v + u =[wrong matrix dimensions]\nA * u =[wrong matrix dimensions]\n"
           "v + 1 =[Operation not possible]\nsqrt(v) =[Operation not possible]\n"
           "1 = 1.000000000\n";
    QTest::newRow("vector definition from a computation")
        << "FIX(0, TRUE)\nv := (1, 2)\nw := 3 * v\nw[1] =\nlen(w) =\n"
        << "FIX(0, TRUE)\nv := (1, 2)\nw := 3 * v\nw[1] = 6\nlen(w) = 2\n";

    // Statements.
    QTest::newRow("result") << "3 + 4 =\n"
                            << "3 + 4 = 7.000000000\n";
    QTest::newRow("definition and use") << "x := 2\nx * 3 =\nx =\n"
                                        << "x := 2\nx * 3 = 6.000000000\nx = 2.000000000\n";
    // Every completed definition leaves the statement level ready for the next request.
    QTest::newRow("definition, then results") << "x := 2\n3 + 4 =\nx =\n"
                                              << "x := 2\n3 + 4 = 7.000000000\nx = 2.000000000\n";
    QTest::newRow("definitions, then a sum")
        << "a := 1\nb := 2\ntotal := a + b\n3 + 4 =\ntotal =\n"
        << "a := 1\nb := 2\ntotal := a + b\n3 + 4 = 7.000000000\ntotal = 3.000000000\n";
    QTest::newRow("definition asked for at once")
        << "x := 2 + 3 =\ny := 2 * 3 =\nx * y =\n"
        << "x := 2 + 3 = 5.000000000\ny := 2 * 3 = 6.000000000\nx * y = 30.000000000\n";
    QTest::newRow("definition by a sum of a vector")
        << "w := (1, 2, 3)\ns := sum(w)\nk := 2 * sum(w)\ns =\n1 * s + k =\n"
        << "w := (1, 2, 3)\ns := sum(w)\nk := 2 * sum(w)\ns = 6.000000000\n"
           "1 * s + k = 18.000000000\n";
    QTest::newRow("word after a vector display")
        << "v := (1, 2)\nv =\nend\nthe end\n1 =\n"
        << "v := (1, 2)\nv = (1.000000000, 2.000000000)\nend\nthe end\n1 = 1.000000000\n";
    QTest::newRow("a word's = removes only that word") << "x := 2\nfoo =\nx =\n"
                                                       << "x := 2\nfoo =\nx = 2.000000000\n";
    QTest::newRow("assignment of a vector")
        << "FIX(0, TRUE)\nv := (1, 2)\nw := 5\nw := 2 * v\nw =\n"
        << "FIX(0, TRUE)\nv := (1, 2)\nw := 5\nw := 2 * v\nw = (2, 4)\n";
    QTest::newRow("assignment") << "x := 2\nx := x + 1\nx =\n"
                                << "x := 2\nx := x + 1\nx = 3.000000000\n";
    QTest::newRow("word before a product") << "Price 3 * 4 =\n"
                                           << "Price 3 * 4 = 12.000000000\n";
    QTest::newRow("word before a sum") << "Total 3 + 4 =\n5 =\n"
                                       << "Total 3 + 4 = 7.000000000\n5 = 5.000000000\n";
    QTest::newRow("undefined name") << "y = 4\n1 =\n"
                                    << "y = 4\n1 = 1.000000000\n";
    QTest::newRow("word met again") << "Price 3 * 4 =\nPrice + 1 =\n2 =\n"
                                    << "Price 3 * 4 = 12.000000000\nPrice +[Wrong Identifier] 1 =\n"
                                       "2 = 2.000000000\n";
    QTest::newRow("word defined later")
        << "Price 3 * 4 =\nPrice := 5\nPrice =\n"
        << "Price 3 * 4 = 12.000000000\nPrice := 5\nPrice = 5.000000000\n";
    QTest::newRow("squares over a range")
        << "x := 1 .. 5\ny[x] := x * x\ny =\n"
        << "x := 1 .. 5\ny[x] := x * x\ny = (1.000000000, 4.000000000, 9.000000000, "
           "16.000000000, 25.000000000)\n";
    QTest::newRow("range with a step")
        << "FIX(1, TRUE)\nx := 0, 0.5 .. 2\ny[x] := x\ny =\n"
        << "FIX(1, TRUE)\nx := 0, 0.5 .. 2\ny[x] := x\ny = (0, 0.5, 1, 1.5, 2)\n";
    QTest::newRow("running sums")
        << "FIX(0, TRUE)\nx := 1 .. 3\ny[x] := sum(1, 3, x)\ny =\n"
        << "FIX(0, TRUE)\nx := 1 .. 3\ny[x] := sum(1, 3, x)\ny = (1, 3, 6)\n";
    QTest::newRow("redefined vector")
        << "FIX(0, TRUE)\nx := 1 .. 2\ny[x] := x\ny[x] := 2 * x\ny =\n"
        << "FIX(0, TRUE)\nx := 1 .. 2\ny[x] := x\ny[x] := 2 * x\ny = (2, 4)\n";
    QTest::newRow("seven elements wrap after five")
        << "FIX(0, TRUE)\nx := 1 .. 7\ny[x] := x\ny =\n1 =\n"
        << "FIX(0, TRUE)\nx := 1 .. 7\ny[x] := x\ny = (1, 2, 3, 4, 5, \n6, 7)\n1 = 1\n";
    QTest::newRow("five elements on one line")
        << "FIX(0, TRUE)\nx := 1 .. 5\ny[x] := x\ny =\n1 =\n"
        << "FIX(0, TRUE)\nx := 1 .. 5\ny[x] := x\ny = (1, 2, 3, 4, 5)\n1 = 1\n";
    QTest::newRow("division by zero goes on") << "1 / 0 =\n2 + 2 =\n"
                                              << "1 / 0 =[Divide by 0]\n2 + 2 = 4.000000000\n";
    QTest::newRow("number after =") << "3 + 4 = 7\n1 =\n"
                                    << "3 + 4 = 7.000000000 7\n1 = 1.000000000\n";
    QTest::newRow("calculations in prose")
        << "Shopping list for the week\nbread 2 * 3 =\nmilk and eggs\n10 / 4 =\n"
        << "Shopping list for the week\nbread 2 * 3 = 6.000000000\nmilk and eggs\n"
           "10 / 4 = 2.500000000\n";
    QTest::newRow("last = without a line break") << "3 + 4 ="
                                                 << "3 + 4 = 7.000000000";
    QTest::newRow("last definition without a line break") << "1 =\nx := 2"
                                                          << "1 = 1.000000000\nx := 2";
    QTest::newRow("list dash") << "- buy milk\n"
                               << "- buy milk\n";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("currency") << "$20 + $5 =\n"
                              << "$20 + $5 = 25.000000000\n";
}

void TestStrParser::notes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(calc(text), expected);
}

void TestStrParser::errors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // A parser error is written after the symbol where it was found (before a later line), a
    // machine error where its expression ended; the run goes on with the next line.
    QTest::newRow("wrong identifier") << "x := 2 * foo\nx =\n1 =\n"
                                      << "x := 2 * foo[Wrong Identifier]\nx =\n1 = 1.000000000\n";
    QTest::newRow("AND") << "3 AND 4 =\n1 =\n"
                         << "3 AND 4 =[Operation not possible]\n1 = 1.000000000\n";
    QTest::newRow("OR") << "3 OR 4 =\n"
                        << "3 OR 4 =[Operation not possible]\n";
    QTest::newRow("index out of range") << "v := (1, 2, 3)\nv[3] =\n"
                                        << "v := (1, 2, 3)\nv[3][Index out of range] =\n";
    QTest::newRow("range index out of range")
        << "x := 1 .. 3\nv := (1, 2, 3)\nw[x] := v[x]\n"
        << "x := 1 .. 3\nv := (1, 2, 3)\nw[x] := v[x][Index out of range]\n";
    QTest::newRow("refused FIX leaves the display") << "FIX(-2, FALSE)\n1 =\n"
                                                    << "FIX(-2, FALSE)\n1 = 1.000000000\n";
    QTest::newRow("FIX without its flag") << "FIX(4)\n1 =\n"
                                          << "FIX(4)\n1 = 1.000000000\n";
    QTest::newRow("range too long for a vector")
        << "x := 1 .. 200000\ny[x] := x\n"
        << "x := 1 .. 200000\ny[x] :=[Range too large] x\n";
    QTest::newRow("range without a step") << "x := 1, 1 .. 5\ny[x] := x\n"
                                          << "x := 1, 1 .. 5\ny[x] :=[Range too large] x\n";
    QTest::newRow("parenthesis missing")
        << "(2 + 3 =\n4 =\n"
        << "(2 + 3 =[Right Paranthesis missing]\n4 = 4.000000000\n";
    QTest::newRow("failed definition, then the next line")
        << "x := 1 / 0\ny := 2\ny =\nx =\n"
        << "x := 1 / 0[Divide by 0]\ny := 2\ny = 2.000000000\nx =\n";
    QTest::newRow("singular matrix does not silence the note")
        << "M := ((1, 2), (2, 4))\nW := inv(M)\nx := 3\nx * 2 =\nN := ((2, 0), (0, 2))\n"
           "V := inv(N)\nFIX(1, TRUE)\nV =\nW * 2 =\n"
        << "M := ((1, 2), (2, 4))\nW := inv(M)[gaussj: Singular Matrix]\nx := 3\n"
           "x * 2 = 6.000000000\nN := ((2, 0), (0, 2))\nV := inv(N)\nFIX(1, TRUE)\n"
           "V = \n((0.5, 0),\n(0, 0.5))\n\nW *[Wrong Identifier] 2 =\n";
    QTest::newRow("a list dash is passed over") << "- buy milk\n1 =\n"
                                                << "- buy milk\n1 = 1.000000000\n";
}

void TestStrParser::errors()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(calc(text), expected);
}

void TestStrParser::matrixWorkPerRunIsCapped()
{
    // Inverses of a 300 x 300 matrix, 27 million multiply-adds each: a run does some, then
    // refuses the rest, and every other calculation goes on.
    QString rows;
    for (int i = 0; i < 300; ++i) {
        QStringList row(300, QStringLiteral("0"));
        row[i] = QStringLiteral("2");
        rows += (i ? QStringLiteral(", (") : QStringLiteral("(")) + row.join(u',') + u')';
    }
    QString text = QStringLiteral("M := (") + rows + QStringLiteral(")\n");
    for (int i = 1; i <= 15; ++i)
        text += QStringLiteral("W%1 := inv(M)\n").arg(i);
    text += QStringLiteral("W11[2, 2] =\nW12 =\n1 + 1 =\n");
    const QString shown = calc(text);
    QCOMPARE(shown.count(QStringLiteral("inv(M)[Calculation too large]")), 15 - 11);
    QVERIFY(shown.contains(QStringLiteral("W11 := inv(M)\nW12 := inv(M)[Calculation too large]")));
    QVERIFY(
        shown.endsWith(QStringLiteral("W11[2, 2] = 0.500000000\nW12 =\n1 + 1 = 2.000000000\n")));
}

void TestStrParser::plots_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("plots");

    const QString x = QStringLiteral("x := 0, 0.5 .. 2\ny[x] := x * x\nz[x] := 4 - x\n");
    const QString xy = QStringLiteral("Y[0 0, 0.5 0.25, 1 1, 1.5 2.25, 2 4]");
    // Every plot goes on the line after its call, and the results after it keep their places.
    QTest::newRow("range against its index") << x + "plot(x)\n1 =\n"
                                             << x + "plot(x)\n#\n1 = 1.000000000\n"
                                             << QStringList{"X[0 0, 1 0.5, 2 1, 3 1.5, 4 2] | /X"};
    QTest::newRow("y over x") << x + "plot([x, y])\n"
                              << x + "plot([x, y])\n#\n"
                              << QStringList{xy + " | X/Y"};
    QTest::newRow("two series, the last group's titles")
        << x + "plot([x, y], [x, z])\n"
        << x + "plot([x, y], [x, z])\n#\n"
        << QStringList{xy + "; Z[0 4, 0.5 3.5, 1 3, 1.5 2.5, 2 2] | X/Z"};
    QTest::newRow("vector: real parts") << "v := (1 + 2i, 3, -1)\nplot(v)\n"
                                        << "v := (1 + 2i, 3, -1)\nplot(v)\n#\n"
                                        << QStringList{"V[0 1, 1 3, 2 -1] | /V"};
    QTest::newRow("matrix rows as arrows") << "M := ((0, 0, 1, 2), (1, 2, 3, 0))\nplot(M)\n"
                                           << "M := ((0, 0, 1, 2), (1, 2, 3, 0))\nplot(M)\n#\n"
                                           << QStringList{"M[0 0>1 2, 1 2>3 0] | M/"};
    QTest::newRow("two plots, results between")
        << "1 =\nx := 1 .. 2\nplot(x)\n2 =\nplot(x)\n3 =\n"
        << "1 = 1.000000000\nx := 1 .. 2\nplot(x)\n#\n2 = 2.000000000\nplot(x)\n#\n3 = "
           "3.000000000\n"
        << QStringList{"X[0 1, 1 2] | /X", "X[0 1, 1 2] | /X"};
    // A picture is no word: the calculation after it is made, on every run.
    QTest::newRow("picture of an earlier run")
        << "x := 1 .. 2\nplot(x)\n\uFFFC\n2 =\n\uFFFC 3 =\n"
        << "x := 1 .. 2\nplot(x)\n#\n\uFFFC\n2 = 2.000000000\n\uFFFC 3 = 3.000000000\n"
        << QStringList{"X[0 1, 1 2] | /X"};
    QTest::newRow("blanks after the call") << "x := 1 .. 2\nplot(x)  \n1 =\n"
                                           << "x := 1 .. 2\nplot(x)  \n#\n1 = 1.000000000\n"
                                           << QStringList{"X[0 1, 1 2] | /X"};

    // Abandoned plots insert nothing, and the run goes on after them.
    const QStringList none;
    for (const char *call : {"plot(x, y)", "plot(q)", "plot([x, y)", "plot([x; y])", "plot(w)",
                             "plot([x])", "plot(N)", "plot([x, y], w)", "plot"}) {
        const QString text = x + "w := 3\nN := ((1, 2, 3), (4, 5, 6))\n" + call + "\n1 =\n";
        QTest::newRow(call) << text << QString(text).replace("1 =", "1 = 1.000000000") << none;
    }
    QTest::newRow("too many points")
        << "x := 0 .. 200000\nplot(x)\n1 =\n"
        << "x := 0 .. 200000\nplot(x)[Too many points to plot]\n1 = 1.000000000\n"
        << none;
}

void TestStrParser::plots()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QStringList, plots);
    TStrParser parser;
    Note note(parser);
    QCOMPARE(note.calc(parser, text), expected);
    QCOMPARE(note.plots, plots);
}

void TestStrParser::displaySettingsLastAcrossRuns()
{
    TStrParser parser;
    Note note(parser);
    note.calc(parser, QStringLiteral("FIX(2, FALSE)\n"));
    QCOMPARE(note.calc(parser, QStringLiteral("1 / 3 =\n")), QStringLiteral("1 / 3 = 0.33\n"));
    // A refused call leaves no arguments behind for the next one.
    note.calc(parser, QStringLiteral("FIX(4)\n"));
    note.calc(parser, QStringLiteral("FIX(3, TRUE)\n"));
    QCOMPARE(note.calc(parser, QStringLiteral("1 / 4 =\n")), QStringLiteral("1 / 4 = 0.25\n"));
}

void TestStrParser::runIsFresh()
{
    TStrParser parser;
    Note note(parser);
    note.calc(parser, QStringLiteral("x := 2\n"));
    // Names do not survive a run: x is a mere word now.
    QCOMPARE(note.calc(parser, QStringLiteral("x * 2 =\n1 + x =\n")),
             QStringLiteral("x *[Wrong Identifier] 2 =\n1 + x =[Wrong Identifier]\n"));
}

void TestStrParser::namesMatchInAnyCase()
{
    for (const char *name : {"pi", "PI", "Pi"}) {
        const QString line = QString::fromLatin1(name) + QStringLiteral(" * 1 =\n");
        QCOMPARE(calc(line), line.chopped(1) + QStringLiteral(" 3.141592654\n"));
    }
}

QTEST_APPLESS_MAIN(TestStrParser)
#include "tst_strparser.moc"
