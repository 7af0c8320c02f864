#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include "randomnotepieces.h"
#include "richtext/notetext.h"
#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"

// A note's text read without a document must be the text of the document read
// from the same data, character for character: printing, searching and
// filtering rely on it.
class tst_NoteText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAsTheDocument_data();
    void readsAsTheDocument();
    void fixturesReadAsTheDocument();
    void randomNotesReadAsTheDocument_data();
    void randomNotesReadAsTheDocument();
    void randomPlainTextReadsAsTheDocument();
    void plainTextLeavesHiddenTextOut();

private:
    // Compares both readings of data; the first difference in the message.
    static bool sameReading(const QByteArray &data, QString *difference);
};

bool tst_NoteText::sameReading(const QByteArray &data, QString *difference)
{
    RichDocument document;
    QTextCursor cursor(document.textDocument());
    const RtfReader::Result read = RtfReader::read(data, cursor);
    const NoteText fromDocument = NoteText::ofDocument(*document.textDocument());
    const NoteText alone = RtfReader::readText(data);
    const auto escaped = [](const QString &text) {
        QString shown;
        for (const QChar c : text)
            shown += c.unicode() < 0x7f && c.unicode() >= 0x20
                         ? QString(c)
                         : QStringLiteral("<%1>").arg(c.unicode(), 0, 16);
        return shown;
    };
    if (alone.text != fromDocument.text) {
        *difference = QStringLiteral("text\n  alone:    %1\n  document: %2")
                          .arg(escaped(alone.text), escaped(fromDocument.text));
        return false;
    }
    if (alone.hidden != fromDocument.hidden) {
        *difference = QStringLiteral("hidden text in %1").arg(escaped(alone.text));
        return false;
    }
    if (alone.damage != read.message) {
        *difference = QStringLiteral("damage: %1 / %2").arg(alone.damage, read.message);
        return false;
    }
    if (alone.withCrLf() != document.Text()) {
        *difference = QStringLiteral("CR LF text");
        return false;
    }
    return true;
}

void tst_NoteText::readsAsTheDocument_data()
{
    QTest::addColumn<QByteArray>("note");

    const QByteArray head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    QTest::newRow("empty") << QByteArray("{\\rtf1}");
    QTest::newRow("last mark is the document's own") << head + "a\\par b\\par}";
    QTest::newRow("empty paragraphs") << head + "\\par\\par a\\par\\par}";
    QTest::newRow("hidden text, adjoining") << head + "a{\\v x}{\\v\\b y}b{\\v}\\par}";
    QTest::newRow("hidden paragraph") << head + "{\\v hid\\par}after}";
    QTest::newRow("picture, object, picture in object")
        << head
               + "{\\pict\\pngblip 00}{\\object\\objemb{\\*\\objdata 01}"
                 "{\\result{\\pict\\wmetafile8 00}}}\\par}";
    QTest::newRow("frame marks break paragraphs") << head + "a\\u64976?b\\u64977?c}";
    QTest::newRow("line and paragraph characters") << head + "a\\line b\\u8232?c\\u8233?d\\u13?e}";
    QTest::newRow("table cells") << head + "\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row c}";
    QTest::newRow("table begins and ends the note")
        << head + "\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row}";
    QTest::newRow("table, then an empty paragraph")
        << head + "x\\par\\trowd\\cellx100\\intbl a\\cell\\row\\pard\\par}";
    QTest::newRow("table, then two empty paragraphs")
        << head + "\\trowd\\cellx100\\intbl a\\cell\\row\\pard\\par\\par}";
    QTest::newRow("merged cells")
        << head
               + "\\trowd\\clmgf\\cellx100\\clmrg\\cellx200\\cellx300\\intbl a\\cell\\cell "
                 "b\\cell\\row"
                 "\\trowd\\clvmgf\\cellx100\\cellx200\\intbl c\\cell d\\cell\\row"
                 "\\trowd\\clvmrg\\cellx100\\cellx200\\intbl\\cell e\\cell\\row\\pard f}";
    QTest::newRow("a merged cell that holds text stays a cell")
        << head + "\\trowd\\clmgf\\cellx100\\clmrg\\cellx200\\intbl a\\cell b\\cell\\row\\pard}";
    QTest::newRow("rows of different lengths")
        << head + "\\intbl a\\cell b\\cell c\\cell\\row\\intbl d\\cell\\row\\pard e}";
    QTest::newRow("list, line and frame marks in a cell")
        << head
               + "\\trowd\\cellx100\\intbl{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}item\\line "
                 "x\\u64976?y\\par z\\cell\\row}";
    QTest::newRow("table cut inside a cell")
        << head + "\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\par {\\b c";
    QTest::newRow("table cut after a cell") << head + "x\\par\\intbl a\\cell";
    QTest::newRow("list") << head + "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}item\\par}";
    QTest::newRow("cut short") << head + "a\\par {\\b b";
    QTest::newRow("cut inside a picture") << head + "a{\\pict\\pngblip 0011";
    QTest::newRow("plain CR LF") << QByteArray("a\r\nb\r\n\r\n");
    QTest::newRow("plain CR, LF, NUL") << QByteArray("a\rb\nc\0\r\0\nd", 11);
}

void tst_NoteText::readsAsTheDocument()
{
    QFETCH(QByteArray, note);
    QString difference;
    QVERIFY2(sameReading(note, &difference), qPrintable(difference));
}

// Every RTF and text file the tests and fuzzers keep.
void tst_NoteText::fixturesReadAsTheDocument()
{
    const QDir top(QFINDTESTDATA("data") + QStringLiteral("/../../.."));
    int files = 0;
    for (const char *folder : {"tests", "fuzz"}) {
        QDirIterator it(top.filePath(QLatin1String(folder)), {"*.rtf", "*.txt"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QString difference;
            QVERIFY2(sameReading(file.readAll(), &difference),
                     qPrintable(file.fileName() + u'\n' + difference));
            ++files;
        }
    }
    QVERIFY(files > 20);
}

// Paragraphs of every kind in random formats, with hidden text, pictures, tables and lists,
// some cut short; a few long enough to be read while they are parsed. The first row is the
// board title test's notes.
void tst_NoteText::randomNotesReadAsTheDocument_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("perParagraph");

    const QList<QByteArray> titlePieces = randomNotePieces();
    QList<QByteArray> formatted = titlePieces;
    formatted << "{\\v hidden {\\b bold}}"
              << "f\\u64976?g"
              << "\\u65532?"
              << "{\\object{\\*\\objdata 00}{\\result{\\pict\\emfblip 00}}}"
              << "\\trowd\\cellx500\\cellx900 c1\\cell c2\\cell\\row "
              << "{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}item"
              << "\\pard\\li200\\fi-200 "
              << "\\'e9\\'fc"
              << "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
              << "\\cf1\\fs30 big\\cf0\\fs20 "
              << "}"
              << "{";
    QTest::newRow("title test's notes") << titlePieces << 20261211u << 1;
    QTest::newRow("formatted notes") << formatted << 20261212u << 2;
}

void tst_NoteText::randomNotesReadAsTheDocument()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(quint32, seed);
    QFETCH(int, perParagraph);

    QRandomGenerator random(seed);
    for (int i = 0; i < 2000; ++i) {
        QByteArray note
            = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue255;}"
              "\\f0 ";
        const bool longNote = perParagraph > 1 && i % 400 == 0;
        const int paragraphs = longNote ? 30000 : random.bounded(45);
        for (int p = 0; p < paragraphs; ++p) {
            for (int n = 0; n < perParagraph; ++n)
                note += pieces.at(random.bounded(pieces.size()));
            if (p + 1 < paragraphs && (perParagraph == 1 || random.bounded(4)))
                note += "\\par ";
        }
        if (random.bounded(4))
            note += '}';
        if (perParagraph > 1 && random.bounded(10) == 0)
            note.chop(random.bounded(qMax<qsizetype>(1, note.size() / 2)));
        QString difference;
        QVERIFY2(sameReading(note, &difference), qPrintable(difference + u'\n' + note.left(2000)));
    }
}

void tst_NoteText::randomPlainTextReadsAsTheDocument()
{
    const QList<QByteArray> pieces
        = {"a", "word ", "\r\n", "\r", "\n", QByteArray(1, '\0'), "\t", "\xe9", "\r\r\n\n"};
    QRandomGenerator random(20261213);
    for (int i = 0; i < 500; ++i) {
        QByteArray note;
        for (int n = random.bounded(30); n > 0; --n)
            note += pieces.at(random.bounded(pieces.size()));
        QString difference;
        QVERIFY2(sameReading(note, &difference), qPrintable(difference));
    }
}

void tst_NoteText::plainTextLeavesHiddenTextOut()
{
    const NoteText note = RtfReader::readText(
        "{\\rtf1 a{\\v secret}b{\\pict\\pngblip 00}\\line c\\par\\par d{\\v x}}");
    QCOMPARE(note.plainText(), QStringLiteral("ab\uFFFC\nc\n\nd\n"));
    QCOMPARE(RtfReader::readText("{\\rtf1 }").plainText(), QString());
}

QTEST_MAIN(tst_NoteText)
#include "tst_notetext.moc"
