#pragma once

// Notes made at random for robustness tests of the calculator: symbols of its language, examples
// with characters changed, and arbitrary characters.

#include <QRandomGenerator>
#include <QStringList>

namespace RandomNotes {

inline const QStringList &vocabulary()
{
    static const QStringList words = {
        QStringLiteral("0"),      QStringLiteral("1"),
        QStringLiteral("7"),      QStringLiteral("3.5"),
        QStringLiteral("1E-5"),   QStringLiteral("10-3"),
        QStringLiteral("5i"),     QStringLiteral("2147483648"),
        QStringLiteral("1e999"),  QStringLiteral("1."),
        QStringLiteral("1e-999"), QStringLiteral("x"),
        QStringLiteral("y"),      QStringLiteral("v"),
        QStringLiteral("M"),      QStringLiteral("Pi"),
        QStringLiteral("sum"),    QStringLiteral("len"),
        QStringLiteral("inv"),    QStringLiteral("sqrt"),
        QStringLiteral("ln"),     QStringLiteral("tan"),
        QStringLiteral("plot"),   QStringLiteral("FIX"),
        QStringLiteral("ENG"),    QStringLiteral("SCI"),
        QStringLiteral("HEX"),    QStringLiteral("TRUE"),
        QStringLiteral("FALSE"),  QStringLiteral("Total"),
        QStringLiteral("AND"),    QStringLiteral("OR"),
        QStringLiteral("NOT"),    QStringLiteral("MOD"),
        QStringLiteral("end"),    QStringLiteral("+"),
        QStringLiteral("-"),      QStringLiteral("*"),
        QStringLiteral("/"),      QStringLiteral("<"),
        QStringLiteral(">="),     QStringLiteral("<>"),
        QStringLiteral("="),      QStringLiteral(":="),
        QStringLiteral(":"),      QStringLiteral(","),
        QStringLiteral(";"),      QStringLiteral("["),
        QStringLiteral("]"),      QStringLiteral("("),
        QStringLiteral(")"),      QStringLiteral("{"),
        QStringLiteral("}"),      QStringLiteral("(*"),
        QStringLiteral("*)"),     QStringLiteral("'"),
        QStringLiteral("$"),      QStringLiteral("."),
        QStringLiteral(".."),     QStringLiteral("\r\n"),
        QStringLiteral("\r\n"),   QStringLiteral(" "),
        QStringLiteral("\t"),     QStringLiteral("ä"),
        QString(QChar(0)),        QStringLiteral("\xf0\x9f\x98\x80"),
    };
    return words;
}

inline const QStringList &examples()
{
    static const QStringList notes = {
        QStringLiteral("x := 1 .. 5\r\ny[x] := x * x\r\ny =\r\n"),
        QStringLiteral("x := 1 .. 3\r\ny[x] := sum(1, 3, x)\r\ny =\r\n"),
        QStringLiteral("A := ((1, 2), (3, 4))\r\nB := inv(A)\r\nA * B =\r\nA[1, 1] =\r\n"),
        QStringLiteral("v := (1, 2, 3)\r\nv[0] =\r\nsum(v) =\r\nlen(v) =\r\nv =\r\n"),
        QStringLiteral("FIX(2, FALSE)\r\n1 / 3 =\r\nENG(3, TRUE)\r\n12345 * 1 =\r\n"),
        QStringLiteral("Price 3 * 4 =\r\nTotal 3 + 4 =\r\nsum(1, 3, 2) =\r\n(5) =\r\n"),
        QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\nplot([x, y])\r\n3i * 3i =\r\n"),
    };
    return notes;
}

inline QString randomNote(QRandomGenerator &random)
{
    QString text;
    switch (random.bounded(3)) {
    case 0: { // symbols of the language
        const int count = random.bounded(200);
        for (int i = 0; i < count; ++i) {
            text += vocabulary().at(random.bounded(vocabulary().size()));
            if (random.bounded(3) == 0)
                text += u' ';
        }
        break;
    }
    case 1: { // an example with characters changed, removed and added
        text = examples().at(random.bounded(examples().size()));
        const int edits = 1 + random.bounded(8);
        for (int i = 0; i < edits && !text.isEmpty(); ++i) {
            const qsizetype at = random.bounded(text.size());
            const QString &word = vocabulary().at(random.bounded(vocabulary().size()));
            switch (random.bounded(3)) {
            case 0:
                text.remove(at, 1 + random.bounded(4));
                break;
            case 1:
                text.insert(at, word);
                break;
            default:
                text.replace(at, 1, word);
                break;
            }
        }
        break;
    }
    default: { // any characters
        const int count = random.bounded(300);
        for (int i = 0; i < count; ++i)
            text
                += QChar(char16_t(random.bounded(2) ? random.bounded(128) : random.bounded(65536)));
        break;
    }
    }
    return text;
}

inline QString repeated(const QString &piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace RandomNotes
