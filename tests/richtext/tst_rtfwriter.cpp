#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include "richtext/listlabel.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "richtext/textformat.h"
#include "../faultwarnings.h"

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QFINDTESTDATA(u"data/"_qs + name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

bool read(QTextDocument &document, const QByteArray &rtf)
{
    QTextCursor cursor(&document);
    const RtfReader::Result result = RtfReader::read(rtf, cursor);
    if (!result.message.isEmpty())
        qWarning("%s", qPrintable(result.message));
    return result && !result.damaged();
}

QString familyOf(const QTextCharFormat &format, const QTextDocument &document)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.first();
    // Written as the face the generic default family stands for.
    return QFontInfo(document.defaultFont()).family();
}

// Every attribute of a character that a note keeps, as text.
QString describeCharacter(const QTextCharFormat &f, const QTextDocument &document)
{
    int underline = f.property(TextFormat::UnderlineType).toInt();
    if (!f.hasProperty(TextFormat::UnderlineType) && f.fontUnderline())
        underline = 1;
    QStringList parts = {
        familyOf(f, document),
        QString::number(f.hasProperty(QTextFormat::FontPointSize)
                            ? f.fontPointSize()
                            : document.defaultFont().pointSizeF()),
        f.fontWeight() >= QFont::DemiBold ? u"bold"_qs : QString(),
        f.fontItalic() ? u"italic"_qs : QString(),
        f.fontStrikeOut() ? u"strike"_qs : QString(),
        u"ul%1"_qs.arg(underline),
        underline ? f.underlineColor().name() : QString(),
        underline ? f.property(TextFormat::UnderlineColorIndex).toString() : QString(),
        f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QString(),
        f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QString(),
        QString::number(f.verticalAlignment()),
        f.isAnchor() ? u"link:"_qs + f.anchorHref() : QString(),
        u"offset%1"_qs.arg(f.baselineOffset()),
        u"capitals%1"_qs.arg(f.fontCapitalization()),
        f.textOutline().style() != Qt::NoPen ? u"outline"_qs : QString(),
    };
    if (f.isImageFormat()) {
        const QTextImageFormat image = f.toImageFormat();
        const QImage picture = document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                                   .value<QImage>()
                                   .convertToFormat(QImage::Format_ARGB32);
        parts << u"image %1x%2 %3x%4 %5"_qs.arg(image.width())
                     .arg(image.height())
                     .arg(picture.width())
                     .arg(picture.height())
                     .arg(qHashBits(picture.constBits(), picture.sizeInBytes()));
    } else if (f.objectType() == TextFormat::ForeignObjectType) {
        const QImage preview = f.property(TextFormat::ObjectPreview).value<QImage>();
        const QSizeF size = f.property(TextFormat::ObjectSize).toSizeF();
        parts << u"foreign "_qs
                     + QString::fromLatin1(f.property(TextFormat::RawRtfObject).toByteArray())
                     + u" %1x%2 %3x%4"_qs.arg(preview.width())
                           .arg(preview.height())
                           .arg(size.width())
                           .arg(size.height());
    }
    return parts.join(u'|');
}

// A paragraph's tab stops as "position:type:leader" in points.
QString tabStops(const QTextBlockFormat &format)
{
    const QByteArray leaders = format.property(TextFormat::TabLeaders).toByteArray();
    QStringList stops;
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    for (qsizetype i = 0; i < tabs.size(); ++i)
        stops << u"%1:%2:%3"_qs.arg(TextFormat::unitsToPoints(tabs[i].position))
                     .arg(tabs[i].type)
                     .arg(i < leaders.size() ? int(leaders[i]) : 0);
    return stops.join(u' ');
}

// The document as lines: one per paragraph with its attributes, one per run
// of characters with equal attributes.
QStringList describe(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat f = block.blockFormat();
        const auto n = [](qreal value) { return QString::number(value, 'f', 1); };
        lines << u"paragraph %1 %2 %3 %4 %5 %6 %7:%8 list %9 %10 direction %11 tabs %12"_qs
                     .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                     .arg(n(f.leftMargin()), n(f.textIndent()), n(f.rightMargin()),
                          n(f.topMargin()), n(f.bottomMargin()))
                     .arg(f.lineHeightType())
                     .arg(n(f.lineHeight()))
                     .arg(block.textList() ? block.textList()->format().style() : 0)
                     .arg(ListLabel::of(block))
                     .arg(f.hasProperty(QTextFormat::LayoutDirection) ? f.layoutDirection() : -1)
                     .arg(tabStops(f));
        if (block.length() == 1)
            lines << u"mark "_qs + describeCharacter(block.charFormat(), document);
        QString runText, runFormat;
        const QString text = block.text();
        for (int i = 0; i < text.size(); ++i) {
            QTextCursor cursor(const_cast<QTextDocument *>(&document));
            cursor.setPosition(block.position() + i + 1);
            const QString format = describeCharacter(cursor.charFormat(), document);
            if (format != runFormat && !runText.isEmpty()) {
                lines << runText + u" => "_qs + runFormat;
                runText.clear();
            }
            runFormat = format;
            runText += text.at(i);
        }
        if (!runText.isEmpty())
            lines << runText + u" => "_qs + runFormat;
    }
    return lines;
}

QImage testImage()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(2, 1, qRgb(0, 0, 255));
    return image;
}

// A note using every attribute the editor and the calculator set.
void buildNote(QTextDocument &document, bool withObjects)
{
    QTextCursor cursor(&document);
    const auto insert = [&](const QString &text, auto setup) {
        QTextCharFormat format;
        setup(format);
        cursor.insertText(text, format);
    };
    const auto paragraph = [&](auto setup) {
        QTextBlockFormat format;
        setup(format);
        cursor.insertBlock(format);
    };
    insert(u"Plain "_qs, [](QTextCharFormat &) {});
    insert(u"bold italic"_qs, [](QTextCharFormat &f) {
        f.setFontWeight(QFont::Bold);
        f.setFontItalic(true);
        f.setFontPointSize(11.5);
    });
    insert(u" struck"_qs, [](QTextCharFormat &f) { f.setFontStrikeOut(true); });
    insert(u" courier"_qs, [](QTextCharFormat &f) { f.setFontFamilies({u"Courier New"_qs}); });
    insert(u" H"_qs, [](QTextCharFormat &) {});
    insert(u"2"_qs,
           [](QTextCharFormat &f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); });
    insert(u"O x"_qs, [](QTextCharFormat &) {});
    insert(u"2"_qs,
           [](QTextCharFormat &f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
    paragraph([](QTextBlockFormat &f) { f.setAlignment(Qt::AlignHCenter); });
    insert(u"x * 4 = "_qs, [](QTextCharFormat &) {});
    insert(u"12.000000000"_qs, [](QTextCharFormat &f) { f.setForeground(QColor(0, 0, 255)); });
    insert(u" Unknown Name"_qs, [](QTextCharFormat &f) {
        f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        f.setProperty(TextFormat::UnderlineType, 8);
        f.setProperty(TextFormat::UnderlineColorIndex, 5);
        f.setUnderlineColor(QColor(255, 0, 0));
        f.setForeground(QColor(255, 0, 0));
    });
    paragraph([](QTextBlockFormat &f) {
        f.setAlignment(Qt::AlignRight);
        f.setTopMargin(TextFormat::pointsToUnits(6));
        f.setBottomMargin(TextFormat::pointsToUnits(12));
    });
    insert(u"highlight"_qs, [](QTextCharFormat &f) { f.setBackground(QColor(255, 255, 0)); });
    insert(u" plain underline"_qs, [](QTextCharFormat &f) { f.setFontUnderline(true); });
    insert(u" dotted"_qs, [](QTextCharFormat &f) {
        f.setUnderlineStyle(QTextCharFormat::DotLine);
        f.setProperty(TextFormat::UnderlineType, 4);
    });
    paragraph([](QTextBlockFormat &f) {
        f.setLeftMargin(TextFormat::pointsToUnits(30));
        f.setTextIndent(TextFormat::pointsToUnits(-10));
        f.setRightMargin(TextFormat::pointsToUnits(5));
        f.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        f.setAlignment(Qt::AlignJustify);
    });
    insert(u"see "_qs, [](QTextCharFormat &) {});
    insert(u"the site"_qs, [](QTextCharFormat &f) {
        f.setAnchor(true);
        f.setAnchorHref(u"https://example.com/?q=\"é\"&p=C:\\x"_qs);
    });
    insert(u" or "_qs, [](QTextCharFormat &) {});
    insert(u"mail"_qs, [](QTextCharFormat &f) {
        f.setAnchor(true);
        f.setAnchorHref(u"mailto:someone@example.org"_qs);
        f.setFontWeight(QFont::Bold);
    });
    paragraph([](QTextBlockFormat &) {});
    insert(u"{braces} \\back\\slash\ttab"_qs + QChar(QChar::LineSeparator)
               + u"nb\u00A0sp Ünïcödé € Привет 日本語 😊"_qs,
           [](QTextCharFormat &) {});
    paragraph([](QTextBlockFormat &f) { f.setLeftMargin(TextFormat::pointsToUnits(10)); });
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(1);
    QTextList *list = cursor.createList(bullets);
    insert(u"first item"_qs, [](QTextCharFormat &) {});
    paragraph([](QTextBlockFormat &f) { f.setLeftMargin(TextFormat::pointsToUnits(10)); });
    list->add(cursor.block());
    insert(u"second item"_qs, [](QTextCharFormat &) {});
    paragraph([](QTextBlockFormat &) {});
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    numbers.setIndent(1);
    cursor.createList(numbers);
    insert(u"numbered"_qs, [](QTextCharFormat &) {});
    paragraph([](QTextBlockFormat &) {});
    QTextCharFormat bigMark;
    bigMark.setFontPointSize(20);
    cursor.setBlockCharFormat(bigMark); // an empty paragraph keeps its height
    paragraph([](QTextBlockFormat &) {});
    if (withObjects) {
        insert(u"picture "_qs, [](QTextCharFormat &) {});
        document.addResource(QTextDocument::ImageResource, QUrl(u"note:picture"_qs), testImage());
        QTextImageFormat image;
        image.setName(u"note:picture"_qs);
        image.setWidth(30);
        image.setHeight(20);
        cursor.insertImage(image);
        insert(u" object "_qs, [](QTextCharFormat &) {});
        QTextCharFormat object;
        object.setObjectType(TextFormat::ForeignObjectType);
        object.setProperty(
            TextFormat::RawRtfObject,
            QByteArray("{\\object\\objemb\\objw600\\objh450{\\*\\objdata 01}{\\result{\\pict"
                       "\\wmetafile8 0100}}}"));
        object.setProperty(TextFormat::ObjectSize, QSizeF(40, 30));
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), object);
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), object);
        insert(u" end"_qs, [](QTextCharFormat &) {});
    }
}

// unrtf's plain text, the lines after its header, split into words.
QStringList unrtfWords(const QByteArray &rtf, const QString &folder)
{
    QFile file(folder + u"/note.rtf"_qs);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
        return {u"cannot write note.rtf"_qs};
    file.close();
    QProcess unrtf;
    unrtf.setWorkingDirectory(folder);
    unrtf.start(u"unrtf"_qs, {u"--text"_qs, u"note.rtf"_qs});
    if (!unrtf.waitForFinished(30000))
        return {u"unrtf did not finish"_qs};
    QString text = QString::fromLatin1(unrtf.readAllStandardOutput());
    text = text.mid(text.indexOf(u"-----------------\n"_qs) + 18);
    QStringList words;
    for (const QString &line : text.split(u'\n')) {
        if (!line.startsWith(u"###"_qs))
            words << line.split(QRegularExpression(u"\\s+"_qs), Qt::SkipEmptyParts);
    }
    return words;
}

// The words unrtf should print for text: its plain-text output shows each
// UTF-16 unit outside ASCII as "?" and a non-breaking space as nothing.
QStringList asciiWords(const QString &text)
{
    QString ascii;
    for (const QChar c : text) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            ascii += u' ';
        else if (c.unicode() < 0x80)
            ascii += c;
        else if (c.unicode() != 0xA0)
            ascii += u'?';
    }
    return ascii.split(QRegularExpression(u"\\s+"_qs), Qt::SkipEmptyParts);
}

// Converts the RTF files of folder with LibreOffice into the given format; false when it failed.
bool convertWithLibreOffice(const QString &folder, const QStringList &files, const QString &format)
{
    QProcess soffice;
    soffice.setWorkingDirectory(folder);
    soffice.start(u"soffice"_qs,
                  QStringList{u"-env:UserInstallation=file://"_qs + folder + u"/profile"_qs,
                              u"--headless"_qs, u"--convert-to"_qs, format}
                      + files);
    return soffice.waitForFinished(120000) && soffice.exitCode() == 0;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The tables of document, row by row: each cell's text (its paragraphs joined by blanks) with
// its spans, "-" for a cell covered by a merged one.
QList<QStringList> tableShapes(const QTextDocument &document)
{
    QList<QStringList> rows;
    const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
    for (const QTextFrame *frame : frames) {
        const auto *table = qobject_cast<const QTextTable *>(frame);
        if (!table)
            continue;
        rows << QStringList{u"table"_qs};
        for (int row = 0; row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column) {
                    cells << u"-"_qs;
                    continue;
                }
                QStringList text;
                for (QTextBlock block = document.findBlock(cell.firstPosition());
                     block.position() <= cell.lastPosition(); block = block.next())
                    text << block.text();
                cells << text.join(u' ')
                             + (cell.columnSpan() > 1 ? u" +%1c"_qs.arg(cell.columnSpan())
                                                      : QString())
                             + (cell.rowSpan() > 1 ? u" +%1r"_qs.arg(cell.rowSpan()) : QString());
            }
            rows << cells;
        }
    }
    return rows;
}

// The same of the tables of a LibreOffice flat document.
QList<QStringList> tableShapes(const QString &flatOdt)
{
    QList<QStringList> rows;
    const QString body = flatOdt.mid(flatOdt.indexOf(u"<office:body>"_qs));
    const QRegularExpression tables(u"<table:table .*?</table:table>"_qs,
                                    QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression tableRows(u"<table:table-row.*?</table:table-row>"_qs,
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression cells(
        u"<table:(table-cell|covered-table-cell)([^>]*?)(?:/>|>(.*?)</table:table-cell>)"_qs,
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression paragraphs(u"<text:p[^>]*?(?:/>|>(.*?)</text:p>)"_qs,
                                        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression span(u"number-(columns|rows)-spanned=\"(\\d+)\""_qs);
    for (const auto &table : tables.globalMatch(body)) {
        rows << QStringList{u"table"_qs};
        for (const auto &row : tableRows.globalMatch(table.captured())) {
            QStringList shown;
            for (const auto &cell : cells.globalMatch(row.captured())) {
                if (cell.captured(1) == u"covered-table-cell"_qs) {
                    shown << u"-"_qs;
                    continue;
                }
                QStringList text;
                for (const auto &paragraph : paragraphs.globalMatch(cell.captured(3)))
                    text << paragraph.captured(1).remove(QRegularExpression(u"<[^>]*>"_qs));
                QString spans;
                for (const auto &found : span.globalMatch(cell.captured(2)))
                    spans += u" +"_qs + found.captured(2) + found.captured(1).at(0);
                shown << text.join(u' ') + spans;
            }
            rows << shown;
        }
    }
    return rows;
}

QStringList matches(const QString &text, const QString &pattern)
{
    QStringList found;
    for (const auto &match : QRegularExpression(pattern).globalMatch(text))
        found << match.captured(1);
    return found;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { failOnFaultWarnings(); }

    void fixturesRoundTrip_data();
    void fixturesRoundTrip();
    void everyAttributeRoundTrips();
    void labelsDirectionAndTabsAreKept();
    void picturesAreWrittenAsPng();
    void rangesWriteThatPartOnly_data();
    void rangesWriteThatPartOnly();
    void wholeDocumentKeepsParagraphCount_data();
    void wholeDocumentKeepsParagraphCount();
    void unrtfReadsTheSameText();
    void unrtfReadsBulletsAndPictures();
    void libreOfficeShowsLabelsDirectionAndTabs();
    void tablesAreKept();
    void libreOfficeShowsTables();
};

void TestRtfWriter::fixturesRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    // Pieces the written RTF holds exactly once.
    QTest::addColumn<QByteArrayList>("written");
    const auto row = [](const char *name, const QByteArrayList &written = {}) {
        QTest::newRow(name) << QString::fromLatin1(name) << written;
    };
    for (const char *name :
         {"codepages.rtf", "bullets.rtf", "formats.rtf", "pictures.rtf", "fieldresult.rtf",
          "worddestinations.rtf", "upr.rtf", "macjapanese.rtf", "eastasian.rtf", "stylesheet.rtf",
          "listlevels.rtf", "listnotable.rtf", "table.rtf", "corruptpicture.rtf", "listlabels.rtf",
          "paragraphs.rtf", "tables.rtf"})
        row(name);
    row("fontnames.rtf", {"{\\f1\\fnil\\fcharset134 \\u23435?\\u20307?;}"});
    row("hidden.rtf", {"\\fs22\\v hidden}"});
    row("updown.rtf",
        {"\\fs24\\dn4 2}{\\f1\\fs24 O and x}{\\f1\\fs24\\up6 2}", "\\fs20\\up4\\caps both}"});
    // PNG and JPEG files are written as they were read, not encoded again.
    row("picturebytes.rtf", {"\\jpegblip\\picw4\\pich2\\picwgoal900\\pichgoal360", "\\pngblip"});
}

void TestRtfWriter::fixturesRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QByteArrayList, written);
    QTextDocument original;
    QVERIFY(read(original, fixture(name)));
    const QByteArray rtf = RtfWriter::write(original);
    QTextDocument copy;
    QVERIFY(read(copy, rtf));
    QCOMPARE(describe(copy), describe(original));
    QCOMPARE(RtfWriter::write(copy), rtf);
    const QByteArray flat = QByteArray(rtf).replace("\r\n", "");
    for (const QByteArray &piece : written)
        QVERIFY2(flat.count(piece) == 1, piece.constData());
    // A picture file kept as read is written as it is.
    for (QTextBlock::iterator it = original.begin().begin(); !it.atEnd(); ++it) {
        const QByteArray file
            = it.fragment().charFormat().property(TextFormat::PictureData).toByteArray();
        QVERIFY(file.isEmpty() || flat.contains(file.toHex()));
    }
}

void TestRtfWriter::everyAttributeRoundTrips()
{
    QTextDocument original;
    buildNote(original, true);
    const QByteArray written = RtfWriter::write(original);
    QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(written.endsWith("}\r\n"));
    QVERIFY(written.contains("\\ulwave\\ulc"));
    QVERIFY(written.contains("\\highlight"));
    QVERIFY(written.contains("{\\pntext\\f"));
    QVERIFY(written.contains("\\u8364?"));
    // The default font is a face other readers find, not a generic family name.
    const QString face = QFontInfo(original.defaultFont()).family();
    QVERIFY(!written.contains("Sans Serif"));
    QVERIFY2(written.contains("{\\f0\\fnil\\fcharset0 " + face.toLatin1() + ";}"),
             written.constData());
    for (const char c : written)
        QVERIFY2(uchar(c) < 0x80, "the writer's RTF is 7-bit");
    QTextDocument copy;
    QVERIFY(read(copy, written));
    QCOMPARE(describe(copy), describe(original));
}

void TestRtfWriter::labelsDirectionAndTabsAreKept()
{
    QTextDocument lists, paragraphs;
    QVERIFY(read(lists, fixture(u"listlabels.rtf"_qs)));
    QVERIFY(read(paragraphs, fixture(u"paragraphs.rtf"_qs)));
    QTextDocument listsCopy, paragraphsCopy;
    QVERIFY(read(listsCopy, RtfWriter::write(lists)));
    QVERIFY(read(paragraphsCopy, RtfWriter::write(paragraphs)));
    const QStringList labels = {u"3."_qs,     u"4."_qs,  u"(a)"_qs, u"(b)"_qs, u"iv)"_qs, u"-"_qs,
                                u"\u2022"_qs, u"(b)"_qs, u"(c)"_qs, u"-"_qs,   QString()};
    for (const QTextDocument *document : {&lists, &listsCopy}) {
        QStringList shown;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            shown << ListLabel::of(block);
        QCOMPARE(shown.mid(0, labels.size()), labels);
    }
    for (const QTextDocument *document : {&paragraphs, &paragraphsCopy}) {
        QTextBlock block = document->begin();
        QCOMPARE(block.blockFormat().layoutDirection(), Qt::RightToLeft);
        block = block.next();
        QCOMPARE(block.blockFormat().layoutDirection(), Qt::LeftToRight);
        block = block.next();
        QCOMPARE(tabStops(block.blockFormat()), u"72:0:0 288:1:1 360:2:0 432:3:2"_qs);
        block = block.next();
        QCOMPARE(tabStops(block.blockFormat()), u"150:0:3 200:1:4 250:0:5"_qs);
        QVERIFY(block.next().blockFormat().tabPositions().isEmpty());
    }
}

void TestRtfWriter::picturesAreWrittenAsPng()
{
    QTextDocument original;
    buildNote(original, true);
    const QByteArray written = RtfWriter::write(original);
    QVERIFY(written.contains("{\\pict\\pngblip\\picw3\\pich2\\picwgoal450\\pichgoal300"));
    // The foreign object is written back byte for byte, twice.
    QCOMPARE(written.count("{\\object\\objemb\\objw600\\objh450{\\*\\objdata "
                           "01}{\\result{\\pict\\wmetafile8 0100}}}"),
             2);
}

void TestRtfWriter::rangesWriteThatPartOnly_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("blocks");
    QTest::newRow("two words") << u"bold"_qs << u"struck"_qs
                               << QStringList{u"bold italic struck"_qs};
    QTest::newRow("across a paragraph break")
        << u"O x"_qs << u"x * 4"_qs << QStringList{u"O x2"_qs, u"x * 4"_qs};
    QTest::newRow("nothing") << u"bold"_qs << QString() << QStringList{QString()};
}

void TestRtfWriter::rangesWriteThatPartOnly()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, blocks);
    QTextDocument original;
    buildNote(original, false);
    const int start = original.find(from).selectionStart();
    const int end = to.isNull() ? start : original.find(to).selectionEnd();
    QTextDocument copy;
    QVERIFY(read(copy, RtfWriter::write(original, start, end)));
    QStringList texts;
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next())
        texts << block.text();
    QCOMPARE(texts, blocks);
    if (!blocks.first().isEmpty()) {
        QTextCursor cursor(&copy);
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight(), original.find(from).charFormat().fontWeight());
    }
}

void TestRtfWriter::wholeDocumentKeepsParagraphCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one") << u"one"_qs;
    QTest::newRow("empty last paragraph") << u"one\n"_qs;
    QTest::newRow("blank lines") << u"\n\na\n\n"_qs;
}

void TestRtfWriter::wholeDocumentKeepsParagraphCount()
{
    QFETCH(QString, text);
    QTextDocument original;
    original.setPlainText(text);
    QTextDocument copy;
    QVERIFY(read(copy, RtfWriter::write(original)));
    QCOMPARE(copy.blockCount(), original.blockCount());
    QCOMPARE(copy.toPlainText(), text);
}

void TestRtfWriter::unrtfReadsTheSameText()
{
    if (QStandardPaths::findExecutable(u"unrtf"_qs).isEmpty())
        QFAIL("unrtf is missing; scripts/packages brings it");
    QTemporaryDir folder;
    QTextDocument document;
    buildNote(document, false);
    QStringList words = unrtfWords(RtfWriter::write(document), folder.path());
    // List marks are no text of the note (unrtf shows the Symbol font's bullet as a quote).
    QCOMPARE(words.removeAll(u"\""_qs), 2);
    QCOMPARE(words.removeAll(u"1."_qs), 1);
    QCOMPARE(words, asciiWords(document.toRawText()));
}

void TestRtfWriter::unrtfReadsBulletsAndPictures()
{
    if (QStandardPaths::findExecutable(u"unrtf"_qs).isEmpty())
        QFAIL("unrtf is missing; scripts/packages brings it");
    QTemporaryDir folder;
    QTextDocument document;
    buildNote(document, true);
    const QStringList words = unrtfWords(RtfWriter::write(document), folder.path());
    // Bullets show as some mark of unrtf's own before their paragraph's text.
    QVERIFY(words.indexOf(u"first"_qs) < words.indexOf(u"second"_qs));
    QVERIFY(words.indexOf(u"numbered"_qs) > words.indexOf(u"second"_qs));
    // unrtf extracts the picture as the PNG file it is.
    const QImage extracted(folder.filePath(u"pict001.png"_qs));
    QCOMPARE(extracted.convertToFormat(QImage::Format_RGB32), testImage());
}

// A word processor shows the lists, directions and tab stops of what the writer wrote as the
// note shows them.
void TestRtfWriter::libreOfficeShowsLabelsDirectionAndTabs()
{
    if (QStandardPaths::findExecutable(u"soffice"_qs).isEmpty())
        QFAIL("soffice is missing; scripts/packages brings it");
    QTemporaryDir folder;
    for (const QString &name : {u"listlabels"_qs, u"paragraphs"_qs}) {
        QTextDocument document;
        QVERIFY(read(document, fixture(name + u".rtf"_qs)));
        QFile file(folder.filePath(name + u".rtf"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(RtfWriter::write(document));
    }
    QVERIFY(convertWithLibreOffice(folder.path(), {u"listlabels.rtf"_qs}, u"txt:Text"_qs));
    QVERIFY(convertWithLibreOffice(folder.path(), {u"listlabels.rtf"_qs, u"paragraphs.rtf"_qs},
                                   u"fodt"_qs));
    // Its plain text shows every bullet as a round one; the bullets themselves are in the lists'
    // styles.
    QStringList lines;
    for (QString line : readText(folder.filePath(u"listlabels.txt"_qs)).split(u'\n'))
        lines << line.remove(QChar(0xFEFF)).trimmed();
    QCOMPARE(lines.mid(0, 11),
             QStringList({u"3. Three"_qs, u"4. Four"_qs, u"(a) Alpha"_qs, u"(b) Beta"_qs,
                          u"iv) Gamma"_qs, u"\u2022 Dash"_qs, u"\u2022 Round"_qs, u"(b) Table b"_qs,
                          u"(c) Table c"_qs, u"\u2022 Table dash"_qs, u"Plain"_qs}));
    const QString lists = readText(folder.filePath(u"listlabels.fodt"_qs));
    QVERIFY(matches(lists, u"text:bullet-char=\"([^\"]*)\""_qs).contains(u"-"_qs));
    const QString paragraphs = readText(folder.filePath(u"paragraphs.fodt"_qs));
    QCOMPARE(matches(paragraphs, u"style:writing-mode=\"(r[^\"]*)\""_qs), QStringList{u"rl-tb"_qs});
    // The equals-sign leader is one LibreOffice does not know.
    QCOMPARE(matches(paragraphs, u"<style:tab-stop ([^>]*)/>"_qs),
             QStringList({
                 u"style:position=\"1in\""_qs,
                 u"style:position=\"4in\" style:type=\"right\" style:leader-style=\"dotted\" "
                 "style:leader-text=\".\""_qs,
                 u"style:position=\"5in\" style:type=\"center\""_qs,
                 u"style:position=\"6in\" style:type=\"char\" style:char=\".\" "
                 "style:leader-style=\"solid\" style:leader-text=\"-\""_qs,
                 u"style:position=\"2.0835in\" style:leader-style=\"solid\" "
                 "style:leader-text=\"_\""_qs,
                 u"style:position=\"2.778in\" style:type=\"right\" style:leader-style=\"solid\" "
                 "style:leader-text=\"_\""_qs,
                 u"style:position=\"3.472in\""_qs,
             }));
}

void TestRtfWriter::tablesAreKept()
{
    QTextDocument original;
    QVERIFY(read(original, fixture(u"tables.rtf"_qs)));
    QTextDocument copy;
    QVERIFY(read(copy, RtfWriter::write(original)));
    const QList<QStringList> shapes = {
        {u"table"_qs},
        {u"a"_qs, u"bold red"_qs},
        {u"c"_qs, u"d"_qs},
        {u"table"_qs},
        {u"wide +2c"_qs, u"-"_qs, u"x"_qs},
        {u"tall +2r"_qs, u"y"_qs, u"z"_qs},
        {u"-"_qs, u"v"_qs, u"w"_qs},
        {u"table"_qs},
        {u"Heading Second"_qs, u"plain"_qs},
    };
    QCOMPARE(tableShapes(original), shapes);
    QCOMPARE(tableShapes(copy), shapes);
    for (const QTextDocument *document : {&original, &copy}) {
        const auto *first = qobject_cast<QTextTable *>(document->rootFrame()->childFrames().at(0));
        const QList<QTextLength> widths = first->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QCOMPARE(widths[0], QTextLength(QTextLength::FixedLength, TextFormat::twipsToUnits(1440)));
        QCOMPARE(widths[1], QTextLength(QTextLength::FixedLength, TextFormat::twipsToUnits(2880)));
        // A numbered paragraph in a cell keeps its number.
        const QTextBlock heading = document->find(u"Heading"_qs).block();
        QCOMPARE(ListLabel::of(heading), u"3."_qs);
        QCOMPARE(ListLabel::of(heading.next()), u"4."_qs);
    }
}

// A word processor shows the rows and cells the writer wrote, merged cells merged.
void TestRtfWriter::libreOfficeShowsTables()
{
    if (QStandardPaths::findExecutable(u"soffice"_qs).isEmpty())
        QFAIL("soffice is missing; scripts/packages brings it");
    QTemporaryDir folder;
    QTextDocument document;
    QVERIFY(read(document, fixture(u"tables.rtf"_qs)));
    QFile file(folder.filePath(u"tables.rtf"_qs));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(RtfWriter::write(document));
    file.close();
    QVERIFY(convertWithLibreOffice(folder.path(), {u"tables.rtf"_qs}, u"fodt"_qs));
    QCOMPARE(tableShapes(readText(folder.filePath(u"tables.fodt"_qs))), tableShapes(document));
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
