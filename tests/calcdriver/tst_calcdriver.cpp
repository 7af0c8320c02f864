#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "calcdriver/calcdriver.h"
#include "plot/chartrenderer.h"
#include "richtext/richdocument.h"
#include "richedit/jvrichedit.h"

#include "../calc/randomnotes.h"
#include "shownnote.h"

namespace {

// The pictures of a document, in order.
QList<QImage> pictures(const RichDocument &document)
{
    QList<QImage> images;
    QTextDocument *text = document.textDocument();
    for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QVariant resource = text->resource(QTextDocument::ImageResource,
                                                         QUrl(format.toImageFormat().name()));
                images << resource.value<QImage>();
            }
        }
    }
    return images;
}

// A renderer that paints every plot in one colour and remembers the sizes it was asked for.
struct SolidRenderer
{
    QList<QSize> *sizes;
    QColor colour;

    QImage operator()(const TPlotData &, const QSize &size, const QFont &) const
    {
        *sizes << size;
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
};

const QString Picture(QChar::ObjectReplacementCharacter);

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
    void calcIsOneStepToUndo();
    void resultParagraphsHaveNoSpacing();
    void editorKeepsCaretAndScrollPosition();
    void resultsAfterRichText();
    void randomNotesKeepTheUsersText();
    void storedResultsAreClearedAfterLoading();
    void plotSize_data();
    void plotSize();
    void plotGoesOnTheNextLineAndIsReplacedByTheNextRun();
    void plotOnTheLastLine();
    void plotInTheEditorIsDrawnToItsSize();
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
                               << "- buy milk\n";
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
                                  "v ={ (1.000000000, 2.000000000)}\nx /[Wrong Identifier] 0 =\n"));
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

void TestCalcDriver::calcIsOneStepToUndo()
{
    // Results, an error and a plot between them, the second time over the first run's: each
    // run is one step.
    const QString text
        = QStringLiteral("3 + 4 =\r\n1 / 0 =\r\nx := 0, 0.5 .. 2\r\nplot(x)\r\n2 * 2 =\r\n");
    RichDocument document;
    document.setText(text);
    QTextDocument *undoable = document.textDocument();
    TCalcDriver driver(&document);
    QList<QSize> sizes;
    driver.setPlotRenderer(SolidRenderer{&sizes, Qt::green});
    driver.Parse();
    const QString calculated = document.Text();
    QCOMPARE(calculated, QStringLiteral("3 + 4 = 7.000000000\r\n1 / 0 =Divide by 0\r\n"
                                        "x := 0, 0.5 .. 2\r\nplot(x)\r\n")
                             + Picture + QStringLiteral("\r\n2 * 2 = 4.000000000\r\n"));
    driver.Parse();
    QCOMPARE(sizes.size(), 2);
    QCOMPARE(document.Text(), calculated);
    undoable->undo();
    QCOMPARE(document.Text(), calculated);
    QCOMPARE(pictures(document).first().pixelColor(0, 0), QColor(Qt::green));
    undoable->undo();
    QCOMPARE(document.Text(), text);
    undoable->redo();
    QCOMPARE(document.Text(), calculated);
}

void TestCalcDriver::resultParagraphsHaveNoSpacing()
{
    // The paragraphs a result spreads over have no spacing, whatever the line asking for it
    // had; the rest of that line and the other paragraphs keep theirs.
    RichDocument document;
    document.setText(QStringLiteral("FIX(0, TRUE)\r\nA := ((1, 2), (3, 4))\r\nA =\r\nend\r\n"));
    document.setSelStart(0);
    document.setSelLength(int(document.Text().size()));
    document.Paragraph().setSpaceAfter(6);
    TCalcDriver driver(&document);
    driver.Parse();
    QStringList spacing;
    for (QTextBlock block = document.textDocument()->begin(); block.isValid();
         block = block.next()) {
        spacing << block.text() + u':' + QString::number(block.blockFormat().bottomMargin() != 0);
    }
    QCOMPARE(spacing, QStringList({"FIX(0, TRUE):1", "A := ((1, 2), (3, 4)):1", "A = :0",
                                   "((1, 2),:0", "(3, 4)):0", ":1", "end:1", ":0"}));
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

void TestCalcDriver::plotSize_data()
{
    QTest::addColumn<QSize>("editor");
    QTest::addColumn<QSize>("picture");

    QTest::newRow("note window") << QSize(400, 300) << QSize(360, 150);
    QTest::newRow("default editor") << RichDocument::DefaultEditorSize << QSize(540, 200);
    QTest::newRow("odd sizes truncate") << QSize(555, 301) << QSize(499, 150);
    QTest::newRow("too small to draw") << QSize(50, 20) << QSize(120, 80);
    QTest::newRow("larger than any screen") << QSize(100000, 50000) << QSize(4000, 4000);
}

void TestCalcDriver::plotSize()
{
    QFETCH(QSize, editor);
    QFETCH(QSize, picture);
    QCOMPARE(TCalcDriver::PlotSize(editor), picture);
}

void TestCalcDriver::plotGoesOnTheNextLineAndIsReplacedByTheNextRun()
{
    const QString text = QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n2 + 3 =\r\n");
    const QString calculated = QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n") + Picture
                               + QStringLiteral("\r\n2 + 3 = 5.000000000\r\n");
    RichDocument document;
    document.setText(text);
    QList<QSize> sizes;
    TCalcDriver driver(&document);
    driver.setPlotRenderer(SolidRenderer{&sizes, Qt::red});
    driver.Parse();
    QCOMPARE(document.Text(), calculated);
    QCOMPARE(sizes, QList<QSize>{QSize(540, 200)});

    // The next run draws afresh and replaces the picture; Clear Results leaves it.
    driver.setPlotRenderer(SolidRenderer{&sizes, Qt::green});
    driver.Parse();
    QCOMPARE(document.Text(), calculated);
    driver.ClearResults();
    QCOMPARE(document.Text(),
             QString(calculated).replace(QStringLiteral(" 5.000000000"), QString()));
    QCOMPARE(pictures(document).size(), 1);
    QCOMPARE(pictures(document).first().pixelColor(0, 0), QColor(Qt::green));

    // The picture is stored as PNG and is replaced again after loading.
    const QByteArray stored = document.toRtf();
    QVERIFY(stored.contains("\\pict\\pngblip"));
    RichDocument loaded;
    QVERIFY(loaded.setRtf(stored));
    QCOMPARE(pictures(loaded).first().pixelColor(10, 10), QColor(Qt::green));
    TCalcDriver again(&loaded);
    again.setPlotRenderer(SolidRenderer{&sizes, Qt::blue});
    again.Parse();
    QCOMPARE(loaded.Text(), calculated);
    QCOMPARE(pictures(loaded).size(), 1);
    QCOMPARE(pictures(loaded).first().pixelColor(0, 0), QColor(Qt::blue));
}

void TestCalcDriver::plotOnTheLastLine()
{
    // A call on the last line, with no line break after it, gets a line for the picture.
    RichDocument document;
    document.setText(QStringLiteral("x := 1 .. 3\r\nplot(x) "));
    QList<QSize> sizes;
    TCalcDriver driver(&document);
    driver.setPlotRenderer(SolidRenderer{&sizes, Qt::red});
    driver.Parse();
    const QString calculated = QStringLiteral("x := 1 .. 3\r\nplot(x) \r\n") + Picture;
    QCOMPARE(document.Text(), calculated + QStringLiteral("\r\n"));
    driver.Parse();
    QCOMPARE(document.Text(), calculated + QStringLiteral("\r\n"));
    // A picture the user put right after a call is not one a run put there.
    document.setText(QStringLiteral("x := 1 .. 3\r\nplot(x)\r\n"));
    document.setSelStart(20);
    document.InsertGraphic(QImage(8, 8, QImage::Format_RGB32), false);
    document.setSelStart(21);
    document.setSelText(QStringLiteral("text"));
    driver.Parse();
    QCOMPARE(document.Text(), QStringLiteral("x := 1 .. 3\r\nplot(x)\r\n") + Picture
                                  + QStringLiteral("\r\n") + Picture + QStringLiteral("text"));
}

void TestCalcDriver::plotInTheEditorIsDrawnToItsSize()
{
    // The chart itself: as large as the editor asks (but no smaller than readable), drawn into
    // the note without the clipboard.
    QApplication::clipboard()->setText(QStringLiteral("the user's copy"));
    TJvRichEdit edit;
    edit.resize(400, 300);
    edit.setText(QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n"));
    TCalcDriver driver(&edit);
    driver.setPlotRenderer(&ChartRenderer::render);
    driver.Parse();
    const QList<QImage> drawn = pictures(edit);
    QCOMPARE(drawn.size(), 1);
    QCOMPARE(drawn.first().size(), QSize(360, 240));
    QCOMPARE(drawn.first().pixelColor(1, 1), QColor(Qt::white));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's copy"));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestCalcDriver test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calcdriver.moc"
