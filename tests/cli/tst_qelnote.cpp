#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include "richtext/rtfreader.h"
#include "richtext/textformat.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// fileSizeLimit, when set, makes every write beyond that many bytes of a file
// fail as on a full disk.
Run qelnote(const QStringList &arguments, const QByteArray &input = {}, rlim_t fileSizeLimit = 0)
{
    QProcess process;
    process.setChildProcessModifier([fileSizeLimit] {
        // Without a terminal of its own the tool can never wait for a typed password.
        setsid();
        if (fileSizeLimit != 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a refused write, not a killed process
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    process.start(QStringLiteral(QELNOTE_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The one warning of an export to Markdown or HTML of the test's data folder: its pictures' note
// holds a metafile and an object, which are shown as boxes.
QByteArray pictureWarning(const char *extension)
{
    return QByteArray("qelnote: 1 png dib wm.") + extension
           + ": 2 picture(s) or object(s) of kinds an export cannot show are drawn as boxes of "
             "their size\n";
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
    void longTextIsPrintedWhole();
    void rtfPrintsWhatReadsBackToTheSameText_data();
    void rtfPrintsWhatReadsBackToTheSameText();
    void unreadableFilesFailWithOneLine_data();
    void unreadableFilesFailWithOneLine();
    void damagedFilesPrintTheirTextAndOneWarning_data();
    void damagedFilesPrintTheirTextAndOneWarning();
    void badArgumentsPrintUsage_data();
    void badArgumentsPrintUsage();
    void encryptPrintsTheCommandsMarker_data();
    void encryptPrintsTheCommandsMarker();
    void wrongPasswordsLeaveTheMarker_data();
    void wrongPasswordsLeaveTheMarker();
    void decryptReplacesMarkersItCanDecrypt();
    void passwordsComeFromAFileOrTheTerminal_data();
    void passwordsComeFromAFileOrTheTerminal();
    void passwordFilesAreBounded_data();
    void passwordFilesAreBounded();
    void searchListsTheNotesWithAllWords_data();
    void searchListsTheNotesWithAllWords();
    void searchReportsAFolderItCannotRead();
    void exportWritesEveryNoteAndLeavesTheNotesAlone_data();
    void exportWritesEveryNoteAndLeavesTheNotesAlone();
    void exportLeavesAloneWhatItDidNotWrite();
    void exportedHtmlIsValidForTidy();
    void exportReportsAFullDisk();
    void exportKeepsNoActiveContent_data();
    void exportKeepsNoActiveContent();
    void exportedMarkdownReadsBackWithTheNotesText();

private:
    QTemporaryDir m_folder;
    QString file(const char *name, const QByteArray &content);
    QString dataFolder();
};

QString TestQelnote::file(const char *name, const QByteArray &content)
{
    QFile file(m_folder.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", name);
    return file.fileName();
}

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
    QTest::newRow("field result") << fixture("fieldresult.rtf") << QByteArray("A link text B\n");
    QTest::newRow("Word's destinations")
        << fixture("worddestinations.rtf") << QByteArray("Only this text\n");
    QTest::newRow("upr") << fixture("upr.rtf") << QByteArray("Before [Γ] after\n");
    QTest::newRow("Mac code pages")
        << fixture("macjapanese.rtf") << QByteArray("はじめに\nGrüße “”\nПривет\n");
    QTest::newRow("East Asian code pages")
        << fixture("eastasian.rtf") << QByteArray("中文\n中文\n한글\nソフト\n中 A\n");
    QTest::newRow("font names") << fixture("fontnames.rtf") << QByteArray("你好, Arial\n");
    QTest::newRow("hidden text") << fixture("hidden.rtf") << QByteArray("shown  shown\n");
    QTest::newRow("raised and lowered")
        << fixture("updown.rtf") << QByteArray("H2O and x234\nall caps Small Caps outlined both\n");
    QTest::newRow("stylesheet") << fixture("stylesheet.rtf")
                                << QByteArray("Styled\nBased on the heading\nBody with code and "
                                              "bold\nUnstyled 12 pt\n");
    QTest::newRow("list levels")
        << fixture("listlevels.rtf")
        << QByteArray("Not numbered\nBullet\nLettered\nContinued without a letter\nLettered "
                      "again\n");
    QTest::newRow("lists without a table")
        << fixture("listnotable.rtf") << QByteArray("First\nSecond\nDot\nRoman\n");
    QTest::newRow("list labels")
        << fixture("listlabels.rtf")
        << QByteArray("Three\nFour\nAlpha\nBeta\nGamma\nDash\nRound\nTable b\nTable c\nTable "
                      "dash\nPlain\n");
    QTest::newRow("direction and tab stops")
        << fixture("paragraphs.rtf")
        << QByteArray("שלום עולם\nLeft to right\nName\tvalue\tmid\t3.14\nBar tab\tx\ty\tz\nNo "
                      "stops\n");
    QTest::newRow("table rows") << fixture("table.rtf")
                                << QByteArray("Before\nName\tValue\nTwo\nlines\t42\nAfter\n");
    // A merged cell is one cell of its row.
    QTest::newRow("tables") << fixture("tables.rtf")
                            << QByteArray(
                                   "Before\na\tbold red\nc\td\nBetween\nwide\tx\ntall\ty\tz\n"
                                   "v\tw\nNumbers\nHeading\nSecond\tplain\nAfter\n");
    QTest::newRow("picture kinds") << fixture("picturebytes.rtf")
                                   << QByteArray("png \xEF\xBF\xBC jpeg \xEF\xBF\xBC wmf "
                                                 "\xEF\xBF\xBC emf \xEF\xBF\xBC end\n");
    QTest::newRow("objects") << fixture("pictures.rtf")
                             << QByteArray("png \xEF\xBF\xBC dib \xEF\xBF\xBC wmf \xEF\xBF\xBC "
                                           "object \xEF\xBF\xBC end\n");
}

// A long text is converted in two halves at once: the one character of four UTF-8 bytes lies
// where the text is halved.
void TestQelnote::longTextIsPrintedWhole()
{
    const QByteArray a(300000, 'a'), b(300000, 'b'), c(299999, 'c'), d(300000, 'd');
    QTemporaryDir dir;
    QFile note(dir.filePath(u"long.rtf"_qs));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.write("{\\rtf1 " + a + "\\line " + b + "\\u-10179?\\u-8704?" + c + "\\par " + d + "}");
    note.close();
    const Run run = qelnote({QStringLiteral("text"), note.fileName()});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QVERIFY(run.out == a + '\n' + b + "\xF0\x9F\x98\x80" + c + '\n' + d + '\n');
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
    QTest::newRow("table") << QByteArray(
        "{\\rtf1 a\\par\\trowd\\cellx900\\cellx1800\\intbl b\\cell "
        "c\\par d\\cell\\row\\pard e}")
                           << QStringLiteral("a\nb\tc\u2028d\ne");
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
    QCOMPARE(RtfReader::read(run.out, cursor).message, QString());
    QCOMPARE(NoteText::textOf(document).replace(QChar::ParagraphSeparator, u'\n'), text);
}

void TestQelnote::unreadableFilesFailWithOneLine_data()
{
    // What stands at the note's path: nothing, a FIFO nobody writes, a folder,
    // a device without end, a file above the size of any note.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "missing" << QStringLiteral("No such file");
    QTest::newRow("FIFO") << "fifo" << QStringLiteral("not a regular file");
    QTest::newRow("folder") << "folder" << QStringLiteral("a folder");
    QTest::newRow("endless device") << "/dev/zero" << QStringLiteral("not a regular file");
    QTest::newRow("too large") << "large" << QStringLiteral("larger than 64 MB");
}

void TestQelnote::unreadableFilesFailWithOneLine()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("note.rtf"));
    if (kind == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "large") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(65 * 1024 * 1024)); // sparse
    } else if (kind.startsWith('/')) {
        path = kind;
    }
    for (const char *command : {"text", "rtf", "calc"}) {
        const Run run = qelnote({QLatin1String(command), path});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("qelnote: cannot read ") && run.err.endsWith('\n')
                     && run.err.count('\n') == 1,
                 run.err.constData());
        QVERIFY2(run.err.contains(path.toUtf8()) && run.err.contains(message.toUtf8()),
                 run.err.constData());
    }
}

void TestQelnote::damagedFilesPrintTheirTextAndOneWarning_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    // Text is read without decoding pictures: a damaged one is reported where the note is
    // read whole.
    QTest::addColumn<bool>("picture");
    QTest::newRow("unclosed groups")
        << QByteArray("{\\rtf1\\ansi first\\par {\\b bo") << QByteArray("first\nbo\n")
        << QStringLiteral("truncated") << false;
    QTest::newRow("cut binary data") << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin100 abc")
                                     << QByteArray("a\n") << QStringLiteral("binary data") << false;
    // One line of its own, nothing of the picture decoder's.
    QFile corrupt(fixture("corruptpicture.rtf"));
    QVERIFY(corrupt.open(QIODevice::ReadOnly));
    QTest::newRow("corrupt picture")
        << corrupt.readAll() << QByteArray("before \xEF\xBF\xBC after\n")
        << QStringLiteral("a picture is damaged and kept as it was (IDAT: incorrect data check)")
        << true;
}

void TestQelnote::damagedFilesPrintTheirTextAndOneWarning()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QFETCH(bool, picture);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("QelNotes_0.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    for (const char *command : {"text", "rtf"}) {
        const Run run = qelnote({QLatin1String(command), path});
        QCOMPARE(run.status, 0);
        if (picture && qstrcmp(command, "text") == 0) {
            QCOMPARE(run.err, QByteArray());
            QCOMPARE(run.out, text);
            continue;
        }
        QVERIFY2(run.err.startsWith("qelnote: ") && run.err.endsWith('\n')
                     && run.err.count('\n') == 1,
                 run.err.constData());
        QVERIFY2(run.err.contains(path.toUtf8()) && run.err.contains(message.toUtf8()),
                 run.err.constData());
        if (qstrcmp(command, "text") == 0)
            QCOMPARE(run.out, text);
        else
            QVERIFY(run.out.startsWith("{\\rtf1") && run.out.endsWith("}\r\n"));
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
    QTest::newRow("encrypt takes no file")
        << QStringList{"encrypt", "--password-file", "pw", fixture("bullets.rtf")};
    QTest::newRow("decrypt without a file") << QStringList{"decrypt", "--password-file", "pw"};
    QTest::newRow("password file not named")
        << QStringList{"decrypt", fixture("bullets.rtf"), "--password-file"};
    QTest::newRow("search without words") << QStringList{"search", "dir", " "};
    QTest::newRow("export without a format") << QStringList{"export", "dir", "out"};
    QTest::newRow("export to an unknown format")
        << QStringList{"export", "dir", "--to", "doc", "out"};
    QTest::newRow("export without a target") << QStringList{"export", "dir", "--to", "md"};
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

// A marker of "Grüße €" under the password "master" as earlier versions made
// it, and as the Crypt command makes it now, with a check value.
static const QByteArray GreetingMarker("QelCrypt:#8#229#254#251#103#16#137#147#190");
static const QByteArray CheckedGreetingMarker(
    "QelCrypt:#024#229#254#251#103#16#137#147#190#111#53#92#251#77#242#33#114#49#251#121#103#199#"
    "218#110#97");

void TestQelnote::encryptPrintsTheCommandsMarker_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("one line") << QByteArray("Grüße €");
    QTest::newRow("its line break ends it") << QByteArray("Grüße €\n");
    QTest::newRow("CR LF too") << QByteArray("Grüße €\r\n");
}

void TestQelnote::encryptPrintsTheCommandsMarker()
{
    QFETCH(QByteArray, input);
    const QString password = file("password", "master\n");
    const Run run = qelnote({"encrypt", "--password-file", password}, input);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, CheckedGreetingMarker + '\n');
}

void TestQelnote::wrongPasswordsLeaveTheMarker_data()
{
    QTest::addColumn<QByteArray>("wrong");
    // Passwords that passed for this marker while only its last byte was checked.
    QTest::newRow("shadow5627") << QByteArray("shadow5627");
    QTest::newRow("hunter1801") << QByteArray("hunter1801");
    QTest::newRow("dragon6564") << QByteArray("dragon6564");
}

void TestQelnote::wrongPasswordsLeaveTheMarker()
{
    QFETCH(QByteArray, wrong);
    const QString right = file("right", "right horse\n");
    const QByteArray marker
        = qelnote({"encrypt", "--password-file", right}, "secret\n").out.trimmed();
    const QString note = file("note.txt", marker);
    const Run run = qelnote({"decrypt", "--password-file", file("wrong", wrong), note});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, marker + '\n');
    QVERIFY(run.err.contains("does not decrypt with this password"));
    QCOMPARE(qelnote({"decrypt", "--password-file", right, note}).out, QByteArray("secret\n"));
}

void TestQelnote::decryptReplacesMarkersItCanDecrypt()
{
    const QString password = file("password", "master\r\nsecond line\n");
    const QByteArray lines
        = qelnote({"encrypt", "--password-file", password}, "Привет\nzwei Zeilen\n").out.trimmed();
    const QString other = file("other", "other");
    const QByteArray foreign = qelnote({"encrypt", "--password-file", other}, "x").out.trimmed();
    const QString note = file("note.txt", "Title\r\n" + GreetingMarker + "\r\n"
                                              + CheckedGreetingMarker + "\r\nin a line " + lines
                                              + " and " + foreign + "\r\nQELCRYPT:#12#1#2");
    const Run run = qelnote({"decrypt", "--password-file", password, note});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, "Title\nGrüße €\nGrüße €\nin a line Привет\nzwei Zeilen and " + foreign
                          + "\nQELCRYPT:#12#1#2\n");
    QCOMPARE(run.err, "qelnote: line 5: " + foreign.left(24)
                          + "... does not decrypt with this password\n"
                            "qelnote: line 6: QELCRYPT:#12#1#2 is damaged\n");

    const Run clean = qelnote({"decrypt", note, "--password-file", other});
    QCOMPARE(clean.status, 1);
    QVERIFY(clean.out.contains("and x\n"));
}

void TestQelnote::passwordsComeFromAFileOrTheTerminal_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no --password-file
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no terminal") << QByteArray() << QByteArray("no terminal");
    QTest::newRow("blank") << QByteArray(" \n") << QByteArray("the password is blank");
    QTest::newRow("empty first line") << QByteArray("\nmaster") << QByteArray("blank");
}

void TestQelnote::passwordsComeFromAFileOrTheTerminal()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, message);
    QStringList arguments{"encrypt"};
    if (!content.isNull())
        arguments << "--password-file" << file("password", content);
    const Run run = qelnote(arguments, "text");
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("qelnote: ") && run.err.contains(message), run.err.constData());
    QVERIFY(qelnote({"encrypt", "--password-file", m_folder.filePath("missing")}, "text")
                .err.contains("No such file"));
}

void TestQelnote::passwordFilesAreBounded_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("endless device") << "/dev/zero" << QByteArray("not a regular file");
    QTest::newRow("folder") << "/" << QByteArray("a folder");
    QTest::newRow("too large") << "large" << QByteArray("larger than 64 kB");
}

void TestQelnote::passwordFilesAreBounded()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, message);
    if (path == "large")
        path = file("large", "master\n" + QByteArray(64 * 1024, 'x'));
    const QString note = file("note.txt", GreetingMarker);
    const Run run = qelnote({"decrypt", "--password-file", path, note});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("qelnote: cannot read the password file " + path.toUtf8())
                 && run.err.contains(message),
             run.err.constData());

    // A pipe, as "--password-file <(...)" gives, is read up to the same limit.
    const Run piped = qelnote({"decrypt", "--password-file", "/dev/stdin", note}, "master\n");
    QCOMPARE(piped.err, QByteArray());
    QCOMPARE(piped.out, QByteArray("Grüße €\n"));
    const Run flood
        = qelnote({"decrypt", "--password-file", "/dev/stdin", note}, QByteArray(65 * 1024, 'x'));
    QCOMPARE(flood.status, 1);
    QVERIFY2(flood.err.contains("more than a password file may"), flood.err.constData());
}

// A data folder of four notes in board order: formatting, pictures, East Asian
// text, and a plain-text note of the older series that comes after them.
QString TestQelnote::dataFolder()
{
    const QString folder = m_folder.filePath(QStringLiteral("data"));
    if (QDir(folder).exists())
        return folder;
    QDir().mkpath(folder);
    const char *const notes[] = {"formats.rtf", "pictures.rtf", "eastasian.rtf"};
    for (int number = 0; number < 3; ++number)
        QFile::copy(fixture(notes[number]),
                    folder + QStringLiteral("/QelNotes_%1.rtf").arg(number));
    QFile plain(folder + QStringLiteral("/QelNotes_0.txt"));
    if (!plain.open(QIODevice::WriteOnly)
        || plain.write("Shopping list: a/b\r\nmilk and Bread\r\n") < 0)
        qFatal("cannot write the plain-text note");
    // Behind a gap: not one of the board's notes.
    QFile::copy(fixture("bullets.rtf"), folder + QStringLiteral("/QelNotes_5.rtf"));
    return folder;
}

void TestQelnote::searchListsTheNotesWithAllWords_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("one note, any letter case")
        << QStringList{"BREAD"} << 0 << QByteArray("3\tShopping list: a/b\tmilk and Bread\n");
    QTest::newRow("all words, in one argument or several")
        << QStringList{"milk", "shopping bread"} << 0
        << QByteArray("3\tShopping list: a/b\tShopping list: a/b\n");
    QTest::newRow("not every word in one note")
        << QStringList{"bold", "bread"} << 1 << QByteArray();
    QTest::newRow("nothing") << QStringList{"absent"} << 1 << QByteArray();
    QTest::newRow("non-Latin text") << QStringList{"한글"} << 0 << QByteArray("2\t中文\t한글\n");
    QTest::newRow("several notes")
        << QStringList{"e"} << 0
        << QByteArray("0\tplain bold italic under struck H2O x2\tplain bold italic under struck "
                      "H2O x2\n"
                      "1\tpng \xef\xbf\xbc dib \xef\xbf\xbc wm\tpng \xef\xbf\xbc dib \xef\xbf\xbc "
                      "wmf \xef\xbf\xbc object \xef\xbf\xbc end\n"
                      "3\tShopping list: a/b\tmilk and Bread\n");
    QTest::newRow("a note behind the gap is none of the board's")
        << QStringList{"bullet"} << 1 << QByteArray();
}

void TestQelnote::searchListsTheNotesWithAllWords()
{
    QFETCH(QStringList, words);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    const Run run = qelnote(QStringList{"search", dataFolder()} + words);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, out);
    QCOMPARE(run.status, status);
}

void TestQelnote::searchReportsAFolderItCannotRead()
{
    const Run run = qelnote({"search", m_folder.filePath(QStringLiteral("missing")), "word"});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains("is not a readable folder"));
}

void TestQelnote::exportWritesEveryNoteAndLeavesTheNotesAlone_data()
{
    QTest::addColumn<QString>("format");
    // What the files must hold: emphasis, the picture inside the file, non-Latin text.
    QTest::addColumn<QByteArrayList>("formatted");
    QTest::addColumn<QByteArrayList>("pictures");
    QTest::newRow("markdown") << "md" << QByteArrayList{"**bold**", "*italic*", "~~struck~~"}
                              << QByteArrayList{"![image](data:image/png;base64,iVBOR"};
    QTest::newRow("html") << "html"
                          << QByteArrayList{"font-weight:700;\">bold</span>",
                                            "font-style:italic;\">italic</span>"}
                          << QByteArrayList{"<img src=\"data:image/png;base64,iVBOR"};
    QTest::newRow("plain text") << "txt" << QByteArrayList{"plain bold italic under struck"}
                                << QByteArrayList{"png \xef\xbf\xbc dib"};
}

void TestQelnote::exportWritesEveryNoteAndLeavesTheNotesAlone()
{
    QFETCH(QString, format);
    QFETCH(QByteArrayList, formatted);
    QFETCH(QByteArrayList, pictures);
    const QDir data(dataFolder());
    const auto snapshot = [&data] {
        QStringList files;
        for (const QFileInfo &info : data.entryInfoList(QDir::Files, QDir::Name))
            files << info.fileName() + info.lastModified().toString(Qt::ISODateWithMs)
                         + QString::number(info.size());
        return files;
    };
    const QStringList before = snapshot();
    const QString out = m_folder.filePath(QStringLiteral("export/") + format);

    const Run run = qelnote({"export", data.path(), "--to", format, out});
    QCOMPARE(run.err, format == u"txt"_qs ? QByteArray() : pictureWarning(qPrintable(format)));
    QCOMPARE(run.status, 0);
    QCOMPARE(snapshot(), before);

    // Named by number and title; pictures, a colon and a slash left out of the names.
    const QStringList names{"0 plain bold italic under struck H2O x2", "1 png dib wm", "2 中文",
                            "3 Shopping list_ a_b"};
    QStringList expected;
    for (const QString &name : names)
        expected << name + u'.' + format;
    QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name), expected);
    const auto read = [&](int note) {
        QFile file(out + u'/' + expected.at(note));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const QByteArray &text : formatted)
        QVERIFY2(read(0).contains(text), text.constData());
    for (const QByteArray &text : pictures)
        QVERIFY2(read(1).contains(text), text.constData());
    // Every picture and object of the note is in the file.
    if (format != u"txt"_qs)
        QCOMPARE(read(1).count("data:image/png;base64,"), 4);
    for (const char *text : {"中文", "한글", "ソフト"})
        QVERIFY2(read(2).contains(text), text);
    QVERIFY(read(3).contains("milk and Bread"));
}

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

// HTML that browsers read as written: no errors, no attribute given twice (browsers keep the
// first, and list items lost their margins), lists numbered from where the note's lists start.
void TestQelnote::exportedHtmlIsValidForTidy()
{
    if (QStandardPaths::findExecutable(u"tidy"_qs).isEmpty())
        QFAIL("tidy is missing; scripts/packages brings it");
    const QString data = m_folder.filePath(u"lists"_qs);
    QVERIFY(QDir().mkpath(data));
    const char *const notes[] = {"listlabels.rtf", "bullets.rtf", "formats.rtf", "paragraphs.rtf"};
    for (int number = 0; number < 4; ++number)
        QVERIFY(QFile::copy(fixture(notes[number]), data + u"/QelNotes_%1.rtf"_qs.arg(number)));
    const QString out = m_folder.filePath(u"export/tidy"_qs);
    QCOMPARE(qelnote({"export", data, "--to", "html", out}).status, 0);
    const QFileInfoList pages = QDir(out).entryInfoList({u"*.html"_qs}, QDir::Files);
    QCOMPARE(pages.size(), 4);
    for (const QFileInfo &page : pages) {
        QProcess tidy;
        tidy.start(u"tidy"_qs, {u"-q"_qs, u"-e"_qs, page.filePath()});
        QVERIFY(tidy.waitForFinished(30000));
        const QString report = QString::fromUtf8(tidy.readAllStandardError());
        QVERIFY2(!report.contains(u"Error"_qs) && !report.contains(u"repeated attribute"_qs),
                 qPrintable(page.fileName() + u": "_qs + report));
    }
    // Lists keep their first numbers: "3.", "iv)", "(b)".
    const QByteArray labels = contents(out + u"/0 Three.html"_qs);
    for (const char *start :
         {"<ol start=\"3\"", "<ol start=\"4\" type=\"i\"", "<ol start=\"2\" type=\"a\""})
        QVERIFY2(labels.contains(start), start);
}

void TestQelnote::exportLeavesAloneWhatItDidNotWrite()
{
    const QString data = dataFolder();
    const QDir out(m_folder.filePath(QStringLiteral("export/others")));
    QVERIFY(out.mkpath("."));
    const QString victim = file("victim.txt", "the user's own");
    QVERIFY(QFile::link(victim, out.filePath("0 plain bold italic under struck H2O x2.html")));
    QVERIFY(QFile::link(m_folder.filePath("nowhere"), out.filePath("1 png dib wm.html")));
    QFile own(out.filePath("3 Shopping list_ a_b.html"));
    QVERIFY(own.open(QIODevice::WriteOnly) && own.write("mine") == 4);
    own.close();

    const Run run = qelnote({"export", data, "--to", "html", out.path()});
    QCOMPARE(run.status, 1);
    QCOMPARE(contents(victim), QByteArray("the user's own"));
    QVERIFY(QFileInfo(out.filePath("1 png dib wm.html")).isSymLink());
    QCOMPARE(contents(m_folder.filePath("nowhere")), QByteArray("(missing)"));
    QCOMPARE(contents(own.fileName()), QByteArray("mine"));
    for (const char *name : {"0 plain bold italic under struck H2O x2 (2).html",
                             "1 png dib wm (2).html", "3 Shopping list_ a_b (2).html"}) {
        QVERIFY2(contents(out.filePath(name)).startsWith("<!DOCTYPE"), name);
        QVERIFY2(run.err.contains(out.filePath(name).toUtf8()), run.err.constData());
    }
    QVERIFY(contents(out.filePath("2 中文.html")).contains("한글"));

    // What an export wrote, a later one replaces; once changed by hand, it is the user's.
    QFile edited(out.filePath("2 中文.html"));
    QVERIFY(edited.open(QIODevice::Append) && edited.write("edited") == 6);
    edited.close();
    const Run again = qelnote({"export", data, "--to", "html", out.path()});
    QCOMPARE(again.status, 1);
    QVERIFY(!QFileInfo::exists(out.filePath("1 png dib wm (3).html")));
    QVERIFY(contents(edited.fileName()).endsWith("edited"));
    QVERIFY(contents(out.filePath("2 中文 (2).html")).contains("한글"));

    const QString fresh = m_folder.filePath(QStringLiteral("export/fresh"));
    QCOMPARE(qelnote({"export", data, "--to", "md", fresh}).status, 0);
    const Run twice = qelnote({"export", data, "--to", "md", fresh});
    QCOMPARE(twice.err, pictureWarning("md"));
    QCOMPARE(twice.status, 0);
}

void TestQelnote::exportReportsAFullDisk()
{
    const QString out = m_folder.filePath(QStringLiteral("export/full"));
    // Room for the small notes, not for the one with all the formatting.
    const Run run = qelnote({"export", dataFolder(), "--to", "html", out}, {}, 2048);
    QCOMPARE(run.status, 1);
    const QString big = QDir(out).filePath("0 plain bold italic under struck H2O x2.html");
    QVERIFY2(run.err.contains("cannot write " + big.toUtf8()), run.err.constData());
    QVERIFY(!QFileInfo::exists(big));
    QVERIFY(contents(QDir(out).filePath("3 Shopping list_ a_b.html")).contains("milk and Bread"));
}

void TestQelnote::exportKeepsNoActiveContent_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArrayList>("present");
    QTest::addColumn<QByteArrayList>("absent");
    QTest::newRow("html") << "html"
                          << QByteArrayList{"<title>&lt;/title&gt;&lt;h1&gt;X</title>",
                                            "&lt;script&gt;", "<a href=\"https://example.org/\">",
                                            "<a href=\"mailto:a@b.example\">", "bad worse"}
                          << QByteArrayList{"<script", "<h1", "href=\"javascript", "vbscript"};
    QTest::newRow("markdown") << "md"
                              << QByteArrayList{"\\</title\\>\\<h1\\>X",
                                                "\\<script\\>alert(1)\\</script\\>",
                                                "\\[x\\](javascript:alert(2))",
                                                "a\\\\\\<b\\>",
                                                "[good](https://example.org/)",
                                                "[mail](mailto:a@b.example)",
                                                "bad worse ["}
                              << QByteArrayList{"](javascript:alert(3))", "(vbscript", "[bad]"};
}

void TestQelnote::exportKeepsNoActiveContent()
{
    QFETCH(QString, format);
    QFETCH(QByteArrayList, present);
    QFETCH(QByteArrayList, absent);
    const QString data = m_folder.filePath(QStringLiteral("hostile"));
    QVERIFY(QDir().mkpath(data));
    QFile note(data + QStringLiteral("/QelNotes_0.rtf"));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.write("{\\rtf1\\ansi {\\fonttbl{\\f0 Arial;}}\\f0 </title><h1>X\\par\n"
               "<script>alert(1)</script> [x](javascript:alert(2)) a\\\\<b>\\par\n"
               "{\\field{\\*\\fldinst HYPERLINK \"javascript:alert(3)\"}{\\fldrslt bad}} "
               "{\\field{\\*\\fldinst HYPERLINK \"vbscript:x\"}{\\fldrslt worse}} "
               "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}{\\fldrslt good}} "
               "{\\field{\\*\\fldinst HYPERLINK \"mailto:a@b.example\"}{\\fldrslt mail}}\\par}");
    note.close();
    const QString out = m_folder.filePath(QStringLiteral("export/hostile-") + format);
    const Run run = qelnote({"export", data, "--to", format, out});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    const QByteArray written = contents(out + "/0 __title__h1_X." + format);
    for (const QByteArray &text : present)
        QVERIFY2(written.contains(text), text + "\n" + written);
    for (const QByteArray &text : absent)
        QVERIFY2(!written.contains(text), text + "\n" + written);
}

namespace {

enum Emphasis { Bold = 1, Italic = 2, Struck = 4 };

// Text as a reader shows it: lines of characters, each with a digit for its emphasis.
class Shown
{
public:
    void add(QChar c, int emphasis)
    {
        m_lines.back().first += c;
        m_lines.back().second += QChar(u'0' + (c.isSpace() ? 0 : emphasis));
    }
    void newLine() { m_lines.emplaceBack(); }
    // Appends other's lines with label before the first: a list item's number or bullet.
    // Runs of blanks become one blank, lines are trimmed and blank ones dropped: Markdown keeps
    // none of these, as HTML does not.
    void append(const Shown &other, const QString &label = {})
    {
        QList<std::pair<QString, QString>> lines;
        for (const auto &[text, emphasis] : other.m_lines) {
            std::pair<QString, QString> line;
            for (qsizetype i = 0; i < text.size(); ++i) {
                const bool blank = text[i] == u' ' || text[i] == u'\t';
                if (blank && (line.first.isEmpty() || line.first.back() == u' '))
                    continue;
                line.first += blank ? QChar(u' ') : text[i];
                line.second += emphasis[i];
            }
            if (line.first.endsWith(u' ')) {
                line.first.chop(1);
                line.second.chop(1);
            }
            if (!line.first.trimmed().isEmpty())
                lines.append(line);
        }
        if (!label.isEmpty()) {
            if (lines.isEmpty())
                lines.emplaceBack();
            lines.front().first.prepend(label + u' ');
            lines.front().second.prepend(QString(label.size() + 1, u'0'));
            if (lines.front().first.endsWith(u' ')) {
                lines.front().first.chop(1);
                lines.front().second.chop(1);
            }
        }
        m_lines.removeIf([](const auto &line) { return line.first.isEmpty(); });
        m_lines += lines;
        m_lines.emplaceBack();
    }
    QString text() const { return joined(&std::pair<QString, QString>::first); }
    QString emphasis() const { return joined(&std::pair<QString, QString>::second); }

private:
    QString joined(QString std::pair<QString, QString>::*part) const
    {
        QStringList parts;
        for (const auto &line : m_lines) {
            if (!line.first.isEmpty())
                parts << line.*part;
        }
        return parts.join(u'\n');
    }
    QList<std::pair<QString, QString>> m_lines{{}};
};

int emphasisOf(const QTextCharFormat &format)
{
    return (format.fontWeight() > QFont::Medium ? Bold : 0) | (format.fontItalic() ? Italic : 0)
           | (format.fontStrikeOut() ? Struck : 0);
}

// What the note shows; with labels, list items start with their number or "•".
Shown shownNote(const QString &path, bool labels)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    RtfReader::read(contents(path), cursor);
    Shown shown;
    // A table row is one paragraph: a tab before each cell but its first, a cell's paragraphs
    // lines of it.
    Shown row;
    const QTextTable *rowTable = nullptr;
    int rowNumber = -1;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextTable *table = QTextCursor(block).currentTable();
        const QTextTableCell cell = table ? table->cellAt(block.position()) : QTextTableCell();
        if (rowTable && (table != rowTable || cell.row() != rowNumber)) {
            shown.append(row);
            row = Shown();
            rowTable = nullptr;
        }
        if (table) {
            if (rowTable)
                cell.firstPosition() == block.position() ? row.add(u'\t', 0) : row.newLine();
            rowTable = table;
            rowNumber = cell.row();
        }
        Shown paragraph;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.objectType() == TextFormat::HiddenTextType)
                continue;
            for (QChar c : it.fragment().text()) {
                if (c == QChar::LineSeparator)
                    (table ? row : paragraph).newLine();
                else
                    (table ? row : paragraph).add(c, emphasisOf(format));
            }
        }
        if (table)
            continue;
        QString label;
        if (const QTextList *list = labels ? block.textList() : nullptr) {
            const QTextListFormat format = list->format();
            const bool numbered = format.style() != QTextListFormat::ListDisc
                                  && format.style() != QTextListFormat::ListCircle
                                  && format.style() != QTextListFormat::ListSquare;
            const int start = format.hasProperty(TextFormat::ListStart)
                                  ? format.intProperty(TextFormat::ListStart)
                                  : 1;
            label = numbered ? QString::number(start + list->itemNumber(block)) : u"•"_qs;
        }
        shown.append(paragraph, label);
    }
    if (rowTable)
        shown.append(row);
    return shown;
}

// What a reader shows of pandoc's reading of a Markdown file.
class PandocReading
{
public:
    explicit PandocReading(const QJsonArray &blocks) { addBlocks(blocks, {}); }
    const Shown &shown() const { return m_shown; }

private:
    void addBlocks(const QJsonArray &blocks, QString label)
    {
        for (const QJsonValue &block : blocks) {
            const QString type = block[u"t"].toString();
            const QJsonValue content = block[u"c"];
            if (type == u"Para" || type == u"Plain") {
                Shown paragraph;
                addInlines(content.toArray(), 0, paragraph);
                m_shown.append(paragraph, label);
            } else if (type == u"BulletList" || type == u"OrderedList") {
                const bool numbered = type == u"OrderedList";
                const QJsonArray items = numbered ? content[1].toArray() : content.toArray();
                for (qsizetype item = 0; item < items.size(); ++item) {
                    const QString itemLabel
                        = numbered ? QString::number(content[0][0].toInt() + item) : u"•"_qs;
                    if (items[item].toArray().isEmpty())
                        m_shown.append({}, itemLabel);
                    addBlocks(items[item].toArray(), itemLabel);
                }
            } else if (type != u"RawBlock" || content[1].toString().trimmed() != u"<!-- -->") {
                // Anything else was not written as it should have been: show it.
                Shown unexpected;
                for (QChar c : u"[%1 %2]"_qs.arg(type, QJsonDocument(block.toObject()).toJson()))
                    unexpected.add(c, 0);
                m_shown.append(unexpected);
            }
            label.clear();
        }
    }

    static void addInlines(const QJsonArray &inlines, int emphasis, Shown &shown)
    {
        static const QStringList tags{u"<strong>"_qs, u"<em>"_qs, u"<del>"_qs};
        for (const QJsonValue &item : inlines) {
            const QString type = item[u"t"].toString();
            const QJsonValue content = item[u"c"];
            if (type == u"Str") {
                for (QChar c : content.toString())
                    shown.add(c, emphasis);
            } else if (type == u"Space" || type == u"SoftBreak") {
                shown.add(u' ', 0);
            } else if (type == u"LineBreak") {
                shown.newLine();
            } else if (type == u"Strong" || type == u"Emph" || type == u"Strikeout") {
                const int kind = type == u"Strong" ? Bold : type == u"Emph" ? Italic : Struck;
                addInlines(content.toArray(), emphasis | kind, shown);
            } else if (type == u"Link") {
                addInlines(content[1].toArray(), emphasis, shown);
            } else if (type == u"Image") {
                shown.add(QChar::ObjectReplacementCharacter, emphasis);
            } else if (type == u"RawInline" && tags.contains(content[1].toString())) {
                emphasis |= 1 << tags.indexOf(content[1].toString());
            } else if (type == u"RawInline" && tags.contains(content[1].toString().remove(u'/'))) {
                emphasis &= ~(1 << tags.indexOf(content[1].toString().remove(u'/')));
            } else {
                for (QChar c : u"[%1 %2]"_qs.arg(type, QJsonDocument(item.toObject()).toJson()))
                    shown.add(c, 0);
            }
        }
    }

    Shown m_shown;
};

// The first line where what was read back differs from the note, with the Markdown written.
QString firstDifference(const QString &read, const QString &shown, const QString &note,
                        const QString &written)
{
    const QStringList readLines = read.split(u'\n');
    const QStringList shownLines = shown.split(u'\n');
    qsizetype line = 0;
    while (line < readLines.size() && line < shownLines.size()
           && readLines[line] == shownLines[line])
        ++line;
    return u"%1 line %2\nread back: %3\nnote:      %4\n%5"_qs.arg(
        note, QString::number(line + 1), readLines.value(line), shownLines.value(line), written);
}

// RTF of text: Markdown's own characters, blanks and non-Latin letters included.
QByteArray rtfText(const QString &text)
{
    QByteArray rtf;
    for (QChar c : text) {
        if (c == u'\\' || c == u'{' || c == u'}')
            rtf += '\\' + QByteArray(1, char(c.unicode()));
        else if (c == u'\t')
            rtf += "\\tab ";
        else if (c.unicode() < 128)
            rtf += char(c.unicode());
        else
            rtf += "\\u" + QByteArray::number(qint16(c.unicode())) + '?';
    }
    return rtf;
}

// A note of random paragraphs and list items: pieces of text that Markdown would read as markup
// of its own, blanks, and non-Latin text, under random emphasis and links, with line breaks.
QByteArray randomNote(quint32 seed)
{
    static const QStringList pieces{
        u"word"_qs, u"Wort"_qs, u"x2"_qs,     u"2024."_qs,     u"1)"_qs,      u"#"_qs,    u"-"_qs,
        u"+"_qs,    u"="_qs,    u"*"_qs,      u"**"_qs,        u"_"_qs,       u"~"_qs,    u"`"_qs,
        u"["_qs,    u"]"_qs,    u"("_qs,      u")"_qs,         u"!"_qs,       u"\""_qs,   u"."_qs,
        u","_qs,    u"<b>"_qs,  u"&amp;"_qs,  u"\\"_qs,        u"é"_qs,       u"中文"_qs, u" "_qs,
        u"  "_qs,   u"\t"_qs,   u"\u00a0"_qs, u"C:\\*.txt"_qs, u"<page/>"_qs, u"***"_qs,  u"---"_qs,
        u">"_qs,    u"    "_qs, u"H"_qs,      u"O"_qs};
    QRandomGenerator random(seed);
    // List 1 has three levels: numbers, "-" bullets, numbers from 3 with ")".
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n"
                     "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
                     "{\\listlevel\\levelnfc23{\\leveltext\\'01-;}}"
                     "{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'02);}}\\listid1}}\n"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\f0\n";
    for (int paragraph = int(random.bounded(1, 9)); paragraph > 0; --paragraph) {
        switch (random.bounded(7)) {
        case 0:
            rtf += "\\pard{\\pntext -\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb "
                   "-}}\\fi-360\\li720 ";
            break;
        case 1:
            rtf += "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart"
                   + QByteArray::number(random.bounded(0, 12))
                   + "\\pndec{\\pntxta .}}\\fi-360\\li720 ";
            break;
        case 2:
        case 3:
            rtf += "\\pard\\ls1\\ilvl" + QByteArray::number(random.bounded(3)) + ' ';
            break;
        default:
            rtf += "\\pard ";
            break;
        }
        for (int run = int(random.bounded(0, 8)); run > 0; --run) {
            QString text;
            for (int piece = int(random.bounded(1, 4)); piece > 0; --piece)
                text += pieces.at(random.bounded(pieces.size()));
            const quint32 emphasis = random.bounded(8);
            QByteArray group = QByteArray(emphasis & Bold ? "\\b" : "")
                               + (emphasis & Italic ? "\\i" : "")
                               + (emphasis & Struck ? "\\strike" : "") + ' ' + rtfText(text);
            if (random.bounded(6) == 0)
                group = "\\field{\\*\\fldinst HYPERLINK \"https://example.org/a b(c)\"}{\\fldrslt "
                        + group + '}';
            rtf += '{' + group + '}';
            if (random.bounded(8) == 0)
                rtf += "\\line ";
        }
        rtf += "\\par\n";
    }
    return rtf + '}';
}

} // namespace

// Markdown read back by an independent reader shows every note's text, its bold, italic and
// struck text, and its lists' numbers.
void TestQelnote::exportedMarkdownReadsBackWithTheNotesText()
{
    if (QStandardPaths::findExecutable(u"pandoc"_qs).isEmpty())
        QSKIP("pandoc is not installed");
    const QString data = m_folder.filePath(u"markdown"_qs);
    QVERIFY(QDir().mkpath(data));
    QStringList notes;
    for (const char *name :
         {"formats.rtf", "pictures.rtf", "eastasian.rtf", "listlabels.rtf", "listlevels.rtf",
          "bullets.rtf", "paragraphs.rtf", "codepages.rtf", "hidden.rtf", "fieldresult.rtf",
          "stylesheet.rtf", "updown.rtf", "table.rtf", "listnotable.rtf", "tables.rtf"}) {
        notes << data + u"/QelNotes_%1.rtf"_qs.arg(notes.size());
        QVERIFY(QFile::copy(fixture(name), notes.back()));
    }
    for (quint32 seed = 1; seed <= 40; ++seed) {
        notes << data + u"/QelNotes_%1.rtf"_qs.arg(notes.size());
        QFile note(notes.back());
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write(randomNote(seed));
    }
    const QString out = m_folder.filePath(u"export/pandoc"_qs);
    QCOMPARE(qelnote({"export", data, "--to", "md", out}).status, 0);
    const QFileInfoList files = QDir(out).entryInfoList({u"*.md"_qs}, QDir::Files);
    QCOMPARE(files.size(), notes.size());
    for (const QFileInfo &file : files) {
        const QString &note = notes.at(file.completeBaseName().section(u' ', 0, 0).toInt());
        QProcess pandoc;
        pandoc.start(u"pandoc"_qs,
                     {u"-f"_qs, u"commonmark+strikeout"_qs, u"-t"_qs, u"json"_qs, file.filePath()});
        QVERIFY(pandoc.waitForFinished(60000));
        const PandocReading read(
            QJsonDocument::fromJson(pandoc.readAllStandardOutput())[u"blocks"].toArray());
        const Shown shown = shownNote(note, true);
        // The test's own reading of the note is what the text command prints.
        Shown lines;
        for (QChar c : QString::fromUtf8(qelnote({"text", note}).out))
            c == u'\n' ? lines.newLine() : lines.add(c, 0);
        Shown printed;
        printed.append(lines);
        QCOMPARE(shownNote(note, false).text(), printed.text());
        const QString written = QString::fromUtf8(contents(file.filePath()));
        QVERIFY2(read.shown().text() == shown.text(),
                 qPrintable(firstDifference(read.shown().text(), shown.text(), note, written)));
        QVERIFY2(read.shown().emphasis() == shown.emphasis(),
                 qPrintable(firstDifference(read.shown().text() + read.shown().emphasis(),
                                            shown.text() + shown.emphasis(), note, written)));
    }
}

QTEST_APPLESS_MAIN(TestQelnote)
#include "tst_qelnote.moc"
