#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "richtext/richdocument.h"
#include "richtext/textformat.h"
#include "../faultwarnings.h"

#include <cmath>
#include <memory>

class TestRichDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { failOnFaultWarnings(); }

    void positionsCountBreaksOnce();
    void selTextReplacesSelection_data();
    void selTextReplacesSelection();
    void selTextTakesInsertionAttributes();
    void setTextReplacesEverythingWithPlainText();
    void sizeDropsFractions();
    void flagsChangeOneAtATime();
    void underlineKindAndColourSwitchUnderliningOn();
    void attributesAssignFromAttributes();
    void attributesAssignFromFont();
    void nameAndBackColourLimits();
    void caretAttributesApplyToNextText();
    void numberingAdjustsLeftIndent_data();
    void numberingAdjustsLeftIndent();
    void paragraphWritesTouchSelectedParagraphsOnly();
    void indentsAndSpacesInPoints();
    void insertFormatTextKeepsSelectionNumbers();
    void insertFormatTextEdges();
    void insertGraphicSelectsItsPosition();
    void selectionStreamsWriteAndReadSelection();
    void wholeDocumentStreamReplacesDocument();
    void rtfCopyIgnoresSelectionMode();
    void fileRoundTripKeepsTextAndAttributes();
    void fileFormatByExtensionAndStreamFormat();
    void loadAndSaveFailuresReportErrors();
    void undoKeepsAtMostTheLimit();
    void measureTextHeightIsCappedAtScreen();
    void measureTextHeightAsOfWholeLayout_data();
    void measureTextHeightAsOfWholeLayout();
    void setContentCopiesWhatRtfCarries();

private:
    // "ab" and "cd" as two paragraphs.
    static void twoParagraphs(RichDocument &document) { document.setText("ab\r\ncd"); }
};

void TestRichDocument::positionsCountBreaksOnce()
{
    RichDocument document;
    twoParagraphs(document);
    QCOMPARE(document.Text(), QString("ab\r\ncd"));
    document.setSelStart(3);
    document.setSelLength(1);
    QCOMPARE(document.SelText(), QString("c"));
    document.setSelStart(1);
    document.setSelLength(3);
    QCOMPARE(document.SelText(), QString("b\rc"));
    QCOMPARE(document.SelStart(), 1);
    QCOMPARE(document.SelLength(), 3);

    // Out-of-range positions end at the last position.
    document.setSelStart(100);
    QCOMPARE(document.SelStart(), 5);
    document.setSelStart(4);
    document.setSelLength(10);
    QCOMPARE(document.SelLength(), 1);
}

void TestRichDocument::selTextReplacesSelection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");

    QTest::newRow("replace across break") << 1 << 3 << "X"
                                          << "aXd" << 2;
    QTest::newRow("empty deletes") << 1 << 3 << ""
                                   << "ad" << 1;
    QTest::newRow("insert at caret") << 2 << 0 << "!"
                                     << "ab!\r\ncd" << 3;
    QTest::newRow("CR LF is one break") << 0 << 0 << "x\r\ny"
                                        << "x\r\nyab\r\ncd" << 3;
    QTest::newRow("lone CR and LF break") << 5 << 0 << "\r1\n2"
                                          << "ab\r\ncd\r\n1\r\n2" << 9;
}

void TestRichDocument::selTextReplacesSelection()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, caret);

    RichDocument document;
    twoParagraphs(document);
    document.setSelStart(start);
    document.setSelLength(length);
    document.setSelText(text);
    QCOMPARE(document.Text(), expected);
    QCOMPARE(document.SelStart(), caret);
    QCOMPARE(document.SelLength(), 0);
}

void TestRichDocument::selTextTakesInsertionAttributes()
{
    RichDocument document;
    document.setText("plain bold");
    document.setSelStart(6);
    document.setSelLength(4);
    document.SelAttributes().setBold(true);

    // A selection starting in bold text is replaced by bold text.
    document.setSelText("BOLD");
    document.setSelStart(6);
    document.setSelLength(1);
    QVERIFY(document.SelAttributes().Bold());

    // Text inserted behind a picture is text, not another picture.
    document.setSelStart(0);
    document.InsertGraphic(QImage(4, 4, QImage::Format_RGB32), false);
    document.setSelStart(1);
    document.setSelText("t");
    document.setSelStart(1);
    document.setSelLength(1);
    QCOMPARE(document.SelectionType(), TSelectionTypes(TSelectionType::stText));
}

void TestRichDocument::setTextReplacesEverythingWithPlainText()
{
    RichDocument document;
    twoParagraphs(document);
    document.setSelStart(0);
    document.setSelLength(5);
    document.SelAttributes().setBold(true);
    document.Paragraph().setNumbering(TNumberingStyle::nsBullet);

    document.setText("new");
    QCOMPARE(document.Text(), QString("new"));
    QCOMPARE(document.SelStart(), 0);
    document.setSelLength(3);
    QVERIFY(!document.SelAttributes().Bold());
    QCOMPARE(document.SelAttributes().Name(), document.DefAttributes().Name());
    QCOMPARE(document.Paragraph().Numbering(), TNumberingStyle::nsNone);
}

void TestRichDocument::sizeDropsFractions()
{
    RichDocument document;
    document.setText("text");
    QTextCursor cursor(document.textDocument());
    cursor.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFontPointSize(11.5);
    cursor.mergeCharFormat(format);

    document.setSelStart(0);
    document.setSelLength(2);
    QCOMPARE(document.SelAttributes().Size(), 11);
    document.SelAttributes().setSize(14);
    QCOMPARE(document.SelAttributes().Size(), 14);
    document.setSelStart(3);
    document.setSelLength(1);
    QCOMPARE(document.SelAttributes().Size(), 11);

    // Text sized in pixels (pasted HTML) reads in points at 96 pixels per inch.
    QTextCharFormat pixels;
    pixels.setProperty(QTextFormat::FontPixelSize, 20);
    pixels.clearProperty(QTextFormat::FontPointSize);
    cursor.setCharFormat(pixels);
    QCOMPARE(document.SelAttributes().Size(), 15);
}

void TestRichDocument::flagsChangeOneAtATime()
{
    RichDocument document;
    document.setText("abc");
    document.setSelStart(0);
    document.setSelLength(3);
    TJvTextAttributes &attributes = document.SelAttributes();

    attributes.setStyle(TFontStyle::fsBold | TFontStyle::fsStrikeOut);
    QCOMPARE(attributes.Style(), TFontStyle::fsBold | TFontStyle::fsStrikeOut);
    attributes.setItalic(true);
    QCOMPARE(attributes.Style(),
             TFontStyle::fsBold | TFontStyle::fsStrikeOut | TFontStyle::fsItalic);
    attributes.setBold(false);
    QCOMPARE(attributes.Style(), TFontStyle::fsStrikeOut | TFontStyle::fsItalic);
    attributes.setStyle(TFontStyle::fsUnderline);
    QCOMPARE(attributes.Style(), TFontStyles(TFontStyle::fsUnderline));

    // A change on a mixed selection keeps each run's other attributes.
    document.setSelStart(0);
    document.setSelLength(1);
    attributes.setSize(20);
    document.setSelStart(0);
    document.setSelLength(3);
    attributes.setItalic(true);
    document.setSelLength(1);
    QCOMPARE(attributes.Size(), 20);
    document.setSelStart(2);
    document.setSelLength(1);
    QCOMPARE(attributes.Size(), 8);
    QVERIFY(attributes.Italic());
}

void TestRichDocument::underlineKindAndColourSwitchUnderliningOn()
{
    RichDocument document;
    document.setText("error");
    document.setSelStart(0);
    document.setSelLength(5);
    TJvTextAttributes &attributes = document.SelAttributes();
    QVERIFY(!attributes.Underline());

    attributes.setUnderlineType(TUnderlineType::utWave);
    QVERIFY(attributes.Underline());
    attributes.setUnderline(false);
    attributes.setUnderlineColor(TUnderlineColor::ucRed);
    QVERIFY(attributes.Underline());
    QCOMPARE(attributes.UnderlineType(), TUnderlineType::utSolid);
    attributes.setUnderlineType(TUnderlineType::utWave);

    QCOMPARE(int(attributes.UnderlineType()), 8);
    QCOMPARE(int(attributes.UnderlineColor()), 5);
    const QTextCharFormat drawn = QTextCursor(document.textDocument()->findBlock(0)).charFormat();
    QCOMPARE(drawn.underlineStyle(), QTextCharFormat::WaveUnderline);
    QCOMPARE(drawn.underlineColor(), QColor(Qt::red));

    // Underline on keeps the kind, off removes it.
    attributes.setUnderline(true);
    QCOMPARE(attributes.UnderlineType(), TUnderlineType::utWave);
    attributes.setStyle({});
    QCOMPARE(attributes.UnderlineType(), TUnderlineType::utNone);
}

void TestRichDocument::attributesAssignFromAttributes()
{
    RichDocument source;
    source.setText("x");
    source.setSelStart(0);
    source.setSelLength(1);
    TJvTextAttributes &from = source.SelAttributes();
    from.setName("Courier New");
    from.setSize(15);
    from.setColor(Qt::darkGreen);
    from.setStyle(TFontStyle::fsItalic);
    from.setSubscriptStyle(TSubscriptStyle::ssSuperscript);
    from.setBackColor(Qt::yellow);
    from.setUnderlineType(TUnderlineType::utDotted);

    RichDocument target;
    target.setText("target");
    target.setSelStart(0);
    target.setSelLength(6);
    target.SelAttributes().setBold(true);
    target.SelAttributes().Assign(from);
    TJvTextAttributes &to = target.SelAttributes();
    QCOMPARE(to.Name(), QString("Courier New"));
    QCOMPARE(to.Size(), 15);
    QCOMPARE(to.Color(), QColor(Qt::darkGreen));
    QCOMPARE(to.Style(), TFontStyle::fsItalic | TFontStyle::fsUnderline);
    QCOMPARE(to.SubscriptStyle(), TSubscriptStyle::ssSuperscript);
    QCOMPARE(to.BackColor(), QColor(Qt::yellow));
    QCOMPARE(to.UnderlineType(), TUnderlineType::utDotted);

    // Back to the defaults: highlight, superscript and colour go too.
    to.Assign(target.DefAttributes());
    QCOMPARE(to.Name(), target.DefAttributes().Name());
    QCOMPARE(to.Size(), 8);
    QCOMPARE(to.Color(), QColor());
    QCOMPARE(to.Style(), TFontStyles());
    QCOMPARE(to.SubscriptStyle(), TSubscriptStyle::ssNone);
    QCOMPARE(to.BackColor(), QGuiApplication::palette().color(QPalette::Base));
}

void TestRichDocument::attributesAssignFromFont()
{
    RichDocument document;
    document.setText("word");
    document.setSelStart(0);
    document.setSelLength(4);
    document.SelAttributes().setBackColor(Qt::cyan);
    document.SelAttributes().setSubscriptStyle(TSubscriptStyle::ssSubscript);
    document.SelAttributes().setItalic(true);

    QFont font("DejaVu Serif");
    font.setPointSize(13);
    font.setBold(true);
    document.SelAttributes().Assign(TextFont{font, QColor(0, 0, 255)});
    const TJvTextAttributes &attributes = document.SelAttributes();
    QCOMPARE(attributes.Name(), QString("DejaVu Serif"));
    QCOMPARE(attributes.Size(), 13);
    QCOMPARE(attributes.Color(), QColor(0, 0, 255));
    QCOMPARE(attributes.Style(), TFontStyles(TFontStyle::fsBold));
    QCOMPARE(attributes.BackColor(), QColor(Qt::cyan));
    QCOMPARE(attributes.SubscriptStyle(), TSubscriptStyle::ssSubscript);

    // The editor's Font is DefAttributes as a font.
    document.setFont(TextFont{font, QColor(Qt::red)});
    QCOMPARE(document.DefAttributes().Name(), QString("DejaVu Serif"));
    QCOMPARE(document.Font().color, QColor(Qt::red));
    QVERIFY(document.Font().font.bold());
    QCOMPARE(document.Font().font.pointSize(), 13);
}

void TestRichDocument::nameAndBackColourLimits()
{
    RichDocument document;
    document.setText("x");
    document.setSelLength(1);
    document.SelAttributes().setName(QString(40, QLatin1Char('N')));
    QCOMPARE(document.SelAttributes().Name(), QString(31, QLatin1Char('N')));
    QCOMPARE(document.SelAttributes().BackColor(),
             QGuiApplication::palette().color(QPalette::Base));
    QCOMPARE(document.DefAttributes().Color(), QColor());
}

void TestRichDocument::caretAttributesApplyToNextText()
{
    // A new, empty document is unchanged and gives new text the defaults.
    RichDocument fresh;
    QVERIFY(!fresh.Modified());
    QVERIFY(!fresh.textDocument()->isUndoAvailable());
    QFont face("DejaVu Serif");
    face.setPointSize(11);
    fresh.setFont(TextFont{face, QColor()});
    QVERIFY(!fresh.Modified());
    fresh.setSelText("new");
    fresh.setSelStart(0);
    fresh.setSelLength(3);
    QCOMPARE(fresh.SelAttributes().Name(), QString("DejaVu Serif"));
    const QTextCharFormat stored = QTextCursor(fresh.textDocument()->findBlock(0)).charFormat();
    QCOMPARE(stored.fontPointSize(), 11.0);

    RichDocument document;
    document.setText("ab");
    document.setSelStart(1);
    document.SelAttributes().setColor(Qt::blue);
    document.SelAttributes().setSize(12);
    QCOMPARE(document.SelAttributes().Color(), QColor(Qt::blue));
    document.setSelText("X");
    document.setSelStart(1);
    document.setSelLength(1);
    QCOMPARE(document.SelText(), QString("X"));
    QCOMPARE(document.SelAttributes().Color(), QColor(Qt::blue));
    QCOMPARE(document.SelAttributes().Size(), 12);
    document.setSelStart(0);
    document.setSelLength(1);
    QCOMPARE(document.SelAttributes().Color(), QColor());
}

void TestRichDocument::numberingAdjustsLeftIndent_data()
{
    QTest::addColumn<int>("leftIndent");
    QTest::addColumn<int>("numbering");
    QTest::addColumn<int>("expected");
    QTest::newRow("bullet raises 4 to 10") << 4 << int(TNumberingStyle::nsBullet) << 10;
    QTest::newRow("bullet keeps 30") << 30 << int(TNumberingStyle::nsBullet) << 30;
    QTest::newRow("bullet raises negative") << -5 << int(TNumberingStyle::nsBullet) << 10;
    QTest::newRow("none sets 0") << 30 << int(TNumberingStyle::nsNone) << 0;
}

void TestRichDocument::numberingAdjustsLeftIndent()
{
    QFETCH(int, leftIndent);
    QFETCH(int, numbering);
    QFETCH(int, expected);

    RichDocument document;
    document.setText("item");
    document.Paragraph().setFirstIndent(6);
    document.Paragraph().setLeftIndent(leftIndent);
    document.Paragraph().setNumbering(TNumberingStyle(numbering));
    QCOMPARE(document.Paragraph().LeftIndent(), expected);
    QCOMPARE(document.Paragraph().FirstIndent(), 6);
    QCOMPARE(int(document.Paragraph().Numbering()), numbering);
}

void TestRichDocument::paragraphWritesTouchSelectedParagraphsOnly()
{
    RichDocument document;
    document.setText("one\r\ntwo\r\nthree");
    // "one" with its break: the second paragraph is not touched.
    document.setSelStart(0);
    document.setSelLength(4);
    document.Paragraph().setAlignment(TParaAlignment::paCenter);
    document.Paragraph().setNumbering(TNumberingStyle::nsBullet);
    // From inside "two" into "three": both are touched.
    document.setSelStart(5);
    document.setSelLength(4);
    document.Paragraph().setAlignment(TParaAlignment::paRightJustify);

    const TParaAlignment expected[] = {TParaAlignment::paCenter, TParaAlignment::paRightJustify,
                                       TParaAlignment::paRightJustify};
    const int starts[] = {0, 4, 8};
    for (int i = 0; i < 3; ++i) {
        document.setSelStart(starts[i]);
        QCOMPARE(document.Paragraph().Alignment(), expected[i]);
        QCOMPARE(document.Paragraph().Numbering(),
                 i == 0 ? TNumberingStyle::nsBullet : TNumberingStyle::nsNone);
    }

    // Bullets over several paragraphs, then off again.
    document.setSelStart(0);
    document.setSelLength(12);
    document.Paragraph().setNumbering(TNumberingStyle::nsBullet);
    document.setSelStart(10);
    QCOMPARE(document.Paragraph().Numbering(), TNumberingStyle::nsBullet);
    document.setSelStart(0);
    document.setSelLength(12);
    document.Paragraph().setNumbering(TNumberingStyle::nsNone);
    for (QTextBlock block = document.textDocument()->begin(); block.isValid();
         block = block.next()) {
        QVERIFY(!block.textList());
        QCOMPARE(block.blockFormat().indent(), 0);
    }
}

void TestRichDocument::indentsAndSpacesInPoints()
{
    RichDocument document;
    document.setText("paragraph");
    TJvParaAttributes &paragraph = document.Paragraph();
    paragraph.setFirstIndent(20);
    paragraph.setLeftIndent(-7);
    paragraph.setSpaceBefore(3);
    paragraph.setSpaceAfter(12);
    QCOMPARE(paragraph.FirstIndent(), 20);
    QCOMPARE(paragraph.LeftIndent(), -7);
    QCOMPARE(paragraph.SpaceBefore(), 3);
    QCOMPARE(paragraph.SpaceAfter(), 12);

    // The block format holds \li and \fi in document units.
    const QTextBlockFormat format = document.textDocument()->begin().blockFormat();
    QCOMPARE(format.leftMargin(), TextFormat::pointsToUnits(13));
    QCOMPARE(format.textIndent(), TextFormat::pointsToUnits(7));

    // Reading drops fractions towards zero.
    QTextCursor cursor(document.textDocument());
    QTextBlockFormat fractional;
    fractional.setTopMargin(TextFormat::twipsToUnits(59));
    fractional.setTextIndent(TextFormat::twipsToUnits(39));
    cursor.mergeBlockFormat(fractional);
    QCOMPARE(paragraph.SpaceBefore(), 2);
    QCOMPARE(paragraph.LeftIndent(), -1);
}

void TestRichDocument::insertFormatTextKeepsSelectionNumbers()
{
    RichDocument document;
    document.setText("0123456789selected rest");
    document.setSelStart(10);
    document.setSelLength(8);
    QFont font("DejaVu Sans");
    font.setPointSize(10);
    document.InsertFormatText(4, "abc", TextFont{font, QColor(0, 0, 255)});

    QCOMPARE(document.Text(), QString("0123abc456789selected rest"));
    QCOMPARE(document.SelStart(), 10);
    QCOMPARE(document.SelLength(), 8);
    QCOMPARE(document.SelText(), QString("789selec"));

    document.setSelStart(4);
    document.setSelLength(3);
    QCOMPARE(document.SelAttributes().Color(), QColor(0, 0, 255));
    QCOMPARE(document.SelAttributes().Size(), 10);
    document.setSelStart(7);
    document.setSelLength(1);
    QCOMPARE(document.SelAttributes().Color(), QColor());
}

void TestRichDocument::insertFormatTextEdges()
{
    RichDocument document;
    document.setText("abcdef");
    document.setSelStart(2);
    document.setSelLength(2);
    const TextFont font = TextFont::standard();

    document.InsertFormatText(1, QString(), font);
    QCOMPARE(document.Text(), QString("abcdef"));

    // A negative index inserts at the selection's start.
    document.InsertFormatText(-1, "XY", font);
    QCOMPARE(document.Text(), QString("abXYcdef"));
    QCOMPARE(document.SelStart(), 2);
    QCOMPARE(document.SelLength(), 2);

    // Behind the selection nothing shifts; a break counts once.
    document.InsertFormatText(8, "\r\n=", font);
    QCOMPARE(document.Text(), QString("abXYcdef\r\n="));
    QCOMPARE(document.SelText(), QString("XY"));
}

void TestRichDocument::insertGraphicSelectsItsPosition()
{
    RichDocument document;
    document.setText("ab");
    document.setSelStart(1);
    QImage picture(30, 20, QImage::Format_ARGB32);
    picture.fill(Qt::green);
    document.InsertGraphic(picture, true);

    QCOMPARE(document.SelStart(), 1);
    QCOMPARE(document.SelLength(), 1);
    QCOMPARE(document.SelectionType(), TSelectionTypes(TSelectionType::stObject));
    QCOMPARE(document.Text(), QString("a") + QChar::ObjectReplacementCharacter + "b");

    document.setSelLength(2);
    QCOMPARE(document.SelectionType(),
             TSelectionType::stObject | TSelectionType::stText | TSelectionType::stMultiChar);
    document.setSelLength(0);
    QCOMPARE(document.SelectionType(), TSelectionTypes());
}

void TestRichDocument::selectionStreamsWriteAndReadSelection()
{
    RichDocument source;
    source.setText("first second third");
    source.setSelStart(6);
    source.setSelLength(6);
    source.SelAttributes().setBold(true);
    source.setStreamMode(TStreamMode::smSelection | TStreamMode::smPlainRtf);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QVERIFY(source.Lines().SaveToStream(buffer));
    QVERIFY(buffer.data().startsWith("{\\rtf"));

    RichDocument target;
    target.setText("<>");
    target.setStreamMode(TStreamMode::smSelection);
    target.setSelStart(1);
    buffer.seek(0);
    QVERIFY(target.Lines().LoadFromStream(buffer));
    QCOMPARE(target.Text(), QString("<second>"));
    QCOMPARE(target.SelStart(), 7);
    target.setSelStart(1);
    target.setSelLength(6);
    QVERIFY(target.SelAttributes().Bold());

    // Reading replaces the selection.
    buffer.seek(0);
    target.setSelStart(0);
    target.setSelLength(1);
    QVERIFY(target.Lines().LoadFromStream(buffer));
    QCOMPARE(target.Text(), QString("secondsecond>"));

    // With nothing selected the written document holds no text.
    source.setSelLength(0);
    QBuffer empty;
    empty.open(QIODevice::ReadWrite);
    QVERIFY(source.Lines().SaveToStream(empty));
    RichDocument check;
    empty.seek(0);
    QVERIFY(check.Lines().LoadFromStream(empty));
    QCOMPARE(check.Text(), QString());
}

void TestRichDocument::wholeDocumentStreamReplacesDocument()
{
    RichDocument source;
    source.setText("one\r\ntwo");
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QVERIFY(source.Lines().SaveToStream(buffer));

    RichDocument target;
    target.setText("old text that goes");
    target.Paragraph().setNumbering(TNumberingStyle::nsBullet);
    target.Paragraph().setAlignment(TParaAlignment::paCenter);
    target.setSelStart(5);
    QVERIFY(target.Modified());
    buffer.seek(0);
    QVERIFY(target.Lines().LoadFromStream(buffer));
    QCOMPARE(target.Text(), QString("one\r\ntwo"));
    QCOMPARE(target.SelStart(), 0);
    QVERIFY(!target.Modified());
    QVERIFY(!target.textDocument()->isUndoAvailable());
    QCOMPARE(target.Paragraph().Numbering(), TNumberingStyle::nsNone);
    QCOMPARE(target.Paragraph().Alignment(), TParaAlignment::paLeftJustify);
    target.setSelText("x");
    QVERIFY(target.Modified());
}

void TestRichDocument::rtfCopyIgnoresSelectionMode()
{
    // A note window's editor reads and writes selections, yet closing it copies
    // the whole note back.
    RichDocument window;
    window.setStreamMode(TStreamMode::smSelection | TStreamMode::smPlainRtf
                         | TStreamMode::smUnicode);
    window.setText("whole note");
    window.setSelStart(2);
    window.setSelLength(3);

    RichDocument board;
    board.setText("stale");
    QVERIFY(board.setRtf(window.toRtf()));
    QCOMPARE(board.Text(), QString("whole note"));
    QVERIFY(board.Lines().loadDamage().isEmpty());
    // A copy cut short is read as far as it goes, and says so.
    QVERIFY(board.setRtf("{\\rtf1 {{{{cut"));
    QCOMPARE(board.Text(), QString("cut"));
    QVERIFY(board.Lines().loadDamage().contains("truncated"));
    QVERIFY(board.setRtf(window.toRtf()));
    QVERIFY(board.Lines().loadDamage().isEmpty());

    // A new face drops the character set the old one was read with.
    QVERIFY(board.setRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 x}"));
    QVERIFY(board.toRtf().contains("\\fcharset134"));
    board.setSelStart(0);
    board.setSelLength(1);
    board.SelAttributes().setName("Arial");
    QVERIFY(!board.toRtf().contains("\\fcharset134"));
}

void TestRichDocument::fileRoundTripKeepsTextAndAttributes()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString fileName = folder.filePath("note.rtf");

    RichDocument source;
    source.setText(QString::fromUtf8("Größe\r\nsecond line\r\nthird"));
    source.setSelStart(0);
    source.setSelLength(5);
    source.SelAttributes().setSize(14);
    source.SelAttributes().setBold(true);
    source.setSelStart(6);
    source.setSelLength(6);
    source.SelAttributes().setUnderlineType(TUnderlineType::utWave);
    source.SelAttributes().setUnderlineColor(TUnderlineColor::ucRed);
    source.SelAttributes().setBackColor(Qt::yellow);
    source.Paragraph().setNumbering(TNumberingStyle::nsBullet);
    source.setSelStart(18);
    source.Paragraph().setAlignment(TParaAlignment::paCenter);
    source.Paragraph().setSpaceAfter(6);
    QString error;
    QVERIFY2(source.Lines().SaveToFile(fileName, &error), qPrintable(error));

    RichDocument loaded;
    QVERIFY2(loaded.Lines().LoadFromFile(fileName, &error), qPrintable(error));
    QCOMPARE(loaded.Text(), source.Text());
    loaded.setSelStart(0);
    loaded.setSelLength(5);
    QCOMPARE(loaded.SelAttributes().Size(), 14);
    QVERIFY(loaded.SelAttributes().Bold());
    loaded.setSelStart(6);
    loaded.setSelLength(6);
    QCOMPARE(loaded.SelAttributes().UnderlineType(), TUnderlineType::utWave);
    QCOMPARE(loaded.SelAttributes().UnderlineColor(), TUnderlineColor::ucRed);
    QCOMPARE(loaded.SelAttributes().BackColor(), QColor(Qt::yellow));
    QCOMPARE(loaded.Paragraph().Numbering(), TNumberingStyle::nsBullet);
    QCOMPARE(loaded.Paragraph().LeftIndent(), 10);
    loaded.setSelStart(18);
    QCOMPARE(loaded.Paragraph().Alignment(), TParaAlignment::paCenter);
    QCOMPARE(loaded.Paragraph().SpaceAfter(), 6);
}

void TestRichDocument::fileFormatByExtensionAndStreamFormat()
{
    QTemporaryDir folder;
    RichDocument document;
    document.setText(QString::fromUtf8("caf\u00e9\r\n\u20ac"));

    // Note editors write RTF whatever the extension.
    const QString text = folder.filePath("note.txt");
    QVERIFY(document.Lines().SaveToFile(text));
    QFile file(text);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("{\\rtf"));
    file.close();

    // By extension: plain text in the 8-bit code page with CR LF.
    document.setStreamFormat(TStreamFormat::sfDefault);
    QVERIFY(document.Lines().SaveToFile(text));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("caf\xe9\r\n\x80"));
    file.close();

    RichDocument loaded;
    loaded.setStreamFormat(TStreamFormat::sfDefault);
    QVERIFY(loaded.Lines().LoadFromFile(text));
    QCOMPARE(loaded.Text(), document.Text());
    // Plain text that is not RTF also reads as plain text in a rich editor.
    RichDocument rich;
    QVERIFY(rich.Lines().LoadFromFile(text));
    QCOMPARE(rich.Text(), document.Text());
}

void TestRichDocument::loadAndSaveFailuresReportErrors()
{
    QTemporaryDir folder;
    RichDocument document;
    document.setText("kept");
    QString error;

    QVERIFY(!document.Lines().LoadFromFile(folder.filePath("missing.rtf"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!document.Lines().SaveToFile(folder.filePath("no/such/folder/x.rtf"), &error));
    QVERIFY(!error.isEmpty());

    QBuffer closed;
    QVERIFY(!document.Lines().LoadFromStream(closed, &error));
    QCOMPARE(error, QString("Failed to Load Stream"));
    QVERIFY(!document.Lines().SaveToStream(closed, &error));
    QCOMPARE(error, QString("Failed to Save Stream"));

    QCOMPARE(document.Text(), QString("kept"));
}

void TestRichDocument::undoKeepsAtMostTheLimit()
{
    RichDocument document;
    QCOMPARE(document.UndoLimit(), 1000);
    document.setUndoLimit(5);
    for (int i = 0; i < 8; ++i) {
        document.setSelStart(i);
        document.setSelText("x");
    }
    QVERIFY(document.textDocument()->isUndoAvailable());
    QEXPECT_FAIL("", "QTextDocument offers no way to drop its oldest undo steps", Continue);
    QCOMPARE(document.textDocument()->availableUndoSteps(), 5);

    document.setUndoLimit(0);
    document.setSelText("y");
    QVERIFY(!document.textDocument()->isUndoAvailable());
}

void TestRichDocument::measureTextHeightIsCappedAtScreen()
{
    QImage surface(10, 10, QImage::Format_RGB32);
    RichDocument document;
    document.setText("one line");
    const int oneLine = document.MeasureTextHeight(250, &surface);
    QVERIFY(oneLine > 10);

    document.setText("one line\r\ntwo lines");
    const int twoLines = document.MeasureTextHeight(250, &surface);
    QVERIFY(twoLines > oneLine);

    // A narrower width wraps the same text onto more lines.
    document.setText(QString(40, QLatin1Char('w')).replace(QLatin1Char('w'), "word "));
    QVERIFY(document.MeasureTextHeight(60, &surface) > document.MeasureTextHeight(2000, &surface));

    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines << QString::number(i);
    document.setText(lines.join("\r\n"));
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    QCOMPARE(document.MeasureTextHeight(150, &surface), screenHeight + 10);
}

// Fonts of one and of twenty points; "\\par" ends a paragraph.
static QString denseWords(int paragraphs)
{
    return QStringLiteral("\\fs2 ")
           + (QString("word ").repeated(50) + "\\par ").repeated(paragraphs);
}

static QString tallLines(int count)
{
    return QStringLiteral("\\fs40 ") + QString("line\\par ").repeated(count);
}

void TestRichDocument::measureTextHeightAsOfWholeLayout_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("beyondScreen");

    QTest::newRow("two lines") << "one line\\par two lines" << false;
    QTest::newRow("many characters in less than a screen") << denseWords(60) << false;
    QTest::newRow("beyond the screen") << tallLines(200) << true;
    QTest::newRow("beyond the screen after many characters")
        << denseWords(60) + tallLines(200) << true;
    QTest::newRow("empty paragraphs in a large font") << "\\fs60\\par\\par" << false;
}

// Only the beginning of a long document is laid out: the height must be the
// one the whole document laid out gives.
void TestRichDocument::measureTextHeightAsOfWholeLayout()
{
    QFETCH(QString, content);
    QFETCH(bool, beyondScreen);

    RichDocument document;
    QVERIFY(document.setRtf("{\\rtf1 " + content.toLatin1() + "}"));
    QImage surface(10, 10, QImage::Format_RGB32);
    QCOMPARE(surface.logicalDpiY(), 96);
    const std::unique_ptr<QTextDocument> whole(document.textDocument()->clone());
    whole->setDocumentMargin(0);
    whole->documentLayout()->setPaintDevice(&surface);
    whole->setTextWidth(250);
    const int height = int(std::ceil(whole->documentLayout()->documentSize().height()));
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    QCOMPARE(height > screenHeight, beyondScreen);

    QCOMPARE(document.MeasureTextHeight(250, &surface), qMin(height, screenHeight) + 10);
}

void TestRichDocument::setContentCopiesWhatRtfCarries()
{
    RichDocument formatted;
    QVERIFY(formatted.setRtf("{\\rtf1{\\colortbl;\\red200\\green0\\blue0;}"
                             "\\qc\\b Title\\b0\\par\\ql plain \\cf1\\highlight1 red\\cf0 "
                             "\\i italic\\i0\\par}"));
    formatted.setSelStart(formatted.Text().size());
    formatted.InsertGraphic(QImage(8, 6, QImage::Format_RGB32), true);
    formatted.setSelStart(6);
    formatted.setSelLength(3);
    formatted.Paragraph().setNumbering(TNumberingStyle::nsBullet);
    formatted.setColor(QColor(10, 20, 30));

    // An empty note keeps the font of its default attributes in its one
    // paragraph, for the first text typed, and may have a bullet there.
    RichDocument empty;
    empty.setFont({QFont("Courier New", 24), QColor(0, 0, 255)});
    RichDocument emptyBullet;
    emptyBullet.Paragraph().setNumbering(TNumberingStyle::nsBullet);

    for (const RichDocument *source : {&formatted, &empty, &emptyBullet}) {
        // The default attributes belong to the document, not to its content.
        RichDocument viaRtf;
        viaRtf.DefAttributes().Assign(source->DefAttributes());
        QVERIFY(viaRtf.setRtf(source->toRtf()));

        RichDocument copy;
        copy.setText("old text\r\nand more");
        copy.setSelStart(5);
        copy.setSelLength(3);
        copy.DefAttributes().Assign(source->DefAttributes());
        copy.setContent(*source);
        QCOMPARE(copy.Text(), source->Text());
        // RTF leaves out the formats of an empty paragraph.
        const QTextBlock first = copy.textDocument()->begin();
        QCOMPARE(first.charFormat(), source->textDocument()->begin().charFormat());
        QCOMPARE(copy.toRtf(), source->toRtf());
        QCOMPARE(copy.toRtf(), viaRtf.toRtf());
        QCOMPARE(copy.SelStart(), 0);
        QCOMPARE(copy.SelLength(), 0);
        QVERIFY(!copy.Modified());
        QVERIFY(!copy.textDocument()->isUndoAvailable());
        QImage surface(10, 10, QImage::Format_RGB32);
        QCOMPARE(copy.MeasureTextHeight(250, &surface), source->MeasureTextHeight(250, &surface));
        QCOMPARE(copy.MeasureTextHeight(250, &surface), viaRtf.MeasureTextHeight(250, &surface));
    }
}

QTEST_MAIN(TestRichDocument)
#include "tst_richdocument.moc"
