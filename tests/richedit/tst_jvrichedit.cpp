#include <functional>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

#include "richedit/jvrichedit.h"
#include "richtext/textcontrast.h"

namespace {
// A data filter that runs a function, so that a test can say what it does.
class FunctionDataFilter : public EditorDataFilter
{
public:
    using Query = std::function<bool(const QMimeData *, bool, bool)>;
    explicit FunctionDataFilter(Query query)
        : m_query(std::move(query))
    {}
    bool queryAcceptData(const QMimeData *data, bool really, bool isDrop) override
    {
        return m_query(data, really, isDrop);
    }

private:
    Query m_query;
};

// A desktop theme with pale text on dark windows, as dark themes have.
QPalette darkPalette()
{
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::Base, QColor(42, 42, 42));
    dark.setColor(QPalette::Text, QColor(238, 238, 236));
    dark.setColor(QPalette::WindowText, QColor(238, 238, 236));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    dark.setColor(QPalette::ToolTipText, QColor(238, 238, 236));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// Sets the application's palette for the life of the object.
class ApplicationPalette
{
public:
    explicit ApplicationPalette(const QPalette &palette)
        : m_saved(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};
} // namespace

class TestJvRichEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsConfiguredAsNoteEditor();
    void typedTextTakesCaretAttributes();
    void colourAndScrollBars();
    void automaticTextReadsOnTheNoteColour_data();
    void automaticTextReadsOnTheNoteColour();
    void themeLeavesStoredTextAlone();
    void queryAcceptDataDecidesOnPaste();
    void copyAndPasteKeepAttributes();
    void dropsPassThroughQueryAcceptData();
    void urlClickReportsLinkText_data();
    void urlClickReportsLinkText();
    void doubleClickReportsAfterWordSelection();
    void selectionChangeIsReported();
    void updatesSuspendAndResume();
    void picturesResizeByTheirHandle_data();
    void picturesResizeByTheirHandle();
    void insertObjectDialogInsertsPictureFile_data();
    void insertObjectDialogInsertsPictureFile();
    void measureTextHeightIsCappedAtScreen();
    void printProducesEveryPage();

private:
    // Positions the pointer over the character at position.
    static QPoint pointAt(TJvRichEdit &edit, int position)
    {
        QTextCursor cursor(edit.textDocument());
        cursor.setPosition(position);
        const QRect before = edit.cursorRect(cursor);
        cursor.setPosition(position + 1);
        const QRect after = edit.cursorRect(cursor);
        return QPoint((before.left() + after.left()) / 2, before.center().y());
    }
};

void TestJvRichEdit::startsConfiguredAsNoteEditor()
{
    TJvRichEdit edit;
    const QString expectedFace
        = QFontDatabase::hasFamily("Tahoma")
              ? QString("Tahoma")
              // the face, not a generic family name other readers do not know
              : QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    QCOMPARE(edit.DefAttributes().Name(), expectedFace);
    QCOMPARE(edit.DefAttributes().Size(), 8);
    QCOMPARE(edit.DefAttributes().Color(), QColor());
    QCOMPARE(edit.Color(), QApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(edit.StreamFormat(), TStreamFormat::sfRichText);
    QCOMPARE(edit.StreamMode(), TStreamModes());
    QCOMPARE(edit.UndoLimit(), 1000);
    QVERIFY(edit.acceptRichText());
    QVERIFY(edit.acceptDrops());
    QCOMPARE(edit.textDocument(), edit.document());
}

void TestJvRichEdit::typedTextTakesCaretAttributes()
{
    TJvRichEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, "ab");
    edit.SelAttributes().setBold(true);
    edit.SelAttributes().setColor(Qt::blue);
    QTest::keyClicks(&edit, "CD");
    // Resetting to the defaults at the caret: typing goes on in the default format.
    edit.SelAttributes().Assign(edit.DefAttributes());
    QTest::keyClicks(&edit, "e");

    QCOMPARE(edit.Text(), QString("abCDe"));
    const bool bold[] = {false, false, true, true, false};
    for (int i = 0; i < 5; ++i) {
        edit.setSelStart(i);
        edit.setSelLength(1);
        QCOMPARE(edit.SelAttributes().Bold(), bold[i]);
        QCOMPARE(edit.SelAttributes().Color(), bold[i] ? QColor(Qt::blue) : QColor());
    }
    QVERIFY(edit.Modified());
}

void TestJvRichEdit::colourAndScrollBars()
{
    TJvRichEdit edit;
    edit.setColor(QColor(255, 128, 128));
    QCOMPARE(edit.palette().color(QPalette::Base), QColor(255, 128, 128));

    edit.setScrollBars(TScrollStyle::ssNone);
    QCOMPARE(edit.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(edit.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    edit.setScrollBars(TScrollStyle::ssBoth);
    QCOMPARE(edit.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

    edit.resize(200, 100);
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QString::number(i);
    edit.setText(lines.join("\r\n"));
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setVerticalScrollPosition(120);
    QCOMPARE(edit.VerticalScrollPosition(), 120);
    QCOMPARE(edit.verticalScrollBar()->value(), 120);
}

void TestJvRichEdit::automaticTextReadsOnTheNoteColour_data()
{
    QTest::addColumn<bool>("darkTheme");
    QTest::addColumn<QColor>("note");
    const QList<std::pair<const char *, QColor>> notes{{"pale yellow", QColor(255, 255, 225)},
                                                       {"red", QColor(255, 128, 128)},
                                                       {"yellow", QColor(255, 255, 106)},
                                                       {"blue", QColor(191, 205, 219)},
                                                       {"green", QColor(128, 255, 128)},
                                                       {"white", Qt::white},
                                                       {"mid grey", QColor(128, 128, 128)},
                                                       {"navy", QColor(0, 0, 128)},
                                                       {"black", Qt::black}};
    for (const bool dark : {false, true}) {
        for (const auto &[name, colour] : notes)
            QTest::addRow("%s theme, %s note", dark ? "dark" : "light", name) << dark << colour;
    }
    // A new note takes the theme's tool tip colour, which a dark theme makes dark.
    QTest::newRow("dark theme, new note") << true << QColor();
}

void TestJvRichEdit::automaticTextReadsOnTheNoteColour()
{
    QFETCH(bool, darkTheme);
    QFETCH(QColor, note);
    const ApplicationPalette theme(darkTheme ? darkPalette()
                                             : QApplication::style()->standardPalette());
    TJvRichEdit edit;
    if (note.isValid())
        edit.setColor(note);
    note = edit.Color();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor text = edit.palette().color(group, QPalette::Text);
        QVERIFY2(contrastRatio(text, note) >= 4.5,
                 qPrintable(QStringLiteral("%1 on %2").arg(text.name(), note.name())));
    }

    // What is drawn: typed text without a colour of its own reads on the note.
    edit.resize(200, 60);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, QStringLiteral("WWWW MMMM"));
    const QImage drawn = edit.viewport()->grab().toImage();
    int readable = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            readable += contrastRatio(drawn.pixelColor(x, y), note) >= 4.5;
    }
    QVERIFY2(readable >= 20, qPrintable(QString::number(readable)));
}

void TestJvRichEdit::themeLeavesStoredTextAlone()
{
    const auto typed = [](const QPalette &palette) {
        const ApplicationPalette theme(palette);
        TJvRichEdit edit;
        edit.setColor(QColor(255, 255, 225));
        QTest::keyClicks(&edit, QStringLiteral("typed in a theme"));
        return std::pair{edit.toRtf(), edit.SelAttributes().Color()};
    };
    const auto [light, lightColour] = typed(QApplication::style()->standardPalette());
    const auto [dark, darkColour] = typed(darkPalette());
    QCOMPARE(dark, light);
    QVERIFY(!darkColour.isValid());
}

void TestJvRichEdit::queryAcceptDataDecidesOnPaste()
{
    TJvRichEdit edit;
    edit.setText("[]");
    edit.setSelStart(1);
    bool takeOver = true;
    QList<bool> asked;
    auto *taking = new FunctionDataFilter([&](const QMimeData *data, bool really, bool isDrop) {
        asked << (data && really && !isDrop);
        if (!really || !takeOver)
            return false;
        edit.setSelText("handled");
        return true;
    });
    edit.installDataFilter(taking);
    // Installed last, asked first; declining, it leaves the data to the next.
    QStringList order;
    FunctionDataFilter declining([&](const QMimeData *, bool, bool) {
        order << "declining";
        return false;
    });
    edit.installDataFilter(&declining);

    QApplication::clipboard()->setText("pasted");
    edit.paste();
    QCOMPARE(edit.Text(), QString("[handled]"));
    QCOMPARE(asked, QList<bool>{true});
    QCOMPARE(order, QStringList{"declining"});

    takeOver = false;
    edit.paste();
    QCOMPARE(edit.Text(), QString("[handledpasted]"));

    // A filter that is gone is asked no more.
    delete taking;
    edit.paste();
    QCOMPARE(edit.Text(), QString("[handledpastedpasted]"));
    QCOMPARE(asked.size(), 2);
}

void TestJvRichEdit::copyAndPasteKeepAttributes()
{
    TJvRichEdit source;
    source.setText("calc error");
    source.setSelStart(5);
    source.setSelLength(5);
    source.SelAttributes().setUnderlineType(TUnderlineType::utWave);
    source.SelAttributes().setUnderlineColor(TUnderlineColor::ucRed);
    source.copy();
    QVERIFY(QApplication::clipboard()->mimeData()->hasFormat("text/rtf"));

    TJvRichEdit target;
    target.paste();
    QCOMPARE(target.Text(), QString("error"));
    target.setSelStart(0);
    target.setSelLength(5);
    QCOMPARE(target.SelAttributes().UnderlineType(), TUnderlineType::utWave);
    QCOMPARE(target.SelAttributes().UnderlineColor(), TUnderlineColor::ucRed);
}

void TestJvRichEdit::dropsPassThroughQueryAcceptData()
{
    TJvRichEdit edit;
    edit.resize(300, 100);
    edit.setText("drop here");
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    struct Query
    {
        bool really;
        bool isDrop;
    };
    QList<Query> queries;
    FunctionDataFilter filter([&](const QMimeData *data, bool really, bool isDrop) {
        queries.append({really, isDrop});
        if (!really || !data->hasUrls())
            return false;
        edit.setSelText('"' + data->urls().first().toLocalFile() + "\"\r\n");
        return true;
    });
    edit.installDataFilter(&filter);

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a file.txt")});
    const QPoint point = pointAt(edit, 0);
    QDragEnterEvent enter(point, Qt::CopyAction, &files, Qt::LeftButton, {});
    QApplication::sendEvent(edit.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(point, Qt::CopyAction, &files, Qt::LeftButton, {});
    QApplication::sendEvent(edit.viewport(), &drop);

    QCOMPARE(edit.Text(), QString("\"/tmp/a file.txt\"\r\ndrop here"));
    QVERIFY(queries.size() >= 2);
    QVERIFY(!queries.first().really);
    QVERIFY(queries.last().really);
    QVERIFY(queries.last().isDrop);
}

void TestJvRichEdit::urlClickReportsLinkText_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Ctrl+left on link") << 8 << int(Qt::LeftButton) << true << "www.example.org";
    QTest::newRow("Ctrl+left on its bold part")
        << 11 << int(Qt::LeftButton) << true << "www.example.org";
    // A plain click places the caret; the right button opens the menu.
    QTest::newRow("left on link") << 8 << int(Qt::LeftButton) << false << QString();
    QTest::newRow("Ctrl+right on link") << 16 << int(Qt::RightButton) << true << QString();
    QTest::newRow("Ctrl+left on plain text") << 2 << int(Qt::LeftButton) << true << QString();
}

void TestJvRichEdit::urlClickReportsLinkText()
{
    QFETCH(int, position);
    QFETCH(int, button);
    QFETCH(QString, expected);

    TJvRichEdit edit;
    edit.setContextMenuPolicy(Qt::NoContextMenu);
    edit.resize(400, 100);
    edit.setText("see www.example.org now");
    QTextCursor cursor(edit.textDocument());
    cursor.setPosition(4);
    cursor.setPosition(19, QTextCursor::KeepAnchor);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref("http://www.example.org");
    cursor.mergeCharFormat(link);
    // The link in two runs of different looks is still one link.
    cursor.setPosition(10);
    cursor.setPosition(13, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));

    QFETCH(bool, ctrl);
    edit.setSelStart(0);
    QSignalSpy clicks(&edit, &TJvRichEdit::OnURLClick);
    const QPoint point = pointAt(edit, position);
    const Qt::KeyboardModifiers modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
    QTest::mousePress(edit.viewport(), Qt::MouseButton(button), modifiers, point);
    QTest::mouseRelease(edit.viewport(), Qt::MouseButton(button), modifiers, point);
    if (expected.isEmpty()) {
        QCOMPARE(clicks.size(), 0);
        return;
    }
    QCOMPARE(edit.SelStart(), 0); // opening a link leaves the caret
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).toString(), expected);
    QCOMPARE(clicks.at(0).at(1).value<Qt::MouseButton>(), Qt::MouseButton(button));
}

void TestJvRichEdit::doubleClickReportsAfterWordSelection()
{
    TJvRichEdit edit;
    edit.resize(300, 100);
    edit.setText("alpha beta gamma");
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QString selectedThen;
    connect(&edit, &TJvRichEdit::OnDblClick, &edit, [&] { selectedThen = edit.SelText(); });
    QTest::mouseDClick(edit.viewport(), Qt::LeftButton, {}, pointAt(edit, 7));
    QCOMPARE(selectedThen, QString("beta"));
}

void TestJvRichEdit::selectionChangeIsReported()
{
    TJvRichEdit edit;
    edit.setText("some text");
    QSignalSpy changes(&edit, &TJvRichEdit::OnSelectionChange);
    edit.setSelStart(2);
    QCOMPARE(changes.size(), 1);
    edit.setSelLength(3);
    QCOMPARE(changes.size(), 2);
    edit.setSelLength(3);
    QCOMPARE(changes.size(), 2);
}

void TestJvRichEdit::updatesSuspendAndResume()
{
    TJvRichEdit edit;
    edit.Lines().BeginUpdate();
    edit.Lines().BeginUpdate();
    QVERIFY(!edit.viewport()->updatesEnabled());
    edit.Lines().EndUpdate();
    QVERIFY(!edit.viewport()->updatesEnabled());
    edit.Lines().EndUpdate();
    QVERIFY(edit.viewport()->updatesEnabled());
    edit.Lines().EndUpdate();
    QVERIFY(edit.viewport()->updatesEnabled());
}

void TestJvRichEdit::picturesResizeByTheirHandle_data()
{
    QTest::addColumn<bool>("sizeable");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("sizeable") << true << QSizeF(60, 40);
    QTest::newRow("fixed") << false << QSizeF(40, 30);
}

void TestJvRichEdit::picturesResizeByTheirHandle()
{
    QFETCH(bool, sizeable);
    QFETCH(QSizeF, expected);

    TJvRichEdit edit;
    edit.resize(300, 200);
    edit.setText("a\r\nb");
    edit.setSelStart(2);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    edit.InsertGraphic(picture, sizeable);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));

    // The handle sits at the picture's bottom right corner, which stands on the baseline.
    QTextCursor before(edit.textDocument());
    before.setPosition(2);
    const int left = edit.cursorRect(before).left();
    const QTextLine line = edit.textDocument()->findBlock(2).layout()->lineAt(0);
    const int baseline = int(edit.textDocument()->findBlock(2).layout()->position().y() + line.y()
                             + line.ascent());
    const QPoint corner(left + 39, baseline - 1);
    QTest::mousePress(edit.viewport(), Qt::LeftButton, {}, corner);
    QTest::mouseMove(edit.viewport(), corner + QPoint(20, 10));
    QTest::mouseRelease(edit.viewport(), Qt::LeftButton, {}, corner + QPoint(20, 10));

    QTextCursor image(edit.textDocument());
    image.setPosition(3);
    const QTextImageFormat format = image.charFormat().toImageFormat();
    QCOMPARE(QSizeF(format.width(), format.height()), expected);
    QCOMPARE(edit.Text(), QString("a\r\n") + QChar::ObjectReplacementCharacter + "b");
}

void TestJvRichEdit::insertObjectDialogInsertsPictureFile_data()
{
    QTest::addColumn<QString>("choice"); // "picture", "text" or "cancel"
    QTest::addColumn<bool>("inserted");
    QTest::newRow("picture") << "picture" << true;
    QTest::newRow("not a picture") << "text" << false;
    QTest::newRow("cancelled") << "cancel" << false;
}

void TestJvRichEdit::insertObjectDialogInsertsPictureFile()
{
    QFETCH(QString, choice);
    QFETCH(bool, inserted);

    QTemporaryDir folder;
    const QString pictureFile = folder.filePath("picture.png");
    QImage picture(12, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(pictureFile));
    const QString textFile = folder.filePath("text.png");
    QFile text(textFile);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();

    TJvRichEdit edit;
    edit.setText("[old]");
    edit.setSelStart(1);
    edit.setSelLength(3);
    // Answers the file dialog, and then the message about an unreadable file.
    const std::function<void()> answer = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (choice == "cancel") {
                dialog->reject();
            } else {
                dialog->selectFile(choice == "picture" ? pictureFile : textFile);
                static_cast<QDialog *>(dialog)->accept();
                QTimer::singleShot(0, &edit, answer);
            }
        } else if (auto *message = qobject_cast<QMessageBox *>(modal)) {
            message->accept();
        } else {
            QTimer::singleShot(10, &edit, answer);
        }
    };
    QTimer::singleShot(0, &edit, answer);

    QCOMPARE(edit.InsertObjectDialog(), inserted);
    if (!inserted) {
        QCOMPARE(edit.Text(), QString("[old]"));
        return;
    }
    QCOMPARE(edit.Text(), QString("[") + QChar::ObjectReplacementCharacter + "]");
    QCOMPARE(edit.SelStart(), 1);
    QCOMPARE(edit.SelectionType(), TSelectionTypes(TSelectionType::stObject));
}

void TestJvRichEdit::measureTextHeightIsCappedAtScreen()
{
    TJvRichEdit edit;
    edit.setText("a short note");
    const int height = edit.MeasureTextHeight(150, &edit);
    QVERIFY(height > 10);
    QVERIFY(height < 60);

    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QString("line %1").arg(i);
    edit.setText(lines.join("\r\n"));
    QCOMPARE(edit.MeasureTextHeight(150, &edit),
             QApplication::primaryScreen()->geometry().height() + 10);
}

void TestJvRichEdit::printProducesEveryPage()
{
    QTemporaryDir folder;
    const auto pagesPrinted = [&](const QString &text, const QString &name) {
        TJvRichEdit edit;
        edit.setText(text);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(name));
        if (!edit.Print("QelNotes", printer))
            return -1;
        QFile pdf(folder.filePath(name));
        if (!pdf.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray content = pdf.readAll();
        const QByteArray title("\xfe\xff\0Q\0e\0l\0N\0o\0t\0e\0s", 18);
        if (!content.contains(title)) // the job's title
            return -1;
        return int(QString::fromLatin1(content).count(
            QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
    };

    QCOMPARE(pagesPrinted("one line", "short.pdf"), 1);
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QString("line %1").arg(i);
    const int pages = pagesPrinted(lines.join("\r\n"), "long.pdf");
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
}

QTEST_MAIN(TestJvRichEdit)
#include "tst_jvrichedit.moc"
