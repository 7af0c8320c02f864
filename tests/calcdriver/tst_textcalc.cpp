#include <QApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "calcdriver/calcdriver.h"
#include "calcdriver/textcalc.h"
#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"

#include "../calc/randomnotes.h"

namespace {

// Plots are drawn small: only whether there is a picture matters to the text.
QImage smallPlot(const TPlotData &, const QSize &, const QFont &)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The note as RTF, with formats, hidden text, pictures and breaks put in at random between its
// characters; with tables, table cells and rows too.
QByteArray rtfOf(const QString &text, QRandomGenerator &random, bool tables = false)
{
    static const char *const inserts[]
        = {"\\b ",     "\\b0 ",   "{\\v hid}", "{\\pict\\pngblip 00}",
           "\\cf1 ",   "\\cf0 ",  "\\line ",   "\\tab ",
           "{\\i ",    "}",       "\\fs16 ",   "\\fs24 ",
           "\\intbl ", "\\cell ", "\\row ",    "\\pard "};
    const int kinds = int(std::size(inserts)) - (tables ? 0 : 4);
    QByteArray rtf
        = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue255;}\\f0 ";
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (random.bounded(12) == 0)
            rtf += inserts[random.bounded(kinds)];
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;
        if (c == u'\r' || c == u'\n')
            rtf += "\\par\r\n";
        else if (c == u'\\' || c == u'{' || c == u'}')
            rtf += QByteArray("\\") + char(c);
        else if (c >= 0x20 && c < 0x80)
            rtf += char(c);
        else
            rtf += "\\u" + QByteArray::number(qint16(c)) + '?';
    }
    return rtf + '}';
}

} // namespace

// qelnote calc without --write runs the calculations over the note's text alone; it must print
// what the driver leaves in the note's document.
class TestTextCalc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void examplesAgree();
    void randomNotesAgree();
    void tableNotesAgree();

private:
    // Compares both runs over data; with a document whose run wrote its results for the next.
    static bool agree(const QByteArray &data, QString *difference, QByteArray *written = nullptr);
};

bool TestTextCalc::agree(const QByteArray &data, QString *difference, QByteArray *written)
{
    RichDocument document;
    document.textDocument()->setUndoRedoEnabled(false);
    QTextCursor cursor(document.textDocument());
    RtfReader::read(data, cursor);
    TCalcDriver driver(&document);
    driver.setPlotRenderer(&smallPlot);
    driver.Parse();
    const NoteText expected = NoteText::ofDocument(*document.textDocument());

    NoteText note = RtfReader::readText(data, TextCalc::earlierResults());
    TextCalc calc;
    calc.setPlotRenderer(&smallPlot);
    calc.run(note);
    if (written)
        *written = document.toRtf();
    if (note.text != expected.text || note.hidden != expected.hidden) {
        *difference
            = QStringLiteral("alone:    %1\ndocument: %2")
                  .arg(note.withCrLf().toHtmlEscaped(), expected.withCrLf().toHtmlEscaped());
        return false;
    }
    return note.plainText() == expected.plainText();
}

// The calculator's example notes, as plain text and as RTF, and again with the results of the
// first run in them.
void TestTextCalc::examplesAgree()
{
    QRandomGenerator random(3311);
    for (const QString &example : RandomNotes::examples()) {
        for (const QByteArray &data : {example.toLatin1(), rtfOf(example, random)}) {
            QString difference;
            QByteArray written;
            QVERIFY2(agree(data, &difference, &written), qPrintable(difference));
            QVERIFY2(agree(written, &difference), qPrintable(difference));
        }
    }
}

void TestTextCalc::randomNotesAgree()
{
    QRandomGenerator random(20261214);
    for (int i = 0; i < 10000; ++i) {
        QString text = RandomNotes::randomNote(random);
        // Everyday lines among the random ones, so that most notes calculate something.
        static const QStringList lines
            = {QStringLiteral("3 + 4 * 2 / 7 =\r\n"), QStringLiteral("x := 5\r\nx * 2 =\r\n"),
               QStringLiteral("1 / 0 =\r\n"), QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n"),
               QStringLiteral("A := ((1, 2), (3, 4))\r\nA * A =\r\n")};
        for (int n = random.bounded(4); n > 0; --n)
            text.insert(random.bounded(text.size() + 1), lines.at(random.bounded(lines.size())));
        const QByteArray data = random.bounded(4) == 0 ? text.toLatin1() : rtfOf(text, random);
        QString difference;
        QByteArray written;
        QVERIFY2(agree(data, &difference, &written),
                 qPrintable(difference + QStringLiteral("\nnote: ") + QString::fromLatin1(data)));
        if (i % 10 == 0)
            QVERIFY2(agree(written, &difference), qPrintable(difference));
    }
}

QTEST_MAIN(TestTextCalc)
// Results go into the cell of their "=", and both runs agree on notes with tables.
void TestTextCalc::tableNotesAgree()
{
    const QByteArray note = "{\\rtf1 x := 4\\par\\trowd\\cellx900\\cellx1800\\intbl 2+3=\\cell "
                            "x * 2 =\\par 7-1=\\cell\\row\\pard 1+1=\\par}";
    QString difference;
    QByteArray written;
    QVERIFY2(agree(note, &difference, &written), qPrintable(difference));
    QVERIFY2(agree(written, &difference), qPrintable(difference));
    RichDocument document;
    QVERIFY(document.setRtf(written));
    const auto *table
        = qobject_cast<QTextTable *>(document.textDocument()->rootFrame()->childFrames().value(0));
    QVERIFY(table);
    const QTextTableCell first = table->cellAt(0, 0);
    const QTextTableCell second = table->cellAt(0, 1);
    QVERIFY(document.textDocument()->findBlock(first.firstPosition()).text().startsWith(u"2+3= 5"));
    QVERIFY(
        document.textDocument()->findBlock(second.firstPosition()).text().startsWith(u"x * 2 = 8"));
    QVERIFY(document.textDocument()->findBlock(second.lastPosition()).text().startsWith(u"7-1= 6"));

    QRandomGenerator random(20261215);
    for (int i = 0; i < 2000; ++i) {
        const QByteArray data = rtfOf(RandomNotes::randomNote(random), random, true);
        QVERIFY2(agree(data, &difference, &written),
                 qPrintable(difference + QStringLiteral("\nnote: ") + QString::fromLatin1(data)));
        QVERIFY2(agree(written, &difference), qPrintable(difference));
    }
}

#include "tst_textcalc.moc"
