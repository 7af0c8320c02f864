#include <cmath>

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include "calcdriver/calcdriver.h"
#include "richtext/richdocument.h"

#include "shownnote.h"

// Notes as people write them: words, lists, headings, times, dates and prices around the
// calculations, and the calculator's answers to them.

namespace {

QString calculated(const QString &text)
{
    RichDocument document;
    document.setText(text);
    TCalcDriver driver(&document);
    driver.Parse();
    return shown(document, driver);
}

// The values of bc -l for expressions, one a line; an empty list when bc cannot be run.
QStringList bcValues(const QStringList &expressions)
{
    QProcess bc;
    bc.start(QStringLiteral("bc"), {QStringLiteral("-l")});
    if (!bc.waitForStarted())
        return {};
    bc.write("scale=30\n");
    for (const QString &expression : expressions)
        bc.write(expression.toLatin1() + '\n');
    bc.closeWriteChannel();
    bc.waitForFinished(60000);
    // bc breaks long numbers with a backslash and a line break.
    QString output = QString::fromLatin1(bc.readAllStandardOutput());
    output.remove(QStringLiteral("\\\n"));
    return output.split(u'\n', Qt::SkipEmptyParts);
}

// A note made at random from everyday layouts. Each line that asks for a result carries the
// expression bc is to compute for it; the other lines must show nothing.
struct EverydayNote
{
    QStringList lines;
    QStringList expected; // bc expression, or empty for a line without result
};

class EverydayNoteMaker
{
public:
    explicit EverydayNoteMaker(quint32 seed)
        : m_random(seed)
    {}

    EverydayNote make(int lineCount)
    {
        EverydayNote note;
        while (note.lines.size() < lineCount)
            addLayout(note);
        return note;
    }

private:
    int below(int n) { return int(m_random.bounded(n)); }
    QString pick(const QStringList &list) { return list.at(below(int(list.size()))); }

    // A price such as 3.49 or 12.00, and the same for bc.
    QString price()
    {
        return QStringLiteral("%1.%2").arg(below(100)).arg(below(100), 2, 10, QChar(u'0'));
    }

    QString word()
    {
        return pick({QStringLiteral("Milk"), QStringLiteral("Bread"), QStringLiteral("apples"),
                     QStringLiteral("Total"), QStringLiteral("Rent"), QStringLiteral("Preis"),
                     QStringLiteral("coffee"), QStringLiteral("Summe"), QStringLiteral("paid")});
    }

    // A sum or product of a few numbers, written with a glued or a free sign of its first term.
    QPair<QString, QString> expression()
    {
        QString text = price();
        QString bc = text;
        const int terms = 1 + below(4);
        for (int i = 0; i < terms; ++i) {
            const QString op = pick({QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("*"),
                                     QStringLiteral("+")});
            const QString operand = price();
            text += u' ' + op + u' ' + operand;
            bc += op + operand;
        }
        return {text, bc};
    }

    void add(EverydayNote &note, const QString &line, const QString &bc = QString())
    {
        note.lines << line;
        note.expected << bc;
    }

    void addLayout(EverydayNote &note)
    {
        switch (below(11)) {
        case 0: { // a shopping list with dashes or stars, then its sum
            const QString bullet = pick({QStringLiteral("-"), QStringLiteral("*")});
            QStringList prices;
            for (int i = below(4) + 1; i > 0; --i) {
                prices << price();
                add(note, bullet + u' ' + word() + u' ' + prices.last());
            }
            add(note, QStringLiteral("Sum ") + prices.join(QStringLiteral(" + ")) + " =",
                prices.join(u'+'));
            break;
        }
        case 1: { // a word before a calculation
            const auto [text, bc] = expression();
            add(note, word() + u' ' + text + QStringLiteral(" ="), bc);
            break;
        }
        case 2: // a heading with its underline
            add(note, pick({QStringLiteral("Groceries"), QStringLiteral("# Week 12"),
                            QStringLiteral("Shopping:"), QStringLiteral("Notes")}));
            add(note,
                pick({QStringLiteral("========"), QStringLiteral("--------"), QStringLiteral("")}));
            break;
        case 3: { // a time, alone or before a calculation on the next line
            const QString time
                = QStringLiteral("%1:%2").arg(below(24)).arg(below(60), 2, 10, QChar(u'0'));
            add(note, pick({QStringLiteral("Meeting at "), QStringLiteral("call Anna "), QString()})
                          + time);
            break;
        }
        case 4: { // a date before a calculation
            const QString date = below(2) == 0 ? QStringLiteral("2024-%1-%2")
                                                     .arg(below(12) + 1, 2, 10, QChar(u'0'))
                                                     .arg(below(28) + 1, 2, 10, QChar(u'0'))
                                               : QStringLiteral("%1.%2.2024")
                                                     .arg(below(28) + 1, 2, 10, QChar(u'0'))
                                                     .arg(below(12) + 1, 2, 10, QChar(u'0'));
            const auto [text, bc] = expression();
            add(note, date + QStringLiteral(": paid ") + text + QStringLiteral(" ="), bc);
            break;
        }
        case 5: { // thousands separators
            const int thousands = below(999) + 1;
            const QString group = QStringLiteral("%1").arg(below(1000), 3, 10, QChar(u'0'));
            const QString cents = QStringLiteral("%1").arg(below(100), 2, 10, QChar(u'0'));
            const QString other = price();
            add(note,
                QStringLiteral("Rent %1,%2.%3 + %4 =").arg(thousands).arg(group, cents, other),
                QStringLiteral("%1%2.%3+%4").arg(thousands).arg(group, cents, other));
            break;
        }
        case 6: { // a definition, then lines starting with a sign
            const QString name
                = pick({QStringLiteral("price"), QStringLiteral("x"), QStringLiteral("budget")});
            const QString value = price();
            add(note, name + QStringLiteral(" := ") + value);
            const QString first = price();
            add(note, QStringLiteral("-") + first + QStringLiteral(" ="), u'-' + first);
            const QString second = price();
            add(note, QStringLiteral("+") + second + QStringLiteral(" * 2 ="), second + "*2");
            add(note, name + QStringLiteral(" * 1 ="), value);
            break;
        }
        case 7: { // a word at the end of a line, then a sum on the next
            add(note, pick({QStringLiteral("hello"), QStringLiteral("buy 5 apples"),
                            QStringLiteral("Temperature -5 degrees")}));
            const auto [text, bc] = expression();
            add(note, text + QStringLiteral(" ="), bc);
            break;
        }
        case 8: { // percent and powers
            const int a = below(500) + 1;
            const int b = below(100);
            add(note, QStringLiteral("%1 * %2 % =").arg(a).arg(b),
                QStringLiteral("%1*%2/100").arg(a).arg(b));
            const int base = below(9) + 1;
            const int power = below(8);
            add(note, QStringLiteral("%1 ^ %2 =").arg(base).arg(power),
                QStringLiteral("%1^%2").arg(base).arg(power));
            break;
        }
        case 9: // plain text
            add(note, pick({QStringLiteral("buy milk and bread"), QStringLiteral("Note: call back"),
                            QStringLiteral("see you then!")}));
            break;
        default: { // a plain calculation
            const auto [text, bc] = expression();
            add(note, text + QStringLiteral(" ="), bc);
            break;
        }
        }
    }

    QRandomGenerator m_random;
};

} // namespace

class TestEverydayNotes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layouts_data();
    void layouts();
    void randomLayoutsAgreeWithBc();
    void everyCalculationGetsAnAnswer();
};

void TestEverydayNotes::layouts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // A word waits for its "=" to the end of its line only.
    QTest::newRow("word, then a sum") << "Groceries\n3 + 4 =\n"
                                      << "Groceries\n3 + 4 ={ 7.000000000}\n";
    QTest::newRow("word, empty line, a number") << "hello\n\n7 =\n"
                                                << "hello\n\n7 ={ 7.000000000}\n";
    QTest::newRow("words with a number, then a difference")
        << "buy 5 apples\n3 - 4 =\n"
        << "buy 5 apples\n3 - 4 ={ -1.000000000}\n";
    QTest::newRow("signed number between words")
        << "Temperature -5 degrees\n3 + 4 =\n"
        << "Temperature -5 degrees\n3 + 4 ={ 7.000000000}\n";
    QTest::newRow("definition with a unit") << "x := 5 apples\n3 + 4 =\nx =\n"
                                            << "x := 5 apples\n3 + 4 ={ 7.000000000}\nx ={ "
                                               "5.000000000}\n";
    QTest::newRow("word alone with =") << "Total =\n2 =\n"
                                       << "Total =\n2 ={ 2.000000000}\n";

    // A line that begins with a sign is a calculation of its own.
    QTest::newRow("signed line after a definition")
        << "price := 100\n-20 =\nprice * 1 =\n"
        << "price := 100\n-20 ={ -20.000000000}\nprice * 1 ={ 100.000000000}\n";
    QTest::newRow("plus line after a definition") << "x := 5\n+3 * 2 =\nx =\n"
                                                  << "x := 5\n+3 * 2 ={ 6.000000000}\nx ={ "
                                                     "5.000000000}\n";
    QTest::newRow("signed line after a vector")
        << "FIX(0, TRUE)\nv := (1, 2)\n-3 * v =\nv =\n"
        << "FIX(0, TRUE)\nv := (1, 2)\n-3 * v ={ \n(-3, -6)\n}\nv ={ (1, 2)}\n";
    QTest::newRow("operator at the end of a line continues") << "x := 5 +\n3\nx =\n"
                                                             << "x := 5 +\n3\nx ={ 8.000000000}\n";
    QTest::newRow("sign inside parentheses continues") << "(5\n- 3) =\n"
                                                       << "(5\n- 3) ={ 2.000000000}\n";
    QTest::newRow("failed statement shows no value for its =")
        << "M := ((1, 2), (3, 4))\nv := (1, 2, 3)\nM * v =\n"
        << "M := ((1, 2), (3, 4))\nv := (1, 2, 3)\nM * v =[wrong matrix dimensions]\n";

    // Display calls take literal arguments only.
    QTest::newRow("display call with a variable") << "y := 5\nSCI(y, TRUE)\n2 =\n"
                                                  << "y := 5\nSCI(y, TRUE)\n2 ={ 2.000000000}\n";
    QTest::newRow("display call with an unknown name") << "SCI(z, TRUE)\n2 =\n"
                                                       << "SCI(z, TRUE)\n2 ={ 2.000000000}\n";

    // ENG rounds the value itself and chooses its exponent afterwards.
    QTest::newRow("ENG decimal tie") << "ENG(1, FALSE)\n473150000000000 =\n0.00455 =\n"
                                     << "ENG(1, FALSE)\n473150000000000 ={ 473.2E12}\n0.00455 ={ "
                                        "4.6E-3}\n";
    QTest::newRow("ENG exponent after rounding") << "ENG(3, FALSE)\n999.9996 =\n"
                                                 << "ENG(3, FALSE)\n999.9996 ={ 1.000E3}\n";

    // A refused range defines nothing.
    QTest::newRow("refused range")
        << "x := 1 .. 1000000\ny[x] := x * 2\nsum(y) =\nlen(y) =\n"
        << "x := 1 .. 1000000\ny[x] :=[Range too large] x * 2\nsum(y)[Wrong Identifier] =\n"
           "len(y) =[Wrong Identifier]\n";

    // Text that cannot begin a calculation is passed over.
    QTest::newRow("list dash first") << "- buy milk\n3 + 4 =\n"
                                     << "- buy milk\n3 + 4 ={ 7.000000000}\n";
    QTest::newRow("star bullets") << "* eggs 2.49\n* milk 1.29\n2.49 + 1.29 =\n"
                                  << "* eggs 2.49\n* milk 1.29\n2.49 + 1.29 ={ 3.780000000}\n";
    QTest::newRow("time") << "Meeting at 12:34\n3 + 4 =\n"
                          << "Meeting at 12:34\n3 + 4 ={ 7.000000000}\n";
    QTest::newRow("time with seconds") << "9:05:30 call\n1 + 1 =\n"
                                       << "9:05:30 call\n1 + 1 ={ 2.000000000}\n";
    QTest::newRow("ISO date") << "2024-05-11: paid 15 + 7 =\n"
                              << "2024-05-11: paid 15 + 7 ={ 22.000000000}\n";
    QTest::newRow("dotted date") << "11.05.2024 paid 15 + 7 =\n"
                                 << "11.05.2024 paid 15 + 7 ={ 22.000000000}\n";
    QTest::newRow("time in a calculation") << "5 + 12:30 =\n1 =\n"
                                           << "5 + 12:30 =[Wrong Identifier]\n1 ={ 1.000000000}\n";
    QTest::newRow("thousands separators") << "Rent 73,253.50 + 25 =\n1,000,000 * 2 =\n"
                                          << "Rent 73,253.50 + 25 ={ 73278.500000000}\n"
                                             "1,000,000 * 2 ={ 2000000.000000000}\n";
    QTest::newRow("commas in a list stay a list") << "FIX(0, TRUE)\nv := (1,234,5)\nlen(v) =\n"
                                                  << "FIX(0, TRUE)\nv := (1,234,5)\nlen(v) ={ 3}\n";
    QTest::newRow("range with a comma stays a range")
        << "FIX(0, TRUE)\nx := 1,100 .. 1000\ny[x] := x\nlen(y) =\n"
        << "FIX(0, TRUE)\nx := 1,100 .. 1000\ny[x] := x\nlen(y) ={ 11}\n";
    QTest::newRow("decimal comma is an error, not 5") << "3,5 =\n"
                                                      << "3,[Error in Expression]5 =\n";
    QTest::newRow("percent") << "128 * 25 % =\n200 * 10% + 1 =\n"
                             << "128 * 25 % ={ 32.000000000}\n200 * 10% + 1 ={ 21.000000000}\n";
    QTest::newRow("heading underlines") << "Groceries\n=========\n-----\n1 + 1 =\n"
                                        << "Groceries\n=========\n-----\n1 + 1 ={ 2.000000000}\n";
    QTest::newRow("keywords between calculations") << "do this then that\n2 * 3 =\n"
                                                   << "do this then that\n2 * 3 ={ 6.000000000}\n";

    // A word before a calculation on its line.
    QTest::newRow("word before a sum") << "Total 1.29 + 2.49 =\n"
                                       << "Total 1.29 + 2.49 ={ 3.780000000}\n";
    QTest::newRow("word before a long sum")
        << "Total 8.09 + 36.85 + 4.04 + 10.49 =\n"
        << "Total 8.09 + 36.85 + 4.04 + 10.49 ={ 59.470000000}\n";
    QTest::newRow("word with a colon") << "Total: 3 + 4 =\n"
                                       << "Total: 3 + 4 ={ 7.000000000}\n";
    QTest::newRow("word with a negative amount") << "Balance -20 + 50 =\n"
                                                 << "Balance -20 + 50 ={ 30.000000000}\n";
    QTest::newRow("word used as a value") << "Price + 1 =\n"
                                          << "Price +[Wrong Identifier] 1 =\n";
    QTest::newRow("value broken off by a word") << "2 x 1.50 =\n"
                                                << "2 x[Error in Expression] 1.50 =\n";
    QTest::newRow("value broken off by a parenthesis") << "5 + ) =\n"
                                                       << "5 + )[Error in Expression] =\n";

    // The power operator.
    QTest::newRow("power") << "2 ^ 10 =\n"
                           << "2 ^ 10 ={ 1024.000000000}\n";
    QTest::newRow("power is right-associative") << "2 ^ 3 ^ 2 =\n"
                                                << "2 ^ 3 ^ 2 ={ 512.000000000}\n";
    QTest::newRow("power above sign and product") << "-2 ^ 2 * 3 =\n2 * -2 ^ 2 =\n"
                                                  << "-2 ^ 2 * 3 ={ -12.000000000}\n2 * -2 ^ 2 ={ "
                                                     "-8.000000000}\n";
    QTest::newRow("negative exponent") << "2 ^ -2 =\n"
                                       << "2 ^ -2 ={ 0.250000000}\n";
    QTest::newRow("complex power") << "(-4) ^ 0.5 =\n(1 + 1i) ^ 2 =\n"
                                   << "(-4) ^ 0.5 ={ 0+2i}\n(1 + 1i) ^ 2 ={ 0+2i}\n";
    QTest::newRow("power without exponent") << "2 ^ =\n"
                                            << "2 ^ =[Error in Expression]\n";

    // Complex values are shown whole.
    QTest::newRow("large complex in FIX") << "1E13 + 5i =\n"
                                          << "1E13 + 5i ={ 10000000000000+5i}\n";
    QTest::newRow("complex in ENG") << "ENG(3, FALSE)\n2 + 3i =\n"
                                    << "ENG(3, FALSE)\n2 + 3i ={ 2.000+3.000i}\n";
    QTest::newRow("modulus") << "abs(3 + 4i) =\nabs(-2) =\n"
                             << "abs(3 + 4i) ={ 5.000000000}\nabs(-2) ={ 2.000000000}\n";
    QTest::newRow("complex logarithm") << "ln(1 + 2i) =\nln(-1) =\n"
                                       << "ln(1 + 2i) ={ 0.80471895621705+1.10714871779409i}\n"
                                          "ln(-1) ={ 0+3.14159265358979i}\n";

    // Only zero divides by zero.
    QTest::newRow("small divisor")
        << "1 / 0.00000000001 =\n1 / 0 =\n"
        << "1 / 0.00000000001 ={ 100000000000.000000000}\n1 / 0 =[Divide "
           "by 0]\n";

    // Matrices follow linear algebra.
    QTest::newRow("imaginary diagonal inverse")
        << "FIX(3, TRUE)\nM := ((0 - 3i, 0), (0, 0 + 2i))\ninv(M) =\n"
        << "FIX(3, TRUE)\nM := ((0 - 3i, 0), (0, 0 + 2i))\ninv(M) ={ \n((0+0.333333333333333i, 0),"
           "\n(0, 0-0.5i))\n}\n";
    QTest::newRow("2x3 times vectors")
        << "FIX(0, TRUE)\nA := ((1, 2, 3), (4, 5, 6))\nu := (1, 2)\nw := (1, 2, 3)\nA * u =\nA * w "
           "=\n"
        << "FIX(0, TRUE)\nA := ((1, 2, 3), (4, 5, 6))\nu := (1, 2)\nw := (1, 2, 3)\nA * u "
           "=[wrong matrix dimensions]\nA * w ={ \n(14, 32)\n}\n";

    // Ranges end at the last value not past their end.
    QTest::newRow("ragged range")
        << "FIX(0, TRUE)\nx := 1 .. 12.6\ny[x] := x\nlen(y) =\ny[11] =\n"
        << "FIX(0, TRUE)\nx := 1 .. 12.6\ny[x] := x\nlen(y) ={ 12}\ny[11] "
           "={ 12}\n";
    QTest::newRow("range end reached through rounding")
        << "x := 0, 0.1 .. 0.3\ny[x] := x\nlen(y) =\n"
        << "x := 0, 0.1 .. 0.3\ny[x] := x\nlen(y) ={ 4.000000000}\n";

    // Huge angles are reduced exactly.
    QTest::newRow("sine of a huge angle") << "sin(1E20) =\ncos(-1E22) =\n"
                                          << "sin(1E20) ={ -0.984807753}\ncos(-1E22) ={ "
                                             "0.173648178}\n";
}

void TestEverydayNotes::layouts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(calculated(text), expected);
}

void TestEverydayNotes::randomLayoutsAgreeWithBc()
{
    // Each line asking for a result shows bc's value to the nine decimals shown; every other
    // line shows nothing.
    for (quint32 seed = 1; seed <= 40; ++seed) {
        const EverydayNote note = EverydayNoteMaker(seed).make(30);
        QStringList expressions;
        for (const QString &bc : note.expected) {
            if (!bc.isEmpty())
                expressions << bc;
        }
        const QStringList values = bcValues(expressions);
        if (values.isEmpty())
            QFAIL("bc could not be run");
        QCOMPARE(values.size(), expressions.size());

        const QStringList shownLines
            = calculated(note.lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))
                  .split(u'\n');
        qsizetype next = 0;
        for (qsizetype i = 0; i < note.lines.size(); ++i) {
            const QString &line = shownLines.at(i);
            const QString context = QStringLiteral("seed %1, line %2: %3\n%4")
                                        .arg(seed)
                                        .arg(i)
                                        .arg(line, note.lines.mid(0, i + 1).join(u'\n'));
            if (note.expected.at(i).isEmpty()) {
                QVERIFY2(!line.contains(u'{') && !line.contains(u'['), qPrintable(context));
                continue;
            }
            static const QRegularExpression result(QStringLiteral("=\\{ (-?[0-9.]+)\\}$"));
            const QRegularExpressionMatch match = result.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(context));
            // Half a unit of the ninth decimal, and the rounding of a few double operations.
            const double expected = values.at(next++).toDouble();
            const double tolerance = 5.1e-10 + 1e-14 * std::fabs(expected);
            QVERIFY2(std::fabs(match.captured(1).toDouble() - expected) <= tolerance,
                     qPrintable(context + QStringLiteral("\nbc: %1").arg(expected, 0, 'g', 17)));
        }
    }
}

void TestEverydayNotes::everyCalculationGetsAnAnswer()
{
    // Random lines of numbers, operators, words and punctuation that end in "=": each one with a
    // number in it gets a result or an error, never nothing.
    static const QStringList numbers = {"3", "1.5", "12", "0", "2,500", "7i"};
    static const QStringList others = {
        "+",     "-",      "*",     "/",          "^",   "%",    "(",   ")", ":", ",", ";",  "x",
        "Total", "apples", "12:30", "2024-05-11", "AND", "then", "'a'", "[", "]", "<", ":=", ".."};
    QRandomGenerator random(20261211u);
    for (int note = 0; note < 200; ++note) {
        QStringList lines;
        for (int l = 0; l < 8; ++l) {
            QStringList tokens;
            bool number = false;
            for (int t = int(random.bounded(6)); t >= 0; --t) {
                if (random.bounded(2) == 0) {
                    tokens << numbers.at(random.bounded(int(numbers.size())));
                    number = true;
                } else {
                    tokens << others.at(random.bounded(int(others.size())));
                }
            }
            if (!number)
                tokens << numbers.at(random.bounded(int(numbers.size())));
            lines << tokens.join(u' ') + QStringLiteral(" =");
        }
        // Results over several lines (vectors, matrices) are cut down to their braces, so that
        // each shown line is the note's line.
        static const QRegularExpression multiLine(QStringLiteral("\\{[^}]*\\}"));
        const QStringList shownLines
            = calculated(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))
                  .replace(multiLine, QStringLiteral("{}"))
                  .split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = shownLines.at(i);
            QVERIFY2(line.contains(u'{') || line.contains(u'['),
                     qPrintable(QStringLiteral("note %1: %2").arg(note).arg(lines.join(" | "))));
        }
    }
}

QTEST_MAIN(TestEverydayNotes)
#include "tst_everydaynotes.moc"
