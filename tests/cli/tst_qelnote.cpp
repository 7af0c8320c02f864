#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include "richtext/rtfreader.h"

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run qelnote(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(QELNOTE_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString fixture(const char *name)
{
    return QStringLiteral(NOTE_FIXTURES "/") + QLatin1String(name);
}

} // namespace

class TestQelnote : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textPrintsUtf8WithLineFeeds_data();
    void textPrintsUtf8WithLineFeeds();
    void rtfPrintsWhatReadsBackToTheSameText_data();
    void rtfPrintsWhatReadsBackToTheSameText();
    void unreadableFilesFailWithOneLine_data();
    void unreadableFilesFailWithOneLine();
    void badArgumentsPrintUsage_data();
    void badArgumentsPrintUsage();
};

void TestQelnote::textPrintsUtf8WithLineFeeds_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("code pages")
        << fixture("codepages.rtf")
        << QByteArray(
               "Příliš žluťoučký kůň\nПривет\nαβγ\nGrüße €\n日本語\ndefault č\n€\xEF\x82\xB7😊\n");
    QTest::newRow("tab and line break")
        << fixture("formats.rtf")
        << QByteArray("plain bold italic under struck H2O x2\nred yellow courier big\n"
                      "wavy double dotted thick\n1 Unknown Name\nexample and mail\ntab\tline\n"
                      "end\xC2\xA0nb\n");
    QTest::newRow("objects") << fixture("pictures.rtf")
                             << QByteArray("png \xEF\xBF\xBC dib \xEF\xBF\xBC wmf \xEF\xBF\xBC "
                                           "object \xEF\xBF\xBC end\n");
}

void TestQelnote::textPrintsUtf8WithLineFeeds()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    const Run run = qelnote({QStringLiteral("text"), file});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, text);
}

void TestQelnote::rtfPrintsWhatReadsBackToTheSameText_data()
{
    QTest::addColumn<QByteArray>("note");
    QTest::addColumn<QString>("text");
    QTest::newRow("rtf") << QByteArray("{\\rtf1\\ansi{\\b bold}\\par {\\i Gr\\'fc\\'dfe}\\par}")
                         << QStringLiteral("bold\nGrüße");
    QTest::newRow("plain text in Windows-1252") << QByteArray("a\r\nGr\xfc\xdf"
                                                              "e\r\n")
                                                << QStringLiteral("a\nGrüße\n");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestQelnote::rtfPrintsWhatReadsBackToTheSameText()
{
    QFETCH(QByteArray, note);
    QFETCH(QString, text);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("QelNotes_0.rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(note);
    file.close();
    const Run run = qelnote({QStringLiteral("rtf"), file.fileName()});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.startsWith("{\\rtf1"));
    QTextDocument document;
    QTextCursor cursor(&document);
    QVERIFY(RtfReader::read(run.out, cursor));
    QCOMPARE(document.toPlainText(), text);
}

void TestQelnote::unreadableFilesFailWithOneLine_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("cannot open");
    QTest::newRow("truncated") << QByteArray("{\\rtf1\\ansi {\\b bold")
                               << QStringLiteral("truncated");
    QTest::newRow("hostile nesting")
        << "{\\rtf1" + QByteArray(100000, '{') << QStringLiteral("deeper");
}

void TestQelnote::unreadableFilesFailWithOneLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("note.rtf"));
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    for (const char *command : {"text", "rtf"}) {
        const Run run = qelnote({QLatin1String(command), path});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("qelnote: ") && run.err.endsWith('\n')
                     && run.err.count('\n') == 1,
                 run.err.constData());
        QVERIFY2(run.err.contains(path.toUtf8()) && run.err.contains(message.toUtf8()),
                 run.err.constData());
    }
}

void TestQelnote::badArgumentsPrintUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList();
    QTest::newRow("unknown subcommand")
        << QStringList{QStringLiteral("print"), fixture("bullets.rtf")};
    QTest::newRow("no file") << QStringList{QStringLiteral("text")};
    QTest::newRow("two files") << QStringList{QStringLiteral("rtf"), fixture("bullets.rtf"),
                                              fixture("bullets.rtf")};
}

void TestQelnote::badArgumentsPrintUsage()
{
    QFETCH(QStringList, arguments);
    const Run run = qelnote(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(run.err.startsWith("usage: qelnote"));
    QVERIFY(run.err.contains("text FILE"));
    QVERIFY(run.err.contains("rtf FILE"));
}

QTEST_APPLESS_MAIN(TestQelnote)
#include "tst_qelnote.moc"
