#include <QDir>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>

#include "richtext/notetitle.h"
#include "randomnotepieces.h"
#include "richtext/richdocument.h"

// A board shows a note's title from the first paragraphs of its file: it must
// be the title of the whole note as it reads into a document.
class tst_NoteTitle : public QObject
{
    Q_OBJECT

private:
    static QString wholeTitle(const QByteArray &data)
    {
        RichDocument document;
        document.setRtf(data);
        return NoteTitle(document.Text());
    }

private Q_SLOTS:
    void openingGivesTheWholeTitle_data();
    void openingGivesTheWholeTitle();
    void plainTextGivesTheWholeTitle_data();
    void plainTextGivesTheWholeTitle();
    void fixturesGiveTheWholeTitle();
    void randomNotesGiveTheWholeTitle();
};

void tst_NoteTitle::openingGivesTheWholeTitle_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("title");

    QTest::newRow("title and body") << QByteArray("Shopping\\par milk\\par eggs") << "Shopping..";
    QTest::newRow("blank lines before and after the title")
        << QByteArray("\\par  \\par\\tab Shopping list\\par\\par \\par milk") << "Shopping list..";
    QTest::newRow("one line, then only blank paragraphs")
        << QByteArray("Remember the milk and eggs\\par\\par  \\par \\par \\par \\par \\par")
        << "Remember the m..";
    QTest::newRow("the body far below the title")
        << QByteArray("Title").append(QByteArray("\\par ").repeated(40)).append("body")
        << "Title..";
    QTest::newRow("a line break in the first paragraph")
        << QByteArray("first\\line second\\par third") << "first..";
    QTest::newRow("hidden text first") << QByteArray("{\\v secret}Visible\\par x")
                                       << QString(QChar::ObjectReplacementCharacter) + "Visible..";
    QTest::newRow("table row first")
        << QByteArray("\\trowd\\intbl a\\cell b\\cell\\row after") << "a\tb..";
    QTest::newRow("cut short") << QByteArray("{\\b Title\\par bo") << "Title..";
    QTest::newRow("empty") << QByteArray("") << "..";
}

void tst_NoteTitle::openingGivesTheWholeTitle()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, title);

    const QByteArray note = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + body + "}";
    QCOMPARE(NoteTitleOfData(note), title);
    QCOMPARE(wholeTitle(note), title);
}

void tst_NoteTitle::plainTextGivesTheWholeTitle_data()
{
    QTest::addColumn<QByteArray>("note");
    QTest::addColumn<QString>("title");

    QTest::newRow("CR LF") << QByteArray("\r\n  plain title\r\nbody") << "plain title..";
    QTest::newRow("LF") << QByteArray("\nplain title\nbody") << "plain title..";
    QTest::newRow("NUL dropped") << QByteArray("ab\0cdefghijklmnopq", 18) << "abcdefghijklmn..";
}

// Plain text from the older series.
void tst_NoteTitle::plainTextGivesTheWholeTitle()
{
    QFETCH(QByteArray, note);
    QFETCH(QString, title);

    QCOMPARE(NoteTitleOfData(note), title);
    QCOMPARE(wholeTitle(note), title);
}

void tst_NoteTitle::fixturesGiveTheWholeTitle()
{
    const QDir folder(QFINDTESTDATA("data"));
    const QStringList names = folder.entryList({QStringLiteral("*.rtf")});
    QVERIFY(names.size() > 10);
    for (const QString &name : names) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QVERIFY2(NoteTitleOfData(data) == wholeTitle(data), qPrintable(name));
    }
}

void tst_NoteTitle::randomNotesGiveTheWholeTitle()
{
    const QList<QByteArray> pieces = randomNotePieces();
    QRandomGenerator random(20261211);
    for (int i = 0; i < 2000; ++i) {
        QByteArray note = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
        const int paragraphs = random.bounded(45);
        for (int p = 0; p < paragraphs; ++p) {
            note += pieces.at(random.bounded(pieces.size()));
            if (p + 1 < paragraphs)
                note += "\\par ";
        }
        if (random.bounded(4))
            note += '}';
        QVERIFY2(NoteTitleOfData(note) == wholeTitle(note), note.constData());
    }
}

QTEST_MAIN(tst_NoteTitle)
#include "tst_notetitle.moc"
