#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "richtext/listlabel.h"
#include "richtext/rtfreader.h"
#include "richtext/textformat.h"
#include "../faultwarnings.h"

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("data/") + QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QStringList blockTexts(const QTextDocument &document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts;
}

// The character format of the first character of text in document.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    const QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QTextBlock blockOf(const QTextDocument &document, const QString &text)
{
    return document.find(text).block();
}

// What a word processor shows of the first character of text and its paragraph.
QString shownFormat(const QTextDocument &document, const QString &text)
{
    const QTextCharFormat f = formatOf(document, text);
    const QTextBlock block = blockOf(document, text);
    QStringList parts;
    if (const QStringList families = f.fontFamilies().toStringList(); !families.isEmpty())
        parts << families.first();
    if (f.hasProperty(QTextFormat::FontPointSize))
        parts << QString::number(f.fontPointSize()) + u"pt"_qs;
    if (f.fontWeight() >= QFont::DemiBold)
        parts << u"bold"_qs;
    if (f.fontItalic())
        parts << u"italic"_qs;
    if (f.fontCapitalization() == QFont::AllUppercase)
        parts << u"caps"_qs;
    if (f.fontCapitalization() == QFont::SmallCaps)
        parts << u"smallcaps"_qs;
    if (f.textOutline().style() != Qt::NoPen)
        parts << u"outline"_qs;
    if (f.hasProperty(QTextFormat::TextBaselineOffset)) // in half-points, as RTF gives it
        parts << u"offset%1"_qs.arg(qRound(f.baselineOffset() * f.fontPointSize() / 50));
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        parts << f.foreground().color().name();
    if (block.blockFormat().alignment() & Qt::AlignHCenter)
        parts << u"centred"_qs;
    if (block.textList())
        parts << u"list%1"_qs.arg(block.textList()->format().style());
    return parts.join(u' ');
}

// True when data was read whole; *error tells what was damaged.
bool readInto(QTextDocument &document, const QByteArray &data, QString *error = nullptr)
{
    QTextCursor cursor(&document);
    const RtfReader::Result result = RtfReader::read(data, cursor);
    if (error)
        *error = result.message;
    return result && !result.damaged();
}

// A document long enough to be parsed on a second thread: paragraphs of several formats, a list
// and pictures across the points where parsed paragraphs are handed over, hidden text, links and
// a table row, then the given end. The tables (fonts, colours) go where the caller puts them.
QByteArray longDocument(const QByteArray &tables, const QByteArray &end, const QByteArray &par)
{
    const QByteArray picture = "{\\pict\\pngblip\\picw4\\pich4 "
                               + pngOf(QImage(4, 4, QImage::Format_RGB32)).toHex() + "}";
    QByteArray rtf = "{\\rtf1\\ansi\\deff0" + tables + "\\pard ";
    for (int i = 0; rtf.size() < RtfReader::StreamingSize + 40000; ++i) {
        if (i >= 900 && i < 1300) {
            rtf += "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-200\\li200 "
                   "{\\pntext\\'B7\\tab}item "
                   + QByteArray::number(i) + par + "\\pard ";
            continue;
        }
        rtf += "plain {\\b bold} {\\cf1\\f1 red courier} {\\v hidden} caf\\'e9 ";
        if (i % 7 == 0)
            rtf += "{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/\"}}"
                   "{\\fldrslt link}}";
        if (i % 499 == 0)
            rtf += picture;
        if (i % 333 == 0)
            rtf += "\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row ";
        if (i % 5 == 0)
            rtf += "\\qc centred";
        rtf += par;
        if (i % 5 == 0)
            rtf += "\\pard ";
    }
    return rtf + end;
}

// Compares the documents block by block and fragment by fragment.
void compareDocuments(const QTextDocument &actual, const QTextDocument &expected)
{
    QCOMPARE(actual.blockCount(), expected.blockCount());
    for (QTextBlock a = actual.begin(), e = expected.begin(); a.isValid();
         a = a.next(), e = e.next()) {
        QCOMPARE(a.text(), e.text());
        // Lists and tables are compared below: their indices among the document's objects may
        // differ.
        QTextBlockFormat ab = a.blockFormat();
        QTextBlockFormat eb = e.blockFormat();
        ab.clearProperty(QTextFormat::ObjectIndex);
        eb.clearProperty(QTextFormat::ObjectIndex);
        QVERIFY(ab == eb);
        // A table cell's mark names its table by index too.
        QTextCharFormat ac = a.charFormat();
        QTextCharFormat ec = e.charFormat();
        ac.clearProperty(QTextFormat::ObjectIndex);
        ec.clearProperty(QTextFormat::ObjectIndex);
        QVERIFY(ac == ec);
        QCOMPARE(bool(a.textList()), bool(e.textList()));
        if (a.textList()) {
            QCOMPARE(a.textList()->itemNumber(a), e.textList()->itemNumber(e));
            QCOMPARE(a.textList()->count(), e.textList()->count());
        }
        QTextBlock::iterator f = e.begin();
        for (QTextBlock::iterator it = a.begin(); !it.atEnd(); ++it, ++f) {
            QVERIFY(!f.atEnd());
            QCOMPARE(it.fragment().text(), f.fragment().text());
            QTextCharFormat af = it.fragment().charFormat();
            QTextCharFormat ef = f.fragment().charFormat();
            // Picture resources are named in the order they are read.
            af.clearProperty(QTextFormat::ImageName);
            ef.clearProperty(QTextFormat::ImageName);
            QVERIFY2(af == ef, qPrintable(it.fragment().text()));
        }
        QVERIFY(f.atEnd());
    }
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { failOnFaultWarnings(); }

    void codePagesByAnsiCodePageAndCharset();
    void fontsAndTextAsWordProcessorsShowThem_data();
    void fontsAndTextAsWordProcessorsShowThem();
    void otherProgramsDocumentsReadAsTheyShowThem_data();
    void otherProgramsDocumentsReadAsTheyShowThem();
    void otherProgramsFormatsReadAsTheyShowThem_data();
    void otherProgramsFormatsReadAsTheyShowThem();
    void picturesKeepTheirFileAndScale();
    void damagedPictureIsKeptAndReported();
    void unicodeWithFallbackSkipping_data();
    void unicodeWithFallbackSkipping();
    void specialCharacters_data();
    void specialCharacters();
    void tablesReadAsTables();
    void characterAttributes_data();
    void characterAttributes();
    void hyperlinkFieldsGiveLinkEffect_data();
    void hyperlinkFieldsGiveLinkEffect();
    void bulletsAndParagraphAttributes();
    void listTableListsKeepTheirStyle();
    void longListsKeepEveryItem();
    void bulletsAsTheirFontShowsThem_data();
    void bulletsAsTheirFontShowsThem();
    void picturesAndObjects();
    void pictureKinds_data();
    void pictureKinds();
    void hugePicturesAreKeptUndecoded();
    void rawPictureStartsAtItsWord();
    void ignorableAndUnknownContentIsSkipped();
    void replacesSelectionAsOneUndoStep();
    void insertionInsideParagraphKeepsItsFormat();
    void paragraphMarkKeepsItsOwnFormat();
    void hiddenTextOutlivesTheReader();
    void plainTextEncodings_data();
    void plainTextEncodings();
    void damagedDataIsReadAsFarAsItGoes_data();
    void damagedDataIsReadAsFarAsItGoes();
    void deepNestingIsReadWithoutLimit_data();
    void deepNestingIsReadWithoutLimit();
    void mutatedAndTruncatedInputNeverCrashes();
    void longDocumentsReadAsOnOneThread_data();
    void longDocumentsReadAsOnOneThread();
};

void TestRtfReader::codePagesByAnsiCodePageAndCharset()
{
    QTextDocument document;
    QString error;
    QVERIFY2(readInto(document, fixture("codepages.rtf"), &error), qPrintable(error));
    const QStringList expected = {
        QStringLiteral("Příliš žluťoučký kůň"),
        QStringLiteral("Привет"),
        QStringLiteral("αβγ"),
        QStringLiteral("Grüße €"),
        QStringLiteral("日本語"),
        QStringLiteral("default č"), // a font without \fcharset follows \ansicpg
        // \u with both signs of its parameter, a surrogate pair
        QStringLiteral("€") + QChar(0xF0B7) + QStringLiteral("😊"),
    };
    QCOMPARE(blockTexts(document), expected);
}

void TestRtfReader::fontsAndTextAsWordProcessorsShowThem_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("paragraphs");
    // "text=face": the face the first character of text is shown in.
    QTest::addColumn<QStringList>("faces");
    QTest::newRow("UTF-8 font") << QByteArray(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0\\cpg65001 Arial;}}\\f0 "
        "caf\\'c3\\'a9 \\'e2\\'82\\'ac}")
                                << QStringList{u"café €"_qs} << QStringList{u"caf=Arial"_qs};
    QTest::newRow("UTF-8 document")
        << QByteArray("{\\rtf1\\ansi\\ansicpg65001 \\'d0\\'9f\\'d1\\'80\\'d0\\'b8}")
        << QStringList{u"При"_qs} << QStringList();
    QTest::newRow("panose group without its backslash")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0{*\\panose 020b0604020202020204}"
                      "Arial;}}\\f0 x}")
        << QStringList{u"x"_qs} << QStringList{u"x=Arial"_qs};
    QTest::newRow("associated font of low-ANSI text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0 a{\\loch\\af1 b}"
                      "{\\hich\\af1 c}{\\dbch\\af1 d}{\\rtlch\\af1 e}}")
        << QStringList{u"abcde"_qs}
        << QStringList{u"a=Arial"_qs, u"b=Courier New"_qs, u"c=Arial"_qs, u"d=Arial"_qs,
                       u"e=Arial"_qs};
    QTest::newRow("nested table rows in their properties")
        << QByteArray("{\\rtf1 a\\par{\\*\\nesttableprops\\pard\\intbl\\itap2 inner\\nestcell"
                      "\\nestrow}{\\nonesttables inner again\\par}b}")
        << QStringList{u"a"_qs, u"inner"_qs, u"b"_qs} << QStringList();
}

void TestRtfReader::fontsAndTextAsWordProcessorsShowThem()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, faces);
    QTextDocument document;
    QVERIFY(readInto(document, rtf));
    QCOMPARE(blockTexts(document), paragraphs);
    for (const QString &face : faces) {
        const QString text = face.section(u'=', 0, 0);
        QCOMPARE(formatOf(document, text).fontFamilies().toStringList(),
                 QStringList{face.section(u'=', 1)});
    }
}

void TestRtfReader::otherProgramsDocumentsReadAsTheyShowThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::newRow("field result in a starred group")
        << u"fieldresult.rtf"_qs << QStringList{u"A link text B"_qs};
    QTest::newRow("Word's destinations without a star")
        << u"worddestinations.rtf"_qs << QStringList{u"Only this text"_qs};
    QTest::newRow("Unicode alternative of upr")
        << u"upr.rtf"_qs << QStringList{u"Before [Γ] after"_qs};
    QTest::newRow("Mac code pages by ansicpg and fcharset")
        << u"macjapanese.rtf"_qs << QStringList{u"はじめに"_qs, u"Grüße “”"_qs, u"Привет"_qs};
    QTest::newRow("East Asian code pages by fcharset and cpg")
        << u"eastasian.rtf"_qs
        << QStringList{u"中文"_qs, u"中文"_qs, u"한글"_qs, u"ソフト"_qs, u"中 A"_qs};
    QTest::newRow("font names in their code page")
        << u"fontnames.rtf"_qs << QStringList{u"你好, Arial"_qs};
    QTest::newRow("hidden text") << u"hidden.rtf"_qs
                                 << QStringList{u"shown "_qs
                                                + QChar(QChar::ObjectReplacementCharacter)
                                                + u" shown"_qs};
    QTest::newRow("raised, lowered, capitals and outline")
        << u"updown.rtf"_qs
        << QStringList{u"H2O and x234"_qs, u"all caps Small Caps outlined both"_qs};
    QTest::newRow("stylesheet") << u"stylesheet.rtf"_qs
                                << QStringList{u"Styled"_qs, u"Based on the heading"_qs,
                                               u"Body with code and bold"_qs, u"Unstyled 12 pt"_qs};
    QTest::newRow("list table levels")
        << u"listlevels.rtf"_qs
        << QStringList{u"Not numbered"_qs, u"Bullet"_qs, u"Lettered"_qs,
                       u"Continued without a letter"_qs, u"Lettered again"_qs};
    QTest::newRow("lists without a list table")
        << u"listnotable.rtf"_qs << QStringList{u"First"_qs, u"Second"_qs, u"Dot"_qs, u"Roman"_qs};
    // A row is one paragraph: its cells separated by tabs, a cell's paragraphs by line breaks.
    QTest::newRow("table") << u"table.rtf"_qs
                           << QStringList{u"Before"_qs, u"Name"_qs, u"Value"_qs, u"Two"_qs,
                                          u"lines"_qs,  u"42"_qs,   u"After"_qs};
    const QString mark(QChar::ObjectReplacementCharacter);
    QTest::newRow("picture kinds")
        << u"picturebytes.rtf"_qs
        << QStringList{u"png "_qs + mark + u" jpeg "_qs + mark + u" wmf "_qs + mark + u" emf "_qs
                       + mark + u" end"_qs};
    QTest::newRow("corrupt picture")
        << u"corruptpicture.rtf"_qs << QStringList{u"before "_qs + mark + u" after"_qs};
}

void TestRtfReader::otherProgramsDocumentsReadAsTheyShowThem()
{
    QFETCH(QString, name);
    QFETCH(QStringList, paragraphs);
    QTextDocument document;
    QString error;
    QVERIFY2(readInto(document, fixture(name.toLatin1().constData()), &error), qPrintable(error));
    QCOMPARE(blockTexts(document), paragraphs);
    if (name == u"fieldresult.rtf"_qs)
        QCOMPARE(formatOf(document, u"link"_qs).anchorHref(), u"http://x.org"_qs);
    if (name == u"fontnames.rtf"_qs) {
        const QTextCharFormat chinese = formatOf(document, u"你"_qs);
        QCOMPARE(chinese.fontFamilies().toStringList(), QStringList{u"宋体"_qs});
        QCOMPARE(chinese.intProperty(TextFormat::FontCharset), 134);
        QVERIFY(!formatOf(document, u"Arial"_qs).hasProperty(TextFormat::FontCharset));
    }
    if (name == u"hidden.rtf"_qs) {
        // Kept on one position that takes no room.
        const QTextCharFormat hidden
            = formatOf(document, QString(QChar::ObjectReplacementCharacter));
        QCOMPARE(hidden.objectType(), TextFormat::HiddenTextType);
        QCOMPARE(hidden.stringProperty(TextFormat::HiddenText), u"hidden"_qs);
        QCOMPARE(hidden.fontPointSize(), 11.0);
        QTextDocument shown;
        QTextCursor(&shown).insertText(u"shown  shown"_qs, formatOf(document, u"shown"_qs));
        QVERIFY(qAbs(document.idealWidth() - shown.idealWidth()) <= 1); // text shaping
    }
}

void TestRtfReader::otherProgramsFormatsReadAsTheyShowThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    const auto row = [](const char *name, const QString &text, const QString &format) {
        QTest::addRow("%s: %s", name, qPrintable(text))
            << QString::fromLatin1(name) << text << format;
    };
    row("updown.rtf", u"H2O"_qs, u"Times New Roman 12pt"_qs);
    row("updown.rtf", u"2O"_qs, u"Times New Roman 12pt offset-4"_qs);
    row("updown.rtf", u"234"_qs, u"Times New Roman 12pt offset6"_qs);
    row("updown.rtf", u"34"_qs, u"Times New Roman 12pt offset3"_qs);
    row("updown.rtf", u"4"_qs, u"Times New Roman 12pt offset-3"_qs);
    row("updown.rtf", u"all"_qs, u"Arial 10pt caps"_qs);
    row("updown.rtf", u"Small"_qs, u"Arial 10pt smallcaps"_qs);
    row("updown.rtf", u"outlined"_qs, u"Arial 10pt outline #c00000"_qs);
    row("updown.rtf", u"both"_qs, u"Arial 10pt caps offset4"_qs);
    // Without \fs text is 12 pt; a style gives its formats to the paragraphs and
    // characters that name it, on top of the style it is based on.
    row("stylesheet.rtf", u"Styled"_qs, u"Helvetica 20pt bold centred"_qs);
    row("stylesheet.rtf", u"Based"_qs, u"Helvetica 16pt bold italic centred"_qs);
    row("stylesheet.rtf", u"Body"_qs, u"Helvetica 12pt"_qs);
    row("stylesheet.rtf", u"code"_qs, u"Courier 12pt #0000ff"_qs);
    row("stylesheet.rtf", u"bold"_qs, u"Helvetica 12pt bold"_qs);
    row("stylesheet.rtf", u"Unstyled"_qs, u"Helvetica 12pt"_qs);
    row("listlevels.rtf", u"Not numbered"_qs, u"Times New Roman 12pt"_qs);
    row("listlevels.rtf", u"Bullet"_qs, u"Times New Roman 12pt list-1"_qs);
    row("listlevels.rtf", u"Lettered"_qs, u"Times New Roman 12pt list-5"_qs);
    row("listlevels.rtf", u"Continued"_qs, u"Times New Roman 12pt"_qs);
    row("listlevels.rtf", u"again"_qs, u"Times New Roman 12pt list-5"_qs);
    row("listnotable.rtf", u"First"_qs, u"Times 12pt list-4"_qs);
    row("listnotable.rtf", u"Second"_qs, u"Times 12pt list-4"_qs);
    row("listnotable.rtf", u"Dot"_qs, u"Times 12pt list-1"_qs);
    row("listnotable.rtf", u"Roman"_qs, u"Times 12pt list-8"_qs);
}

void TestRtfReader::otherProgramsFormatsReadAsTheyShowThem()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, format);
    QTextDocument document;
    QVERIFY(readInto(document, fixture(name.toLatin1().constData())));
    QCOMPARE(shownFormat(document, text), format);
}

void TestRtfReader::picturesKeepTheirFileAndScale()
{
    QTextDocument document;
    QVERIFY(readInto(document, fixture("picturebytes.rtf")));
    QList<QTextCharFormat> objects;
    for (QTextBlock::iterator it = document.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().text() == QString(QChar::ObjectReplacementCharacter))
            objects << it.fragment().charFormat();
    }
    QCOMPARE(objects.size(), 4);
    // PNG and JPEG are shown, and keep the file they came in.
    const QByteArray data = fixture("picturebytes.rtf");
    for (int i : {0, 1}) {
        QVERIFY(objects[i].isImageFormat());
        const QByteArray file = objects[i].property(TextFormat::PictureData).toByteArray();
        QVERIFY(file.startsWith(i == 0 ? "\x89PNG" : "\xFF\xD8"));
        QVERIFY(QByteArray(data).replace("\n", "").contains(file.toHex()));
    }
    // 60 x 30 twips at 1500% x 1200%.
    QCOMPARE(objects[1].toImageFormat().width(), TextFormat::twipsToUnits(900));
    QCOMPARE(objects[1].toImageFormat().height(), TextFormat::twipsToUnits(360));
    for (int i : {2, 3})
        QCOMPARE(objects[i].objectType(), TextFormat::ForeignObjectType);
}

void TestRtfReader::damagedPictureIsKeptAndReported()
{
    const QByteArray rtf = fixture("corruptpicture.rtf");
    QTextDocument document;
    QTextCursor cursor(&document);
    const RtfReader::Result result = RtfReader::read(rtf, cursor);
    QVERIFY(result && !result.damaged());
    QCOMPARE(result.pictureMessage,
             u"a picture is damaged and kept as it was (IDAT: incorrect data check)"_qs);
    const QTextCharFormat picture = formatOf(document, QString(QChar::ObjectReplacementCharacter));
    QCOMPARE(picture.objectType(), TextFormat::ForeignObjectType);
    const QByteArray raw = picture.property(TextFormat::RawRtfObject).toByteArray();
    QVERIFY(raw.startsWith("{\\pict") && rtf.contains(raw));
}

void TestRtfReader::unicodeWithFallbackSkipping_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("one fallback byte") << QByteArray("{\\rtf1 a\\u8364?b}") << u"a€b"_qs;
    QTest::newRow("hex fallback") << QByteArray("{\\rtf1 a\\u8364\\'80b}") << u"a€b"_qs;
    QTest::newRow("uc2") << QByteArray("{\\rtf1\\uc2 a\\u8364\\'80\\'80b}") << u"a€b"_qs;
    QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0 a\\u8364 b}") << u"a€b"_qs;
    QTest::newRow("uc scoped to group")
        << QByteArray("{\\rtf1 {\\uc0 \\u8364}\\u8364?b}") << u"€€b"_qs;
    QTest::newRow("group end stops skipping")
        << QByteArray("{\\rtf1\\uc3 {\\u8364}ab}") << u"€ab"_qs;
    QTest::newRow("object mark in text is no object")
        << QByteArray("{\\rtf1 \\u-4?}") << u"\uFFFD"_qs;
}

void TestRtfReader::unicodeWithFallbackSkipping()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument document;
    QVERIFY(readInto(document, rtf));
    QCOMPARE(document.toPlainText(), text);
}

void TestRtfReader::specialCharacters_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text"); // \n between paragraphs
    const auto row = [](const char *name, const char *rtf, const QString &text) {
        QTest::newRow(name) << QByteArray(rtf) << text;
    };
    row("escaped braces and backslash", "{\\rtf1 \\{a\\}\\\\}", u"{a}\\"_qs);
    row("backslash before a line break", "{\\rtf1 a\\\r\nb}", u"a\nb"_qs);
    row("line breaks in the data are no text", "{\\rtf1 a\r\nb\nc}", u"abc"_qs);
    row("literal tab", "{\\rtf1 a\tb}", u"a\tb"_qs);
    row("line", "{\\rtf1 a\\line b}", u"a\u2028b"_qs);
    row("non-breaking space and hyphens", "{\\rtf1 a\\~b\\_c\\-d}", u"a\u00A0b\u2011c\u00ADd"_qs);
    row("quotes and dashes",
        "{\\rtf1 \\lquote\\rquote\\ldblquote\\rdblquote\\emdash\\endash\\bullet}",
        u"\u2018\u2019\u201C\u201D\u2014\u2013\u2022"_qs);
    // A table begins a paragraph of its own; \\intbl holds until \\pard, so "d" is a row of
    // its own, as short as the document.
    row("table cells and rows", "{\\rtf1\\trowd\\intbl a\\cell\\cell b\\par c\\cell\\row d}",
        u"\na\t\tb\u2028c\nd\t\t"_qs);
    // A cell merged into another is no cell of the text either.
    row("merged cells",
        "{\\rtf1\\trowd\\clmgf\\cellx1\\clmrg\\cellx2\\cellx3\\intbl a\\cell\\cell b\\cell\\row"
        "\\trowd\\clvmgf\\cellx1\\cellx2\\intbl c\\cell d\\cell\\row"
        "\\trowd\\clvmrg\\cellx1\\cellx2\\intbl\\cell e\\cell\\row\\pard f}",
        u"\na\tb\nc\td\t\ne\t\nf"_qs);
    row("table then text", "{\\rtf1 x\\par\\trowd\\intbl a\\cell b\\cell\\row\\pard d}",
        u"x\na\tb\nd"_qs);
    row("control characters are dropped", "{\\rtf1 a\x01\\'07b}", u"ab"_qs);
    row("empty document", "{\\rtf1}", QString());
    row("text after the document", "{\\rtf1 a}b{c", u"a"_qs);
}

void TestRtfReader::tablesReadAsTables()
{
    QTextDocument document;
    QVERIFY(readInto(document, fixture("tables.rtf")));
    QCOMPARE(NoteText::textOf(document).split(QChar::ParagraphSeparator),
             QStringList({u"Before"_qs, u"a\tbold red"_qs, u"c\td"_qs, u"Between"_qs, u"wide\tx"_qs,
                          u"tall\ty\tz"_qs, u"v\tw"_qs, u"Numbers"_qs,
                          u"Heading\u2028Second\tplain"_qs, u"After"_qs}));
    QCOMPARE(document.rootFrame()->childFrames().size(), 3);
    QVERIFY(formatOf(document, u"bold"_qs).fontWeight() == QFont::Bold);
    QCOMPARE(formatOf(document, u"red"_qs).foreground().color(), QColor(200, 0, 0));
    QCOMPARE(ListLabel::of(document.find(u"Second"_qs).block()), u"4."_qs);
    // Cut short inside a row: the row holds the cells read.
    const QByteArray whole = fixture("tables.rtf");
    QTextDocument cut;
    QString error;
    QVERIFY(!readInto(cut, whole.left(whole.indexOf("v\\cell") + 1), &error));
    QVERIFY(error.contains(u"truncated"_qs));
    QCOMPARE(NoteText::textOf(cut).split(QChar::ParagraphSeparator).mid(3),
             QStringList({u"Between"_qs, u"wide\tx"_qs, u"tall\ty\tz"_qs, u"v\t"_qs}));
}

void TestRtfReader::specialCharacters()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument document;
    QString error;
    QVERIFY2(readInto(document, rtf, &error), qPrintable(error));
    QCOMPARE(NoteText::textOf(document).replace(QChar::ParagraphSeparator, u'\n'), text);
}

void TestRtfReader::characterAttributes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");
    const auto row
        = [](const char *name, const QString &text, int offset, int property,
             const QVariant &value) { QTest::newRow(name) << text << offset << property << value; };
    row("face", u"plain"_qs, 0, QTextFormat::FontFamilies, QStringList{u"Tahoma"_qs});
    row("size", u"plain"_qs, 0, QTextFormat::FontPointSize, 8.0);
    row("half point size", u"courier"_qs, 0, QTextFormat::FontPointSize, 11.5);
    row("other face", u"courier"_qs, 0, QTextFormat::FontFamilies, QStringList{u"Courier New"_qs});
    row("big", u"big"_qs, 0, QTextFormat::FontPointSize, 20.0);
    row("bold", u"bold"_qs, 0, QTextFormat::FontWeight, int(QFont::Bold));
    row("italic", u"italic"_qs, 0, QTextFormat::FontItalic, true);
    row("strike", u"struck"_qs, 0, QTextFormat::FontStrikeOut, true);
    row("underline", u"under"_qs, 0, TextFormat::UnderlineType, 1);
    row("underline drawn", u"under"_qs, 0, QTextFormat::TextUnderlineStyle,
        int(QTextCharFormat::SingleUnderline));
    row("subscript", u"2O"_qs, 0, QTextFormat::TextVerticalAlignment,
        int(QTextCharFormat::AlignSubScript));
    row("superscript", u"x2"_qs, 1, QTextFormat::TextVerticalAlignment,
        int(QTextCharFormat::AlignSuperScript));
    row("nosupersub", u"O x"_qs, 0, QTextFormat::TextVerticalAlignment, QVariant());
    row("colour", u"red"_qs, 0, QTextFormat::ForegroundBrush, QBrush(QColor(255, 0, 0)));
    row("highlight", u"yellow"_qs, 0, QTextFormat::BackgroundBrush, QBrush(QColor(255, 255, 0)));
    row("highlight0", u" courier"_qs, 0, QTextFormat::BackgroundBrush, QVariant());
    row("wave", u"wavy"_qs, 0, TextFormat::UnderlineType, 8);
    row("wave drawn", u"wavy"_qs, 0, QTextFormat::TextUnderlineStyle,
        int(QTextCharFormat::WaveUnderline));
    row("wave colour index", u"wavy"_qs, 0, TextFormat::UnderlineColorIndex, 5);
    row("wave colour", u"wavy"_qs, 0, QTextFormat::TextUnderlineColor, QColor(255, 0, 0));
    row("double", u"double"_qs, 0, TextFormat::UnderlineType, 3);
    row("dotted", u"dotted"_qs, 0, QTextFormat::TextUnderlineStyle, int(QTextCharFormat::DotLine));
    row("thick", u"thick"_qs, 0, TextFormat::UnderlineType, 9);
    row("ulnone", u" double"_qs, 0, TextFormat::UnderlineType, QVariant());
    row("error font colour", u"Unknown"_qs, 0, QTextFormat::ForegroundBrush,
        QBrush(QColor(0, 0, 255)));
    row("error font wave", u"Unknown"_qs, 0, TextFormat::UnderlineColorIndex, 5);
    row("tab", u"tab\tline"_qs, 3, QTextFormat::FontPointSize, 8.0);
}

void TestRtfReader::characterAttributes()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, property);
    QFETCH(QVariant, value);
    QTextDocument document;
    QVERIFY(readInto(document, fixture("formats.rtf")));
    const QTextCursor found = document.find(text);
    QVERIFY2(!found.isNull(), qPrintable(text));
    QTextCursor cursor(&document);
    cursor.setPosition(found.selectionStart() + offset + 1);
    QCOMPARE(cursor.charFormat().property(property), value);
}

void TestRtfReader::hyperlinkFieldsGiveLinkEffect_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("href"); // null: no link effect
    QTest::newRow("rich-edit form")
        << QByteArray("{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a?b=c\"}}"
                      "{\\fldrslt{\\ul\\cf1 example}}}")
        << u"example"_qs << u"https://example.com/a?b=c"_qs;
    QTest::newRow("switch after target")
        << QByteArray("{\\field{\\*\\fldinst HYPERLINK \"mailto:a@b.org\" \\\\o \"tip\"}"
                      "{\\fldrslt mail}}")
        << u"mail"_qs << u"mailto:a@b.org"_qs;
    QTest::newRow("location") << QByteArray("{\\field{\\*\\fldinst{HYPERLINK \\\\l \"part2\"}}"
                                            "{\\fldrslt{jump}}}")
                              << u"jump"_qs << u"#part2"_qs;
    QTest::newRow("escaped backslashes")
        << QByteArray("{\\field{\\*\\fldinst{HYPERLINK \"C:\\\\\\\\Notes\\\\\\\\a b.txt\"}}"
                      "{\\fldrslt{path}}}")
        << u"path"_qs << u"C:\\Notes\\a b.txt"_qs;
    QTest::newRow("unquoted") << QByteArray("{\\field{\\*\\fldinst HYPERLINK http://x.org/}"
                                            "{\\fldrslt{x}}}")
                              << u"x"_qs << u"http://x.org/"_qs;
    QTest::newRow("whole result") << QByteArray("{\\field{\\*\\fldinst{HYPERLINK \"http://y/\"}}"
                                                "{\\fldrslt{li{\\b nk}}}}")
                                  << u"link"_qs << u"http://y/"_qs;
    QTest::newRow("other field") << QByteArray("{\\field{\\*\\fldinst{PAGE}}{\\fldrslt{7}}}")
                                 << u"7"_qs << QString();
}

void TestRtfReader::hyperlinkFieldsGiveLinkEffect()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, text);
    QFETCH(QString, href);
    QTextDocument document;
    QVERIFY(readInto(document, "{\\rtf1 before " + field + " after}"));
    QCOMPARE(document.toPlainText(), u"before "_qs + text + u" after"_qs);
    QTextCursor cursor(&document);
    for (int i = 1; i <= text.size(); ++i) {
        cursor.setPosition(7 + i);
        QCOMPARE(cursor.charFormat().isAnchor(), !href.isNull());
        QCOMPARE(cursor.charFormat().anchorHref(), href);
    }
    QVERIFY(!formatOf(document, u" after"_qs).isAnchor());
    QVERIFY(!formatOf(document, u"before"_qs).isAnchor());
}

void TestRtfReader::bulletsAndParagraphAttributes()
{
    QTextDocument document;
    QVERIFY(readInto(document, fixture("bullets.rtf")));
    // The closing \par is the document's own last paragraph mark.
    QCOMPARE(blockTexts(document),
             QStringList({u"Shopping"_qs, u"Milk"_qs, u"Bread"_qs, u"Eggs"_qs, u"Centered"_qs,
                          u"Right"_qs, u"Indented"_qs, u"Spaced"_qs}));
    QVERIFY(!blockOf(document, u"Shopping"_qs).textList());
    QTextList *list = blockOf(document, u"Milk"_qs).textList();
    QVERIFY(list);
    QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(list->format().indent(), 1);
    QCOMPARE(list->count(), 3);
    QCOMPARE(blockOf(document, u"Eggs"_qs).textList(), list);
    QVERIFY(!blockOf(document, u"Centered"_qs).textList());

    const QTextBlockFormat milk = blockOf(document, u"Milk"_qs).blockFormat();
    QCOMPARE(milk.leftMargin(), TextFormat::twipsToUnits(200));
    QCOMPARE(milk.textIndent(), TextFormat::twipsToUnits(-200));
    QCOMPARE(blockOf(document, u"Bread"_qs).blockFormat().leftMargin(), milk.leftMargin());
    QCOMPARE(blockOf(document, u"Centered"_qs).blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(document, u"Centered"_qs).blockFormat().leftMargin(), 0.0);
    const QTextBlockFormat right = blockOf(document, u"Right"_qs).blockFormat();
    QCOMPARE(right.alignment(), Qt::AlignRight);
    QCOMPARE(right.topMargin(), TextFormat::twipsToUnits(120));
    QCOMPARE(right.bottomMargin(), TextFormat::twipsToUnits(240));
    const QTextBlockFormat indented = blockOf(document, u"Indented"_qs).blockFormat();
    QCOMPARE(indented.leftMargin(), TextFormat::twipsToUnits(600));
    QCOMPARE(indented.textIndent(), TextFormat::twipsToUnits(300));
    QCOMPARE(indented.rightMargin(), TextFormat::twipsToUnits(100));
    const QTextBlockFormat spaced = blockOf(document, u"Spaced"_qs).blockFormat();
    QCOMPARE(spaced.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(spaced.lineHeight(), 115.0);
}

void TestRtfReader::listTableListsKeepTheirStyle()
{
    QTextDocument document;
    QVERIFY(readInto(
        document,
        "{\\rtf1{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0{\\leveltext"
        "\\'02\\'00.;}{\\levelnumbers\\'01;}}{\\listlevel\\levelnfc23}{\\listname ;}\\listid7}"
        "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid8}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid8\\ls2}}"
        "{\\listtext 1.\\tab}\\ls1 one\\par{\\listtext 2.\\tab}two\\par"
        "\\pard{\\listtext\\'b7\\tab}\\ls2 dot\\par\\pard\\ls9 undefined\\par\\pard plain}"));
    QCOMPARE(blockTexts(document),
             QStringList({u"one"_qs, u"two"_qs, u"dot"_qs, u"undefined"_qs, u"plain"_qs}));
    const QTextList *numbered = blockOf(document, u"one"_qs).textList();
    QVERIFY(numbered);
    QCOMPARE(numbered->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(blockOf(document, u"two"_qs).textList(), numbered);
    QCOMPARE(blockOf(document, u"dot"_qs).textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(blockOf(document, u"undefined"_qs).textList()->format().style(),
             QTextListFormat::ListDisc);
    QVERIFY(!blockOf(document, u"plain"_qs).textList());
}

void TestRtfReader::bulletsAsTheirFontShowsThem_data()
{
    const QByteArray fonts = "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f2\\fnil\\fcharset2 Wingdings;}}";
    // A list whose level shows text, its font given after the text as word processors write it.
    const auto list = [&fonts](const QByteArray &text, const QByteArray &font) {
        return fonts + "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01" + text
               + ";}{\\levelnumbers;}" + font
               + "}\\listid5}}{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}\\pard\\ls1 "
                 "item\\par}";
    };
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("label");
    QTest::newRow("old-style dash")
        << fonts + "\\pard{\\*\\pn\\pnlvlblt\\pnf0{\\pntxtb -}}item\\par}" << u"-"_qs;
    // A symbol font's byte is a picture of that font, not the character of that code.
    QTest::newRow("old-style symbol")
        << fonts + "\\pard{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'a7}}item\\par}" << u"\u2022"_qs;
    QTest::newRow("level text o") << list("o", "\\f0") << u"o"_qs;
    QTest::newRow("level text in a symbol font named after it")
        << list("\\'a7", "\\f2") << u"\u2022"_qs;
}

void TestRtfReader::bulletsAsTheirFontShowsThem()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, label);
    QTextDocument document;
    QVERIFY(readInto(document, rtf));
    QCOMPARE(ListLabel::of(blockOf(document, u"item"_qs)), label);
}

void TestRtfReader::longListsKeepEveryItem()
{
    QByteArray rtf = "{\\rtf1\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-200\\li200 ";
    for (int i = 0; i < 250; ++i)
        rtf += "{\\pntext\\'B7\\tab}item\\par ";
    QTextDocument document;
    QVERIFY(readInto(document, rtf + "\\pard end}"));
    QCOMPARE(document.blockCount(), 251);
    for (QTextBlock block = document.begin(); block != document.lastBlock(); block = block.next()) {
        QVERIFY(block.textList());
        QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDisc);
    }
    QVERIFY(!document.lastBlock().textList());
}

void TestRtfReader::picturesAndObjects()
{
    QTextDocument document;
    QString error;
    QVERIFY2(readInto(document, fixture("pictures.rtf"), &error), qPrintable(error));
    const QString mark = QString(QChar::ObjectReplacementCharacter);
    QCOMPARE(document.toPlainText(), u"png "_qs + mark + u" dib "_qs + mark + u" wmf "_qs + mark
                                         + u" object "_qs + mark + u" end"_qs);
    QList<QTextCharFormat> objects;
    for (QTextBlock::iterator it = document.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().text() == mark)
            objects << it.fragment().charFormat();
    }
    QCOMPARE(objects.size(), 4);

    // PNG and device-independent bitmaps are pictures, sized by \picwgoal.
    for (int i : {0, 1}) {
        QVERIFY(objects[i].isImageFormat());
        const QTextImageFormat format = objects[i].toImageFormat();
        const QImage image
            = document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
        QCOMPARE(image.size(), QSize(2, 2));
        QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 0)); // top left, though DIB rows run bottom-up
        QCOMPARE(image.pixel(1, 1), qRgb(255, 255, 255));
        QCOMPARE(format.width(), i == 0 ? 20.0 : 2.0);
    }
    // A metafile and an embedded object keep their RTF, with a preview of their bitmap.
    for (int i : {2, 3}) {
        QCOMPARE(objects[i].objectType(), TextFormat::ForeignObjectType);
        const QByteArray raw = objects[i].property(TextFormat::RawRtfObject).toByteArray();
        QVERIFY(raw.startsWith(i == 2 ? "{\\pict{\\*\\picprop}\\wmetafile8" : "{\\object\\objemb"));
        QVERIFY(raw.endsWith('}'));
        QVERIFY(fixture("pictures.rtf").contains(raw));
        const QImage preview = objects[i].property(TextFormat::ObjectPreview).value<QImage>();
        QCOMPARE(preview.size(), QSize(2, 2));
        QCOMPARE(preview.pixel(0, 0), qRgb(255, 0, 0));
    }
    QCOMPARE(objects[3].property(TextFormat::ObjectSize).toSizeF(), QSizeF(40, 30));
}

void TestRtfReader::pictureKinds_data()
{
    QTest::addColumn<QByteArray>("pict");
    QTest::addColumn<bool>("decoded"); // else kept as RTF with a preview
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("topLeft");
    QImage photo(4, 2, QImage::Format_RGB32);
    photo.fill(qRgb(0, 0, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 100);
    QTest::newRow("jpeg") << "{\\pict\\jpegblip " + jpeg.toHex() + "}" << true << QSize(4, 2)
                          << qRgb(0, 0, 0);
    QTest::newRow("device bitmap, 24 bits")
        << QByteArray("{\\pict\\wbitmap0\\picw2\\pich2\\wbmbitspixel24\\wbmplanes1"
                      "\\wbmwidthbytes6 0000ff00ff00 ff0000ffffff}")
        << true << QSize(2, 2) << qRgb(255, 0, 0);
    QTest::newRow("device bitmap, 1 bit")
        << QByteArray("{\\pict\\wbitmap0\\picw2\\pich1\\wbmbitspixel1\\wbmwidthbytes2 4000}")
        << true << QSize(2, 1) << qRgb(0, 0, 0);
    QTest::newRow("enhanced metafile") << QByteArray(
        "{\\pict\\emfblip\\picwgoal30\\pichgoal30 "
        "0100000058000000000000000000000001000000010000000000000000000000640000006400000020454d4600"
        "000100000000000300000001000000000000000000000000000000000400000003000040010000f00000005100"
        "000088000000000000000000000001000000010000000000000000000000000000000000000002000000020000"
        "0050000000280000007800000010000000000000002000cc000200000002000000280000000200000002000000"
        "01001800000000001000000000000000000000000000000000000000ff0000ffffff00000000ff00ff0000000e"
        "00000014000000000000001000000014000000}")
                                       << false << QSize(2, 2) << qRgb(255, 0, 0);
    QTest::newRow("binary png") << "{\\pict\\pngblip\\bin" + QByteArray::number(pngOf(photo).size())
                                       + " " + pngOf(photo) + "}"
                                << true << QSize(4, 2) << qRgb(0, 0, 0);
    QTest::newRow("unknown kind") << QByteArray("{\\pict\\macpict 0102}") << false << QSize(0, 0)
                                  << QRgb(0);
}

void TestRtfReader::pictureKinds()
{
    QFETCH(QByteArray, pict);
    QFETCH(bool, decoded);
    QFETCH(QSize, size);
    QFETCH(QRgb, topLeft);
    QTextDocument document;
    QVERIFY(readInto(document, "{\\rtf1 " + pict + "}"));
    QCOMPARE(document.toPlainText(), QString(QChar::ObjectReplacementCharacter));
    const QTextCharFormat format = formatOf(document, QString(QChar::ObjectReplacementCharacter));
    QCOMPARE(format.isImageFormat(), decoded);
    const QImage image
        = decoded
              ? document.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()))
                    .value<QImage>()
              : format.property(TextFormat::ObjectPreview).value<QImage>();
    QCOMPARE(image.size(), size);
    if (!image.isNull())
        QCOMPARE(image.pixel(0, 0), topLeft);
    if (!decoded)
        QCOMPARE(format.property(TextFormat::RawRtfObject).toByteArray(), pict);
}

void TestRtfReader::hugePicturesAreKeptUndecoded()
{
    // A hundred bytes of PNG claiming 20000 x 20000 pixels (1.6 GB): never allocated.
    const QByteArray pict
        = "{\\pict\\pngblip\\picwgoal300\\pichgoal300 "
          "89504e470d0a1a0a0000000d4948445200004e2000004e2008020000006c12d16e"
          "0000000b49444154789c63604005000010000139bd8f650000000049454e44ae426082}";
    QTextDocument document;
    QVERIFY(readInto(document, "{\\rtf1 a" + pict + "b}"));
    const QTextCharFormat format = formatOf(document, QString(QChar::ObjectReplacementCharacter));
    QCOMPARE(format.objectType(), TextFormat::ForeignObjectType);
    QCOMPARE(format.property(TextFormat::RawRtfObject).toByteArray(), pict);
    QCOMPARE(format.property(TextFormat::ObjectSize).toSizeF(), QSizeF(20, 20));
}

void TestRtfReader::rawPictureStartsAtItsWord()
{
    // Text before \pict in its group is document text, not part of the picture.
    QTextDocument document;
    QVERIFY(readInto(document, "{\\rtf1 {\\b ab\\pict\\macpict 0102}c}"));
    const QString mark(QChar::ObjectReplacementCharacter);
    QCOMPARE(document.toPlainText(), u"ab"_qs + mark + u"c"_qs);
    QCOMPARE(formatOf(document, mark).property(TextFormat::RawRtfObject).toByteArray(),
             QByteArray("{\\pict\\macpict 0102}"));
}

void TestRtfReader::ignorableAndUnknownContentIsSkipped()
{
    QImage image(3, 1, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QByteArray png = pngOf(image);
    const QByteArray rtf
        = "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
          "{\\*\\unknown hidden {nested}}\\foo12 a{\\bar b}{\\listtext 1.\\tab}c"
          "{\\*\\shppict{\\pict\\pngblip "
          + png.toHex()
          + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}d\\bin3 {}\\e{\\pntext\\'B7\\tab}"
            "\\'zz\\\\\\{\\}}";
    QTextDocument document;
    QVERIFY(readInto(document, rtf));
    QCOMPARE(document.toPlainText(),
             u"abc"_qs + QChar(QChar::ObjectReplacementCharacter) + u"dezz\\{}"_qs);
}

void TestRtfReader::replacesSelectionAsOneUndoStep()
{
    QTextDocument document;
    document.setPlainText(u"Hello world"_qs);
    QTextCursor cursor(&document);
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    QVERIFY(RtfReader::read("{\\rtf1 {\\b there}\\par again}", cursor));
    QCOMPARE(blockTexts(document), QStringList({u"Hello there"_qs, u"again"_qs}));
    QVERIFY(!cursor.hasSelection());
    QCOMPARE(cursor.position(), document.characterCount() - 1);
    document.undo();
    QCOMPARE(document.toPlainText(), u"Hello world"_qs);
    QVERIFY(!document.isUndoAvailable());
}

void TestRtfReader::insertionInsideParagraphKeepsItsFormat()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(u"abcd"_qs);
    cursor.setPosition(2);
    QVERIFY(RtfReader::read("{\\rtf1\\pard\\qr X\\par Y}", cursor));
    QCOMPARE(blockTexts(document), QStringList({u"abX"_qs, u"Ycd"_qs}));
    QCOMPARE(document.firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(document.lastBlock().blockFormat().alignment(), Qt::AlignHCenter);

    // Paragraphs that the insertion makes whole take the RTF's format, and a
    // paragraph mark inside the document stays a paragraph break.
    cursor.setPosition(4); // start of "Ycd"
    QVERIFY(RtfReader::read("{\\rtf1\\pard\\qr Z\\par}", cursor));
    QCOMPARE(blockTexts(document), QStringList({u"abX"_qs, u"Z"_qs, u"Ycd"_qs}));
    QCOMPARE(document.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignRight);
    QCOMPARE(document.lastBlock().blockFormat().alignment(), Qt::AlignHCenter);

    // Into an empty document: the last paragraph mark is the document's own.
    QTextDocument empty;
    QVERIFY(readInto(empty, "{\\rtf1\\pard\\qr X\\par}"));
    QCOMPARE(empty.blockCount(), 1);
    QCOMPARE(empty.firstBlock().blockFormat().alignment(), Qt::AlignRight);
}

void TestRtfReader::paragraphMarkKeepsItsOwnFormat()
{
    // The format in force at \\par belongs to the mark ending that paragraph: the separator
    // that begins the next block.
    QTextDocument document;
    QVERIFY(readInto(document, "{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}"
                               "aaa{\\b B}\\par bbb{\\cf1\\par}ccc}"));
    QCOMPARE(blockTexts(document), QStringList({u"aaaB"_qs, u"bbb"_qs, u"ccc"_qs}));
    QVERIFY(!document.findBlockByNumber(1).charFormat().hasProperty(QTextFormat::ForegroundBrush));
    QCOMPARE(document.findBlockByNumber(2).charFormat().foreground().color(), QColor(Qt::blue));
}

// The hidden text a document keeps is its own: a later read that reuses the
// first reader's memory leaves it alone (the sanitizer build sees any access
// to freed memory directly).
void TestRtfReader::hiddenTextOutlivesTheReader()
{
    QTextDocument first;
    QVERIFY(readInto(first, "{\\rtf1 a{\\v first}b}"));
    QTextDocument second;
    QVERIFY(readInto(second, "{\\rtf1 a{\\v other}b}"));
    const QTextCharFormat hidden = formatOf(first, QString(QChar::ObjectReplacementCharacter));
    QCOMPARE(hidden.objectType(), TextFormat::HiddenTextType);
    QCOMPARE(hidden.stringProperty(TextFormat::HiddenText), u"first"_qs);
}

void TestRtfReader::plainTextEncodings_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("lines");
    const QStringList greeting{u"Grüße"_qs, u"€"_qs};
    QTest::newRow("Windows-1252") << QByteArray("Gr\xfc\xdf"
                                                "e\r\nline2\rline3\n\x80 {\\rt")
                                  << QStringList(
                                         {u"Grüße"_qs, u"line2"_qs, u"line3"_qs, u"€ {\\rt"_qs});
    QTest::newRow("UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                         "e\n\xe2\x82\xac")
                           << greeting;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f"
                                                  "e\n\xe2\x82\xac")
                                    << greeting;
    QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfeG\0r\0\xfc\0\xdf\0e\0\n\0\xac\x20", 16)
                               << greeting;
    QTest::newRow("UTF-16 BE") << QByteArray("\xfe\xff\0G\0r\0\xfc\0\xdf\0e\0\n\x20\xac", 16)
                               << greeting;
    // Valid UTF-8 only up to a byte that is not: all of it is Windows-1252.
    QTest::newRow("almost UTF-8") << QByteArray("\xc3\xbc \xfc") << QStringList{u"Ã¼ ü"_qs};
}

void TestRtfReader::plainTextEncodings()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, lines);
    QTextDocument document;
    document.setPlainText(u"keep"_qs);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    QVERIFY(RtfReader::read(data, cursor));
    QCOMPARE(blockTexts(document), lines);
}

void TestRtfReader::damagedDataIsReadAsFarAsItGoes_data()
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray picture = "{\\pict\\pngblip " + pngOf(image).toHex() + "}";
    const QString mark(QChar::ObjectReplacementCharacter);
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unclosed groups")
        << QByteArray("{\\rtf1\\ansi a\\par {\\b bold") << u"a\nbold"_qs << u"truncated"_qs;
    QTest::newRow("binary data beyond the end")
        << "{\\rtf1 a" + picture + "b{\\pict\\pngblip\\bin100 abc}}" << u"a"_qs + mark + u"b"_qs
        << u"binary data"_qs;
    QTest::newRow("inside an ignored group")
        << QByteArray("{\\rtf1 text{\\*\\foo {bar}") << u"text"_qs << u"ignored group"_qs;
    QTest::newRow("inside a picture")
        << "{\\rtf1 a" + picture.chopped(9) << u"a"_qs << u"truncated"_qs;
    QTest::newRow("inside a Shift-JIS run")
        << QByteArray("{\\rtf1\\ansicpg932 \\'93\\'fa\\'96\\'7b") << u"日本"_qs << u"truncated"_qs;
    QTest::newRow("only the header") << QByteArray("{\\rtf") << QString() << u"truncated"_qs;
    // The half of a byte is no character of its own.
    QTest::newRow("inside a hex byte")
        << QByteArray("{\\rtf1 caf\\'e") << u"caf"_qs << u"truncated"_qs;
    QTest::newRow("after a hex byte's backslash")
        << QByteArray("{\\rtf1 caf\\'") << u"caf"_qs << u"truncated"_qs;
}

void TestRtfReader::damagedDataIsReadAsFarAsItGoes()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QTextDocument document;
    document.setPlainText(u"keep me"_qs);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    const RtfReader::Result result = RtfReader::read(rtf, cursor);
    QVERIFY(result);
    QVERIFY(result.damaged());
    QVERIFY2(result.message.contains(message), qPrintable(result.message));
    QCOMPARE(document.toPlainText(), text);
    document.undo(); // one step, like a whole document
    QCOMPARE(document.toPlainText(), u"keep me"_qs);
}

void TestRtfReader::deepNestingIsReadWithoutLimit_data()
{
    QTest::addColumn<int>("depth");
    QTest::newRow("mail converted from HTML") << 3000;
    QTest::newRow("hostile") << 200000;
}

void TestRtfReader::deepNestingIsReadWithoutLimit()
{
    QFETCH(int, depth);
    const QByteArray rtf = "{\\rtf1 a" + QByteArray(depth, '{') + "\\b b" + QByteArray(depth, '}')
                           + "c{\\*\\deep " + QByteArray(depth, '{') + QByteArray(depth, '}')
                           + "}d}";
    QTextDocument document;
    QString error;
    QVERIFY2(readInto(document, rtf, &error), qPrintable(error));
    QCOMPARE(document.toPlainText(), u"abcd"_qs);
    QCOMPARE(formatOf(document, u"b"_qs).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatOf(document, u"c"_qs).fontWeight(), int(QFont::Normal));
}

void TestRtfReader::mutatedAndTruncatedInputNeverCrashes()
{
    // Out-of-range parameters are clamped.
    QTextDocument clamped;
    QVERIFY(readInto(clamped,
                     "{\\rtf1\\fs99999999999\\li-99999999999 {\\uc2147483647 \\u-99999999 x}"
                     "{\\pict\\picw-5\\pich99999999\\wbitmap\\wbmbitspixel24 00}"
                     "\\u99999999?y\\cf999\\highlight-4\\f77 z}"));
    QCOMPARE(formatOf(clamped, u"z"_qs).fontPointSize(), 1638.0);
    QCOMPARE(clamped.firstBlock().blockFormat().leftMargin(), TextFormat::twipsToUnits(-31680));

    const char interesting[] = "{}\\'*0123456789abcdefbinpictu- ;\"";
    QRandomGenerator random(20261210);
    for (const char *name : {"codepages.rtf", "bullets.rtf", "formats.rtf", "pictures.rtf"}) {
        const QByteArray original = fixture(name);
        for (qsizetype length = 0; length < original.size(); ++length) {
            QTextDocument document;
            QString error;
            if (!readInto(document, original.left(length), &error))
                QVERIFY(!error.isEmpty());
        }
        for (int round = 0; round < 300; ++round) {
            QByteArray mutated = original;
            for (int n = random.bounded(1, 6); n > 0; --n)
                mutated[random.bounded(6, int(mutated.size()))]
                    = interesting[random.bounded(int(sizeof interesting) - 1)];
            QTextDocument document;
            QString error;
            if (!readInto(document, mutated, &error))
                QVERIFY(!error.isEmpty());
        }
    }
}

void TestRtfReader::longDocumentsReadAsOnOneThread_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("message");
    const QByteArray tables = "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;}";
    QTest::newRow("whole") << longDocument(tables, "end\\par}", "\\par\r\n") << QString();
    QTest::newRow("last paragraph without mark")
        << longDocument(tables, "end}", "\\par\r\n") << QString();
    QTest::newRow("cut short") << longDocument(tables, "{\\b end", "\\par\r\n") << u"truncated"_qs;
    // Later tables change formats of paragraphs that may already be in the document.
    QTest::newRow("tables after the text")
        << longDocument({}, tables + "end\\par}", "\\par\r\n") << QString();
    QTest::newRow("one paragraph") << longDocument(tables, "}", "\\line ") << QString();
    // Cut anywhere, in a group or between paragraphs handed over.
    const QByteArray whole = longDocument(tables, "end\\par}", "\\par\r\n");
    for (const int cut : {1001, 7919, 15013, 30011})
        QTest::addRow("%d bytes cut off", cut) << whole.chopped(cut) << u"truncated"_qs;
}

void TestRtfReader::longDocumentsReadAsOnOneThread()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, message);
    QVERIFY(rtf.size() >= RtfReader::StreamingSize);
    QTextDocument two;
    QTextDocument one;
    QTextCursor twoCursor(&two);
    QTextCursor oneCursor(&one);
    const RtfReader::Result twoResult = RtfReader::read(rtf, twoCursor);
    const RtfReader::Result oneResult = RtfReader::read(rtf, oneCursor, 0, RtfReader::Threads::One);
    QVERIFY(twoResult.message.contains(message));
    QCOMPARE(twoResult.message, oneResult.message);
    QCOMPARE(twoResult.pictureMessage, oneResult.pictureMessage);
    compareDocuments(two, one);
    QVERIFY(two.blockCount() > 1 || message.isEmpty());
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
