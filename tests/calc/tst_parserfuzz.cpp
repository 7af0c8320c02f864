// Robustness of the calculator: every run ends, whatever the note holds, and every result and
// error goes to a position inside the note. Hostile notes first, then notes built at random from
// the language's symbols and mutated examples, from a fixed seed so that a failure repeats.
// QEL_FUZZ_RUNS and QEL_FUZZ_SEED choose a longer campaign.

#include <QTest>

#include "calc/strparser.h"
#include "randomnotes.h"

namespace {

using namespace RandomNotes;

// Runs text and checks every write against the length the note has at that moment.
void runChecked(TStrParser &parser, const QString &text)
{
    qsizetype length = text.size() - text.count(QStringLiteral("\r\n"));
    bool inside = true;
    const auto write = [&](int pos, const QString &written) {
        inside = inside && pos >= 0 && pos <= length;
        length += written.size() - written.count(QStringLiteral("\r\n"));
    };
    parser.OnDisplayResult
        = [&](TStrParser &, int start, int, const QString &result) { write(start, result); };
    parser.OnDisplayError = [&](TStrParser &, int pos, const QString &error) { write(pos, error); };
    parser.Run(text);
    if (!inside)
        QFAIL(qPrintable(QStringLiteral("write outside the note for: ") + text.left(200)));
}

} // namespace

class TestParserFuzz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hostileNotes_data();
    void hostileNotes();
    void randomNotes();
};

void TestParserFuzz::hostileNotes_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("deep parentheses") << repeated(QStringLiteral("("), 20000) + "1 =\r\n";
    QTest::newRow("deep definition") << "x := " + repeated(QStringLiteral("("), 20000) + "\r\n";
    QTest::newRow("many NOT") << repeated(QStringLiteral("NOT "), 20000) + "1 =\r\n";
    QTest::newRow("unclosed brace comment") << QStringLiteral("1 =\r\n{ 2 =\r\n");
    QTest::newRow("unclosed paren comment") << QStringLiteral("1 =\r\n(* 2 =\r\n");
    QTest::newRow("unclosed string") << QStringLiteral("x := 'abc");
    QTest::newRow("long identifier") << repeated(QStringLiteral("a"), 100000) + " =\r\n";
    QString words;
    for (int i = 0; i < 60000; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    QTest::newRow("many distinct words") << words + "\r\n1 + 1 =\r\n";
    QTest::newRow("huge sum") << QStringLiteral("sum(1, 2000000000, 3) =\r\n");
    QTest::newRow("sum bounds beyond integers") << QStringLiteral("sum(-1e300, 1e300, 1) =\r\n");
    QTest::newRow("nested sums") << QStringLiteral("sum(1, 3, sum(1, 4, 2)) =\r\n");
    QTest::newRow("nested long sums")
        << QStringLiteral("sum(1, 100000, sum(1, 100000, sum(1, 100000, 1))) =\r\n");
    QTest::newRow("long expression over a long range")
        << "x := 1 .. 100000\r\ny[x] := x" + repeated(QStringLiteral(" + x"), 1000) + "\r\ny =\r\n";
    QTest::newRow("vector summed for each of its elements")
        << QStringLiteral("x := 0 .. 44046\r\ny[x] := x\r\nz[x] := sum(y)\r\n"
                          "sum(1, 100000, sum(y)) =\r\n");
    QTest::newRow("vector filled from itself")
        << QStringLiteral("x := 1 .. 100000\r\ny[x] := x\r\ny[x] := len(y) + x\r\nsum(y) =\r\n");
    QTest::newRow("range too fine") << QStringLiteral("x := 0, 1e-9 .. 1\r\ny[x] := x\r\ny =\r\n");
    QTest::newRow("range without step") << QStringLiteral("x := 1, 1 .. 5\r\ny[x] := x\r\n");
    QTest::newRow("range backwards") << QStringLiteral("x := 5 .. 1\r\ny[x] := x\r\ny =\r\n");
    QTest::newRow("running sum too long")
        << QStringLiteral("x := 1 .. 3\r\ny[x] := sum(1, 2000000000, x)\r\n");
    QTest::newRow("nested running sum")
        << QStringLiteral("x := 1 .. 3\r\ny[x] := sum(1, 3, sum(1, 3, x))\r\ny =\r\n");
    QTest::newRow("huge display digits") << QStringLiteral("FIX(2000000000, TRUE)\r\n1 / 3 =\r\n");
    QTest::newRow("long vector") << "v := (" + repeated(QStringLiteral("1, "), 100000)
                                        + "1)\r\nsum(v) =\r\nv =\r\n";
    QTest::newRow("word met again") << QStringLiteral("Price 3 * 4 =\r\nPrice + 1 =\r\nTRUE =\r\n");
    QTest::newRow("vector element by range")
        << QStringLiteral("x := 1 .. 9\r\nv := (1, 2)\r\nw[x] := v[x]\r\nz := v [x] := 3\r\n");
    QTest::newRow("matrix index far out") << QStringLiteral("M := ((1, 2), (3))\r\nM[1, 1] =\r\n"
                                                            "M[1e300, -1e300] =\r\n");
    QTest::newRow("inverse of a ragged matrix")
        << QStringLiteral("M := ((1, 2), (3))\r\ninv(M) =\r\nM * M =\r\n");
    QTest::newRow("empty literals") << QStringLiteral("v := ()\r\nv =\r\nM := (())\r\nM =\r\n");
    QTest::newRow("procedures with every argument")
        << QStringLiteral("FIX('a', Pi)\r\nHEX(TRUE)\r\nSCI(1, 2, 3)\r\nENG(\r\n");
    QTest::newRow("dollars") << repeated(QStringLiteral("$"), 10000) + "1 =\r\n";
}

void TestParserFuzz::hostileNotes()
{
    QFETCH(QString, text);
    TStrParser parser;
    runChecked(parser, text);
    // The parser stays usable for the next run.
    runChecked(parser, QStringLiteral("2 * 3 =\r\n"));
}

void TestParserFuzz::randomNotes()
{
    const int runs = qEnvironmentVariableIsSet("QEL_FUZZ_RUNS")
                         ? qEnvironmentVariableIntValue("QEL_FUZZ_RUNS")
                         : 3000;
    const quint32 seed = qEnvironmentVariableIsSet("QEL_FUZZ_SEED")
                             ? quint32(qEnvironmentVariableIntValue("QEL_FUZZ_SEED"))
                             : 20261210u;
    QRandomGenerator random(seed);
    TStrParser parser; // one parser for all runs, as a note keeps its own
    for (int i = 0; i < runs; ++i) {
        const QString text = randomNote(random);
        runChecked(parser, text);
        if (QTest::currentTestFailed()) {
            qWarning("seed %u, run %d", seed, i);
            return;
        }
    }
}

QTEST_APPLESS_MAIN(TestParserFuzz)
#include "tst_parserfuzz.moc"
