#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "calcdriver/calcdriver.h"
#include "richtext/richdocument.h"
#include "richedit/jvrichedit.h"

#include "../calc/randomnotes.h"

namespace {

// The note's text with CR LF breaks shown as "\n", every result in braces and every error in
// brackets, so a table row shows text, places and fonts at once.
QString shown(RichDocument &document, const TCalcDriver &driver)
{
    const auto fontOf = [&](const QTextCharFormat &format) -> QChar {
        const QColor color = format.foreground().color();
        if (format.hasProperty(QTextFormat::ForegroundBrush) && color == driver.ResultFont().color)
            return u'r';
        if (format.hasProperty(QTextFormat::ForegroundBrush) && color == driver.ErrorFont().color)
            return u'e';
        return u'u';
    };
    QString text;
    QString kinds;
    for (QTextBlock block = document.textDocument()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            text += it.fragment().text();
            kinds += QString(it.fragment().length(), fontOf(it.fragment().charFormat()));
        }
        if (block.next().isValid()) {
            text += u'\n';
            kinds += fontOf(block.next().charFormat());
        }
    }
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar kind = kinds.at(i);
        const bool opens = i == 0 || kinds.at(i - 1) != kind;
        const bool closes = i + 1 == text.size() || kinds.at(i + 1) != kind;
        if (opens && kind != u'u')
            result += kind == u'r' ? u'{' : u'[';
        result += text.at(i);
        if (closes && kind != u'u')
            result += kind == u'r' ? u'}' : u']';
    }
    return result;
}

} // namespace

class TestCalcDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void calc_data();
    void calc();
    void calcTwiceGivesOneResult();
    void clearResultsLeavesTheUsersText();
    void errorFontHasWavyRedUnderline();
    void caretAndScrollKept();
    void editorKeepsCaretAndScrollPosition();
    void resultsAfterRichText();
    void randomNotesKeepTheUsersText();
    void storedResultsAreClearedAfterLoading();
};

void TestCalcDriver::calc_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("result") << "3 + 4 =\n"
                            << "3 + 4 ={ 7.000000000}\n";
    QTest::newRow("definitions") << "x := 3\nx * 4 =\n"
                                 << "x := 3\nx * 4 ={ 12.000000000}\n";
    QTest::newRow("empty note") << ""
                                << "";
    QTest::newRow("last = without a line break") << "3 + 4 ="
                                                 << "3 + 4 ={ 7.000000000}";
    QTest::newRow("definition, then results")
        << "x := 2\n3 + 4 =\nx =\n"
        << "x := 2\n3 + 4 ={ 7.000000000}\nx ={ 2.000000000}\n";
    QTest::newRow("error of a definition in its own line")
        << "x := 1 / 0\ny := 2\ny =\n"
        << "x := 1 / 0[Divide by 0]\ny := 2\ny ={ 2.000000000}\n";
    QTest::newRow("list dash") << "- buy milk\n"
                               << "-[ Calculation Canceled!] buy milk\n";
    QTest::newRow("error goes on") << "1 / 0 =\n2 * 2 =\n"
                                   << "1 / 0 =[Divide by 0]\n2 * 2 ={ 4.000000000}\n";
    QTest::newRow("vector over lines")
        << "FIX(0, TRUE)\nx := 1 .. 7\ny[x] := x\ny =\n1 + 1 =\n"
        << "FIX(0, TRUE)\nx := 1 .. 7\ny[x] := x\ny ={ (1, 2, 3, 4, 5, \n6, 7)}\n"
           "1 + 1 ={ 2}\n";
    QTest::newRow("matrix result")
        << "FIX(0, TRUE)\nA := ((1, 2), (3, 4))\nA * A =\n2 * 3 =\n"
        << "FIX(0, TRUE)\nA := ((1, 2), (3, 4))\nA * A ={ \n((7, 10),\n(15, 22))\n}\n"
           "2 * 3 ={ 6}\n";
    QTest::newRow("singular matrix in place")
        << "M := ((1, 2), (2, 4))\ninv(M) =\n"
        << "M := ((1, 2), (2, 4))\ninv(M) =[gaussj: Singular Matrix]\n";
    QTest::newRow("unicode text around") << "Preis für Äpfel 3 * 1.5 =\n"
                                         << "Preis für Äpfel 3 * 1.5 ={ 4.500000000}\n";
}

void TestCalcDriver::calc()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RichDocument document;
    document.setText(text);
    TCalcDriver driver(&document);
    driver.Parse();
    QCOMPARE(shown(document, driver), expected);
}

void TestCalcDriver::calcTwiceGivesOneResult()
{
    RichDocument document;
    document.setText(QStringLiteral("3 + 4 =\r\nv := (1, 2)\r\nv =\r\nx / 0 =\r\n"));
    TCalcDriver driver(&document);
    driver.Parse();
    const QString once = shown(document, driver);
    driver.Parse();
    QCOMPARE(shown(document, driver), once);
    QCOMPARE(once, QStringLiteral("3 + 4 ={ 7.000000000}\nv := (1, 2)\n"
                                  "v ={ (1.000000000, 2.000000000)}\nx / 0 =\n"));
}

void TestCalcDriver::clearResultsLeavesTheUsersText()
{
    const QString text = QStringLiteral("1 + 1 =\r\nFIX(0, TRUE)\r\nA := ((1, 2), (3, 4))\r\n"
                                        "A * A =\r\n1 / 0 =\r\n2 AND 3 =\r\n");
    RichDocument document;
    document.setText(text);
    TCalcDriver driver(&document);
    driver.Parse();
    QVERIFY(document.Text() != text);
    driver.ClearResults();
    QCOMPARE(document.Text(), text);
}

void TestCalcDriver::errorFontHasWavyRedUnderline()
{
    RichDocument document;
    document.setText(QStringLiteral("1 / 0 =\r\n"));
    TCalcDriver driver(&document);
    driver.Parse();
    document.setSelStart(8);
    document.setSelLength(1);
    QCOMPARE(document.SelText(), QStringLiteral("i"));
    QCOMPARE(document.SelAttributes().Color(), QColor(255, 0, 0));
    QCOMPARE(document.SelAttributes().UnderlineType(), TUnderlineType::utWave);
    QCOMPARE(document.SelAttributes().UnderlineColor(), TUnderlineColor::ucRed);
    QCOMPARE(document.SelAttributes().Name(), TextFont::standard().font.family());
}

void TestCalcDriver::caretAndScrollKept()
{
    RichDocument document;
    document.setText(QStringLiteral("3 + 4 =\r\nsome text\r\n"));
    document.setSelStart(12);
    document.setSelLength(3);
    document.setVerticalScrollPosition(40);
    TCalcDriver driver(&document);
    driver.Parse();
    QCOMPARE(document.SelStart(), 12);
    QCOMPARE(document.SelLength(), 0);
    QCOMPARE(document.VerticalScrollPosition(), 40);
    document.setSelStart(5);
    driver.ClearResults();
    QCOMPARE(document.SelStart(), 5);
}

void TestCalcDriver::editorKeepsCaretAndScrollPosition()
{
    // In the editor widget, placing the caret scrolls: the scroll position must still be the
    // one the user had.
    TJvRichEdit edit;
    edit.resize(300, 100);
    edit.show();
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("x%1 := %1\r\nx%1 * 2 =\r\n").arg(i);
    edit.setText(text);
    QCoreApplication::processEvents();
    edit.setSelStart(40);
    edit.setVerticalScrollPosition(500);
    QCOMPARE(edit.VerticalScrollPosition(), 500);
    TCalcDriver driver(&edit);
    driver.Parse();
    QCOMPARE(edit.SelStart(), 40);
    QCOMPARE(edit.VerticalScrollPosition(), 500);
    QVERIFY(edit.Text().contains(QStringLiteral("x199 * 2 = 398.000000000")));
    driver.ClearResults();
    QCOMPARE(edit.VerticalScrollPosition(), 500);
    QCOMPARE(edit.Text(), text);
}

void TestCalcDriver::resultsAfterRichText()
{
    // A user's blue text in another face is the user's; only the result font is removed.
    RichDocument document;
    document.setText(QStringLiteral("2 * 5 =\r\nblue words\r\n"));
    document.setSelStart(9);
    document.setSelLength(10);
    document.SelAttributes().setColor(QColor(0, 0, 255));
    document.SelAttributes().setName(QStringLiteral("Courier New"));
    TCalcDriver driver(&document);
    driver.Parse();
    driver.Parse();
    QCOMPARE(document.Text(), QStringLiteral("2 * 5 = 10.000000000\r\nblue words\r\n"));
}

void TestCalcDriver::randomNotesKeepTheUsersText()
{
    // Whatever a note holds, Clear Results brings back exactly the user's text, also after a
    // second Calc. (The two runs may show different garbage for malformed calculations: the
    // machine's stack carries over from run to run.)
    QRandomGenerator random(20261210u);
    RichDocument document;
    TCalcDriver driver(&document);
    for (int i = 0; i < 300; ++i) {
        document.setText(RandomNotes::randomNote(random));
        const QString text = document.Text();
        driver.Parse();
        driver.Parse();
        driver.ClearResults();
        QCOMPARE(document.Text(), text);
    }
}

void TestCalcDriver::storedResultsAreClearedAfterLoading()
{
    // Calc, store, load and Calc again, any number of times: multi-line results end their lines
    // in the result font, so every run clears exactly what the last one wrote.
    const QString text
        = QStringLiteral("A := ((1, 2), (3, 4))\r\nA * A =\r\n"
                         "v := (1, 2, 3, 4, 5, 6, 7)\r\nv =\r\nx := 1 / 0\r\nend\r\n");
    RichDocument document;
    document.setText(text);
    TCalcDriver driver(&document);
    driver.Parse();
    const QString calculated = document.Text();
    for (int i = 0; i < 3; ++i) {
        const QByteArray stored = document.toRtf();
        RichDocument loaded;
        QVERIFY(loaded.setRtf(stored));
        QCOMPARE(loaded.Text(), calculated);
        TCalcDriver again(&loaded);
        again.Parse();
        QCOMPARE(loaded.Text(), calculated);
        again.ClearResults();
        QCOMPARE(loaded.Text(), text);
        again.Parse();
        document.setRtf(loaded.toRtf());
    }
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestCalcDriver test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calcdriver.moc"
