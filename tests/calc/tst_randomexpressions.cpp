#include <cmath>

#include <QRandomGenerator>
#include <QTest>

#include "calc/strparser.h"

namespace {

// Random arithmetic expressions (+ - * /, parentheses up to four levels deep, decimals) with
// their value computed independently in long double while they are written.
class ExpressionGenerator
{
public:
    explicit ExpressionGenerator(quint32 seed)
        : m_random(seed)
    {}

    // False when a divisor came too close to zero for a stable comparison.
    bool next(QString &text, long double &value)
    {
        m_valid = true;
        m_largest = 0;
        text = expression(0, value);
        return m_valid;
    }
    // The largest magnitude met on the way: the scale of the rounding errors of doubles.
    long double largest() const { return m_largest; }

private:
    QString expression(int depth, long double &value)
    {
        QString text = term(depth, value);
        for (int n = int(m_random.bounded(4)); n > 0; --n) {
            long double right = 0;
            const bool plus = m_random.bounded(2) == 0;
            text += plus ? QStringLiteral(" + ") : QStringLiteral(" - ");
            text += term(depth, right);
            value = plus ? value + right : value - right;
            note(value);
        }
        return text;
    }

    QString term(int depth, long double &value)
    {
        QString text = factor(depth, value);
        for (int n = int(m_random.bounded(3)); n > 0; --n) {
            long double right = 0;
            const bool times = m_random.bounded(2) == 0;
            text += times ? QStringLiteral(" * ") : QStringLiteral(" / ");
            text += factor(depth, right);
            if (!times && std::fabs(right) < 1e-3L)
                m_valid = false;
            value = times ? value * right : value / right;
            note(value);
        }
        return text;
    }

    QString factor(int depth, long double &value)
    {
        if (depth < 4 && m_random.bounded(10) < 4)
            return u'(' + expression(depth + 1, value) + u')';
        const int whole = int(m_random.bounded(1, 100));
        if (m_random.bounded(2) == 0) {
            value = whole;
            return QString::number(whole);
        }
        const int cents = int(m_random.bounded(100));
        value = whole + cents / 100.0L;
        return QStringLiteral("%1.%2").arg(whole).arg(cents, 2, 10, QLatin1Char('0'));
    }

    void note(long double value) { m_largest = std::max(m_largest, std::fabs(value)); }

    QRandomGenerator m_random;
    bool m_valid = true;
    long double m_largest = 0;
};

} // namespace

class TestRandomExpressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void agreeWithLongDouble();
};

void TestRandomExpressions::agreeWithLongDouble()
{
    ExpressionGenerator generator(20261210u);
    QStringList lines;
    QList<long double> expected;
    QList<long double> scale;
    while (lines.size() < 4000) {
        QString text;
        long double value = 0;
        if (!generator.next(text, value))
            continue;
        lines.append(text + QStringLiteral(" ="));
        expected.append(value);
        scale.append(std::max(generator.largest(), std::fabs(value)));
    }

    TStrParser parser;
    QStringList results;
    parser.OnDisplayResult
        = [&](TStrParser &, int, int, const QString &result) { results.append(result); };
    parser.OnDisplayError = [&](TStrParser &, int, const QString &error) { results.append(error); };
    parser.Run(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QCOMPARE(results.size(), lines.size());

    int differences = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool isNumber = false;
        const long double shown = results.at(i).trimmed().toDouble(&isNumber);
        // The display rounds to 9 decimals (9 significant digits from 1E12 on); doubles
        // computing a long chain carry a relative error of about 1e-16 of the largest value met.
        const long double tolerance = std::fabs(expected.at(i)) >= 1e12L
                                          ? 1e-8L * std::fabs(expected.at(i))
                                          : 0.6e-9L + 1e-13L * scale.at(i);
        if (!isNumber || std::fabs(shown - expected.at(i)) > tolerance) {
            if (++differences <= 5)
                qWarning().noquote()
                    << lines.at(i) << results.at(i) << "expected" << double(expected.at(i));
        }
    }
    QCOMPARE(differences, 0);
}

QTEST_APPLESS_MAIN(TestRandomExpressions)
#include "tst_randomexpressions.moc"
