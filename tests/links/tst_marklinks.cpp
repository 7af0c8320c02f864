#include "links/droppedfiles.h"
#include "links/marklinks.h"
#include "richtext/richdocument.h"

#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace {

bool isMark(const QTextCharFormat &format)
{
    return format.foreground().color() == QColor(0, 0, 255) && format.fontUnderline()
           && format.fontWeight() <= QFont::Medium && !format.fontItalic()
           && !format.fontStrikeOut();
}

// The document's text with its marked runs in brackets. A paragraph break is
// "\n" and belongs to the run in front of it: the editor formats no breaks.
QString marked(const RichDocument &document)
{
    QString result;
    bool inMark = false;
    const QTextDocument &text = *document.textDocument();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const bool mark = isMark(it.fragment().charFormat());
            if (mark != inMark)
                result += mark ? u'[' : u']';
            inMark = mark;
            result += it.fragment().text();
        }
        if (block.next().isValid())
            result += u'\n';
    }
    if (inMark)
        result += u']';
    return result;
}

} // namespace

class tst_MarkLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void marking_data();
    void marking();
    void markingReplacesStylesAndKeepsTheSelection();
    void markedTextIsLeftAlone();
    void linkAt_data();
    void linkAt();
    void tokenAtSelection_data();
    void tokenAtSelection();
    void droppedFiles_data();
    void droppedFiles();
    void fileLinesAreMarkedAndTypingGoesOnAsBefore();

private:
    QString inFolder(QString text) const { return text.replace(u"%dir%"_qs, m_folder.path()); }

    QTemporaryDir m_folder;
};

void tst_MarkLinks::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(QDir(m_folder.path()).mkdir(u"My Folder"_qs));
}

void tst_MarkLinks::marking_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("www address alone on its line")
        << u"www.example.org\r\nmore"_qs << u"[www.example.org\n]more"_qs;
    QTest::newRow("www address after a word")
        << u"see www.example.org now"_qs << u"see [www.example.org] now"_qs;
    QTest::newRow("address ending the note")
        << u"see www.example.org"_qs << u"see [www.example.org]"_qs;
    QTest::newRow("the sentence's punctuation stays out")
        << u"(see www.example.org/a), or https://b.org/x_(y). Mail bob@example.com."_qs
        << u"(see [www.example.org/a]), or [https://b.org/x_(y)]. Mail [bob@example.com]."_qs;
    QTest::newRow("http then https: both")
        << u"http://a.org https://b.org "_qs << u"[http://a.org] [https://b.org] "_qs;
    QTest::newRow("www then http: both")
        << u"www.a.org http://b.org "_qs << u"[www.a.org] [http://b.org] "_qs;
    QTest::newRow("prefix alone or inside a word")
        << u"www. and http:// and xwww.a.org"_qs << u"www. and http:// and xwww.a.org"_qs;
    QTest::newRow("an @ in a web address")
        << u"https://a.org/@bob/x.y ok"_qs << u"[https://a.org/@bob/x.y] ok"_qs;
    QTest::newRow("upper case") << u"go HTTP://A.ORG now"_qs << u"go [HTTP://A.ORG] now"_qs;
    QTest::newRow("on later lines")
        << u"one\r\ntwo\r\nsee www.a.org\r\n"_qs << u"one\ntwo\nsee [www.a.org\n]"_qs;

    QTest::newRow("mail addresses")
        << u"to a@b.c or x.y@z.w now"_qs << u"to [a@b.c] or [x.y@z.w] now"_qs;
    QTest::newRow("@. alone, no name or no domain") << u"see @. or @bob. or bob@x or bob@.x now"_qs
                                                    << u"see @. or @bob. or bob@x or bob@.x now"_qs;
    QTest::newRow("dot only before @") << u"see a.b@c now"_qs << u"see a.b@c now"_qs;
    QTest::newRow("mail addresses after one at the first character")
        << u"a@b.c and x@y.z"_qs << u"[a@b.c] and [x@y.z]"_qs;
    QTest::newRow("mail address in quotes and brackets")
        << u"<a@b.c>, ('x@y.z')"_qs << u"<[a@b.c]>, ('[x@y.z]')"_qs;
    QTest::newRow("mail address on a later line")
        << u"one\r\ntwo a@b.c\r\n"_qs << u"one\ntwo [a@b.c\n]"_qs;

    QTest::newRow("quoted existing folder, through the line's break")
        << u"files:\r\n\"%dir%/My Folder\"\r\nnext"_qs << u"files:\n[\"%dir%/My Folder\"\n]next"_qs;
    QTest::newRow("quoted path of nothing")
        << u"\"%dir%/nothing\"\r\nnext"_qs << u"\"%dir%/nothing\"\nnext"_qs;
    QTest::newRow("quoted path in other letter case")
        << u"\"%dir%/my folder\"\r\nnext"_qs << u"\"%dir%/my folder\"\nnext"_qs;
    QTest::newRow("two quoted paths on a line") << u"\"%dir%\" and \"%dir%/My Folder\" ok"_qs
                                                << u"[\"%dir%\" ]and [\"%dir%/My Folder\" ]ok"_qs;
}

void tst_MarkLinks::marking()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RichDocument document;
    document.setText(inFolder(text));
    MarkLinks(document);
    QCOMPARE(marked(document), inFolder(expected));
}

void tst_MarkLinks::markingReplacesStylesAndKeepsTheSelection()
{
    RichDocument document;
    document.setText(u"see www.example.org now"_qs);
    document.setSelStart(4);
    document.setSelLength(6);
    document.SelAttributes().setStyle(TFontStyle::fsBold | TFontStyle::fsItalic
                                      | TFontStyle::fsStrikeOut);
    document.setSelStart(1);
    document.setSelLength(2);

    MarkLinks(document);

    QCOMPARE(document.SelStart(), 1);
    QCOMPARE(document.SelLength(), 2);
    document.setSelStart(4);
    document.setSelLength(15);
    QCOMPARE(document.SelAttributes().Style(), TFontStyle::fsUnderline);
    QCOMPARE(document.SelAttributes().Color(), QColor(0, 0, 255));
}

void tst_MarkLinks::markedTextIsLeftAlone()
{
    RichDocument document;
    document.setText(u"see www.example.org and a@b.c now"_qs);
    MarkLinks(document);
    QVERIFY(document.textDocument()->isUndoAvailable());
    document.textDocument()->clearUndoRedoStacks();
    document.setModified(false);

    MarkLinks(document);

    QVERIFY(!document.textDocument()->isUndoAvailable());
    QVERIFY(!document.Modified());
}

void tst_MarkLinks::linkAt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("link");
    const QString sentence = u"write to bob@example.com, or see www.a.org."_qs;
    QTest::newRow("mail address in a sentence") << sentence << 12 << u"bob@example.com"_qs;
    QTest::newRow("web address in a sentence") << sentence << 33 << u"www.a.org"_qs;
    QTest::newRow("a word beside them") << sentence << 2 << QString();
    QTest::newRow("the punctuation after them") << sentence << 42 << QString();
    QTest::newRow("quoted folder on a later line")
        << u"x\r\n\"%dir%/My Folder\"\r\n"_qs << 6 << u"%dir%/My Folder"_qs;
    QTest::newRow("quoted path of nothing") << u"\"%dir%/nothing\""_qs << 3 << QString();
    QTest::newRow("unquoted folder") << u"%dir%"_qs << 3 << QString();
}

void tst_MarkLinks::linkAt()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    RichDocument document;
    document.setText(inFolder(text));
    QFETCH(QString, link);
    QCOMPARE(::linkAt(document, position), inFolder(link));
}

void tst_MarkLinks::tokenAtSelection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<QString>("token");
    QTest::newRow("the whole line, blanks included")
        << u"see www.a.org now"_qs << 4 << u"see www.a.org now"_qs;
    QTest::newRow("first word of a later line") << u"ab\r\ncd ef"_qs << 3 << u"cd ef"_qs;
    QTest::newRow("quoted path") << u"x\r\n\"/a b\"\r\n"_qs << 4 << u"/a b"_qs;
    // Many short lines: every break in front counts, so the token is the one
    // clicked, not one a few lines up.
    QTest::newRow("hundredth quoted line")
        << QString(u"\"/p\"\r\n"_qs).repeated(99) + u"\"/last\"\r\n"_qs << 99 * 5 + 2
        << u"/last"_qs;
    QTest::newRow("caret at the end") << u"ab"_qs << 2 << QString();
}

void tst_MarkLinks::tokenAtSelection()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    RichDocument document;
    document.setText(text);
    document.setSelStart(selStart);
    QTEST(::tokenAtSelection(document), "token");
}

void tst_MarkLinks::droppedFiles_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("URI list") << u"text/uri-list"_qs
                              << QByteArray("file:///a/b%20c.txt\r\nfile:///d\r\n")
                              << QStringList{u"/a/b c.txt"_qs, u"/d"_qs};
    QTest::newRow("KDE URI list") << u"application/x-kde4-urilist"_qs
                                  << QByteArray("# comment\r\nfile:///a\r\n")
                                  << QStringList{u"/a"_qs};
    QTest::newRow("GNOME copied files")
        << u"x-special/gnome-copied-files"_qs << QByteArray("copy\nfile:///a\nfile:///b%C3%A4")
        << QStringList{u"/a"_qs, u"/b\u00e4"_qs};
    QTest::newRow("a web address among them")
        << u"text/uri-list"_qs << QByteArray("file:///a\r\nhttps://example.org/\r\n")
        << QStringList();
    QTest::newRow("plain text") << u"text/plain"_qs << QByteArray("file:///a") << QStringList();
}

void tst_MarkLinks::droppedFiles()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, data);
    QMimeData mime;
    mime.setData(format, data);
    QTEST(::droppedFiles(mime), "files");
}

void tst_MarkLinks::fileLinesAreMarkedAndTypingGoesOnAsBefore()
{
    RichDocument document;
    document.setText(u"Files: "_qs);
    document.setSelStart(7);
    document.SelAttributes().setColor(Qt::red);
    document.SelAttributes().setStyle(TFontStyle::fsBold);

    insertFileLines(document, {u"/a/one.txt"_qs, u"/b/two words"_qs});
    document.setSelText(u"typed"_qs);

    QCOMPARE(marked(document), u"Files: [\"/a/one.txt\"\n\"/b/two words\"\n]typed"_qs);
    document.setSelStart(document.SelStart() - 2);
    document.setSelLength(1);
    QCOMPARE(document.SelAttributes().Color(), QColor(Qt::red));
    QCOMPARE(document.SelAttributes().Style(), TFontStyle::fsBold);
}

QTEST_MAIN(tst_MarkLinks)
#include "tst_marklinks.moc"
