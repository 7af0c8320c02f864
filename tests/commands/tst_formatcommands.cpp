#include "commands/commanddialogs.h"
#include "commands/commandmodule.h"
#include "commands/fontdialog.h"
#include "commands/filecommands.h"
#include "commands/imagelist.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// Answers the commands' dialogs as a user would, and records what was asked.
class FakeDialogs : public CommandDialogs
{
public:
    std::optional<TextFont> chooseFont(QWidget *, const TextFont &initial) override
    {
        asked << QStringLiteral("font");
        fontShown = initial;
        return font;
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &initial) override
    {
        asked << QStringLiteral("color");
        colorShown = initial;
        return color;
    }
    QString openFileName(QWidget *) override
    {
        asked << QStringLiteral("open");
        return fileName;
    }
    QString saveFileName(QWidget *) override
    {
        asked << QStringLiteral("save");
        return fileName;
    }
    bool setUpPrinter(QWidget *, QPrinter &printer) override
    {
        asked << QStringLiteral("print");
        if (pdfFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
        return true;
    }
    void showError(QWidget *, const QString &, const QString &text) override { errors << text; }

    std::optional<TextFont> font;
    std::optional<QColor> color;
    QString fileName;
    QString pdfFile;
    TextFont fontShown;
    QColor colorShown;
    QStringList asked;
    QStringList errors;
};

QByteArray rtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}"
           "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs16 "
           + body + "}";
}

} // namespace

// The formatting and file commands of the command module, run on a note
// editor that has the keyboard focus.
class tst_FormatCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void sizes_data();
    void sizes();
    void styleFlagsFlipAloneAndTicksFollowTheFormat_data();
    void styleFlagsFlipAloneAndTicksFollowTheFormat();
    void ticksShowTheFormatAtTheCaret();
    void sizeCommandsCheckOneAnother();
    void subAndSuperscriptStayUntilReset();
    void indentsAndFirstLineFollow();
    void bulletsRaiseAndDropTheIndent();
    void alignment_data();
    void alignment();
    void resetKeepsParagraphLayout();
    void highlights_data();
    void highlights();
    void highlightChosenWithNothingSelectedColoursTypedText();
    void noteColour();
    void setFontAppliesEveryChoice_data();
    void setFontAppliesEveryChoice();
    void fontDialogKeepsStylesAndEffects();
    void copyFormatFromCaretAndBlanks_data();
    void copyFormatFromCaretAndBlanks();
    void copyFormatAcrossNotesCarriesFontNotStyles();
    void commandsWithoutAFocusedNoteEditorDoNothing();
    void openInsertsAtTheCaret_data();
    void openInsertsAtTheCaret();
    void openFailuresLeaveTheNote_data();
    void openFailuresLeaveTheNote();
    void saveAsWritesTheSelection();
    void saveAsRefusedIsReported();
    void printToPdfHasTextOnEveryPage();

private:
    // The editor with rtf as its note, focused, its selection at start over length.
    TJvRichEdit *note(const QByteArray &body, int start = 0, int length = 0);

    TDM *m_dm = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    QWidget m_window;
    TJvRichEdit *m_editor = nullptr;
    TJvRichEdit *m_other = nullptr;
    QLineEdit *m_line = nullptr;
    QTemporaryDir m_folder;
};

void tst_FormatCommands::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_dm = new TDM(qApp);
    auto *layout = new QVBoxLayout(&m_window);
    m_editor = new TJvRichEdit(&m_window);
    m_other = new TJvRichEdit(&m_window);
    m_line = new QLineEdit(&m_window);
    for (TJvRichEdit *editor : {m_editor, m_other}) {
        // As in note windows: Open inserts, Save As writes the selection.
        editor->setStreamMode(TStreamMode::smSelection | TStreamMode::smPlainRtf
                              | TStreamMode::smUnicode);
        layout->addWidget(editor);
    }
    layout->addWidget(m_line);
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    QVERIFY(QTest::qWaitForWindowActive(&m_window));
}

void tst_FormatCommands::init()
{
    auto dialogs = std::make_unique<FakeDialogs>();
    m_dialogs = dialogs.get();
    m_dm->setDialogs(std::move(dialogs));
}

TJvRichEdit *tst_FormatCommands::note(const QByteArray &body, int start, int length)
{
    m_editor->setRtf(rtf(body));
    m_editor->setFocus();
    m_editor->setSelStart(start);
    m_editor->setSelLength(length);
    return m_editor;
}

void tst_FormatCommands::sizes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");

    QTest::newRow("smaller 9") << "acFontSmaller" << 9 << 7;
    QTest::newRow("smaller 8") << "acFontSmaller" << 8 << 6;
    QTest::newRow("smaller 7 stays") << "acFontSmaller" << 7 << 7;
    QTest::newRow("bigger 7") << "acFontInc" << 7 << 9;
    QTest::newRow("bigger 72, no limit") << "acFontInc" << 72 << 74;
    QTest::newRow("big") << "acBig" << 8 << 12;
    QTest::newRow("normal") << "acNormal" << 12 << 8;
    QTest::newRow("small") << "acSmall" << 12 << 7;
}

void tst_FormatCommands::sizes()
{
    QFETCH(QString, command);
    QFETCH(int, size);
    QFETCH(int, expected);

    TJvRichEdit *editor = note("\\fs" + QByteArray::number(size * 2) + " sized\\fs40  big", 0, 5);
    m_dm->action(command)->trigger();
    QCOMPARE(editor->SelAttributes().Size(), expected);
    editor->setSelStart(4);
    QCOMPARE(editor->SelAttributes().Size(), expected); // the whole selection
    editor->setSelStart(7);
    QCOMPARE(editor->SelAttributes().Size(), 20); // text beyond it stays
}

void tst_FormatCommands::styleFlagsFlipAloneAndTicksFollowTheFormat_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("flag");

    QTest::newRow("bold") << "RichEditBold1" << int(TFontStyle::fsBold);
    QTest::newRow("italic") << "RichEditItalic1" << int(TFontStyle::fsItalic);
    QTest::newRow("underline") << "RichEditUnderline1" << int(TFontStyle::fsUnderline);
    QTest::newRow("strikeout") << "RichEditStrikeOut1" << int(TFontStyle::fsStrikeOut);
}

void tst_FormatCommands::styleFlagsFlipAloneAndTicksFollowTheFormat()
{
    QFETCH(QString, command);
    QFETCH(int, flag);

    // Every other flag is on and must stay so.
    TJvRichEdit *editor = note("\\b\\i\\ul\\strike styled\\plain  plain", 0, 6);
    const TFontStyles all = TFontStyle::fsBold | TFontStyle::fsItalic | TFontStyle::fsUnderline
                            | TFontStyle::fsStrikeOut;
    QAction *action = m_dm->action(command);
    QVERIFY(action->isChecked());

    action->trigger();
    QCOMPARE(editor->SelAttributes().Style(), all & ~TFontStyles(TFontStyle(flag)));
    QVERIFY(!action->isChecked());
    action->trigger();
    QCOMPARE(editor->SelAttributes().Style(), all);
    QVERIFY(action->isChecked());

    // On plain text the same command switches the flag on.
    editor->setSelStart(7);
    editor->setSelLength(5);
    QVERIFY(!action->isChecked());
    action->trigger();
    QCOMPARE(editor->SelAttributes().Style(), TFontStyles(TFontStyle(flag)));
    QVERIFY(action->isChecked());
}

void tst_FormatCommands::ticksShowTheFormatAtTheCaret()
{
    TJvRichEdit *editor = note("\\qc {\\b bold} plain\\par\\qr {\\i\\ul right}\\par\\pard two", 2);
    const QList<QAction *> ticked{m_dm->action(CommandId::RichEditBold1),
                                  m_dm->action(CommandId::RichEditItalic1),
                                  m_dm->action(CommandId::RichEditUnderline1),
                                  m_dm->action(CommandId::RichEditAlignLeft1),
                                  m_dm->action(CommandId::RichEditAlignCenter1),
                                  m_dm->action(CommandId::RichEditAlignRight1)};
    const auto ticks = [&] {
        QString shown;
        for (QAction *action : ticked)
            shown += action->isChecked() ? u'x' : u'-';
        return shown;
    };
    QCOMPARE(ticks(), u"x---x-"_qs);
    editor->setSelStart(8); // in "plain": the character before the caret counts
    QCOMPARE(ticks(), u"----x-"_qs);
    editor->setSelStart(13);
    QCOMPARE(ticks(), u"-xx--x"_qs);
    editor->setSelStart(int(editor->document()->characterCount()) - 2);
    QCOMPARE(ticks(), u"---x--"_qs);
    // Another editor's format shows once it has the focus.
    m_other->setText(u"other"_qs);
    m_other->setFocus();
    m_other->selectAll();
    m_dm->action(CommandId::RichEditBold1)->trigger();
    m_other->setSelStart(2);
    QCOMPARE(ticks(), u"x--x--"_qs);
    m_dm->action(CommandId::RichEditAlignCenter1)->trigger();
    QCOMPARE(ticks(), u"x---x-"_qs);
}

void tst_FormatCommands::sizeCommandsCheckOneAnother()
{
    note("text", 0, 4);
    m_dm->action(CommandId::acBig)->trigger();
    m_dm->action(CommandId::acSmall)->trigger();
    QVERIFY(m_dm->action(CommandId::acSmall)->isChecked());
    QVERIFY(!m_dm->action(CommandId::acBig)->isChecked());
    QVERIFY(!m_dm->action(CommandId::acNormal)->isChecked());
}

void tst_FormatCommands::subAndSuperscriptStayUntilReset()
{
    TJvRichEdit *editor = note("x2", 1, 1);
    m_dm->action(CommandId::acSuperScript)->trigger();
    m_dm->action(CommandId::acSuperScript)->trigger();
    QCOMPARE(editor->SelAttributes().SubscriptStyle(), TSubscriptStyle::ssSuperscript);
    m_dm->action(CommandId::acSubScript)->trigger();
    QCOMPARE(editor->SelAttributes().SubscriptStyle(), TSubscriptStyle::ssSubscript);
    m_dm->action(CommandId::acFormatReset)->trigger();
    QCOMPARE(editor->SelAttributes().SubscriptStyle(), TSubscriptStyle::ssNone);
}

void tst_FormatCommands::indentsAndFirstLineFollow()
{
    TJvRichEdit *editor = note("\\li100\\fi-100 indented\\par\\pard next", 2, 0);
    QCOMPARE(editor->Paragraph().LeftIndent(), 5);

    m_dm->action(CommandId::acIndentDec)->trigger();
    QCOMPARE(editor->Paragraph().LeftIndent(), 0);
    QCOMPARE(editor->Paragraph().FirstIndent(), 0);
    m_dm->action(CommandId::acIndentDec)->trigger();
    QCOMPARE(editor->Paragraph().LeftIndent(), 0);
    m_dm->action(CommandId::acIndentInc)->trigger();
    QCOMPARE(editor->Paragraph().LeftIndent(), 10);
    QCOMPARE(editor->Paragraph().FirstIndent(), 10);
    m_dm->action(CommandId::acIndentInc)->trigger();
    QCOMPARE(editor->Paragraph().LeftIndent(), 20);
    QCOMPARE(editor->Paragraph().FirstIndent(), 20);

    editor->setSelStart(11);
    QCOMPARE(editor->Paragraph().LeftIndent(), 0); // the next paragraph stays
}

void tst_FormatCommands::bulletsRaiseAndDropTheIndent()
{
    TJvRichEdit *editor = note("plain\\par second", 0, 8);
    m_dm->action(CommandId::RichEditBullets1)->trigger();
    QCOMPARE(editor->Paragraph().Numbering(), TNumberingStyle::nsBullet);
    QCOMPARE(editor->Paragraph().LeftIndent(), 10);
    editor->setSelStart(7);
    QCOMPARE(editor->Paragraph().Numbering(), TNumberingStyle::nsBullet);

    editor->setSelLength(1);
    m_dm->action(CommandId::RichEditBullets1)->trigger();
    QCOMPARE(editor->Paragraph().Numbering(), TNumberingStyle::nsNone);
    QCOMPARE(editor->Paragraph().LeftIndent(), 0);
    QCOMPARE(editor->Text(), QStringLiteral("plain\r\nsecond"));
}

void tst_FormatCommands::alignment_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<TParaAlignment>("alignment");

    QTest::newRow("right") << "RichEditAlignRight1" << TParaAlignment::paRightJustify;
    QTest::newRow("center") << "RichEditAlignCenter1" << TParaAlignment::paCenter;
    QTest::newRow("left") << "RichEditAlignLeft1" << TParaAlignment::paLeftJustify;
}

void tst_FormatCommands::alignment()
{
    QFETCH(QString, command);
    QFETCH(TParaAlignment, alignment);

    TJvRichEdit *editor = note("\\qc one\\par\\qr two", 1, 0);
    m_dm->action(command)->trigger();
    QCOMPARE(editor->Paragraph().Alignment(), alignment);
}

void tst_FormatCommands::resetKeepsParagraphLayout()
{
    TJvRichEdit *editor
        = note("\\qc\\sb200\\sa200\\b\\i\\cf1\\highlight1\\fs40\\super styled", 0, 6);
    m_dm->action(CommandId::RichEditBullets1)->trigger();
    m_dm->action(CommandId::acFormatReset)->trigger();

    QCOMPARE(editor->SelAttributes().format(), editor->DefAttributes().format());
    QCOMPARE(editor->Paragraph().SpaceBefore(), 0);
    QCOMPARE(editor->Paragraph().SpaceAfter(), 0);
    QCOMPARE(editor->Paragraph().Alignment(), TParaAlignment::paCenter);
    QCOMPARE(editor->Paragraph().Numbering(), TNumberingStyle::nsBullet);
}

void tst_FormatCommands::highlights_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QColor>("color");

    QTest::newRow("red") << "acBKRed" << QColor(255, 128, 128);
    QTest::newRow("yellow") << "acBKYellow" << QColor(255, 255, 106);
    QTest::newRow("blue") << "acBKBlue" << QColor(191, 205, 219);
    QTest::newRow("reset color: the note colour") << "acResetColor" << QColor(10, 20, 30);
}

void tst_FormatCommands::highlights()
{
    QFETCH(QString, command);
    QFETCH(QColor, color);

    TJvRichEdit *editor = note("marked plain", 0, 6);
    editor->setColor(QColor(10, 20, 30));
    m_dm->action(command)->trigger();
    QCOMPARE(editor->SelAttributes().BackColor(), color);
    QVERIFY(editor->SelAttributes().format().hasProperty(QTextFormat::BackgroundBrush));
    editor->setSelStart(8);
    QVERIFY(!editor->SelAttributes().format().hasProperty(QTextFormat::BackgroundBrush));
}

void tst_FormatCommands::highlightChosenWithNothingSelectedColoursTypedText()
{
    TJvRichEdit *editor = note("ab", 1, 0);
    m_dialogs->color = QColor(0, 200, 0);
    m_dm->action(CommandId::acSetFontBKColor)->trigger();
    QCOMPARE(m_dialogs->asked, QStringList{"color"});
    QTest::keyClicks(editor, QStringLiteral("xy"));

    QCOMPARE(editor->Text(), QStringLiteral("axyb"));
    editor->setSelStart(1);
    editor->setSelLength(2);
    QCOMPARE(editor->SelAttributes().BackColor(), QColor(0, 200, 0));
    editor->setSelStart(3);
    editor->setSelLength(1);
    QVERIFY(!editor->SelAttributes().format().hasProperty(QTextFormat::BackgroundBrush));

    // The dialog starts at the selection's highlight; cancelled, it changes nothing.
    editor->setSelStart(1);
    editor->setSelLength(1);
    m_dialogs->color.reset();
    m_dm->action(CommandId::acSetFontBKColor)->trigger();
    QCOMPARE(m_dialogs->colorShown, QColor(0, 200, 0));
    QCOMPARE(editor->SelAttributes().BackColor(), QColor(0, 200, 0));
}

void tst_FormatCommands::noteColour()
{
    TJvRichEdit *editor = note("text", 0, 4);
    editor->setColor(QColor(1, 2, 3));
    m_dm->action(CommandId::acBKColor)->trigger(); // cancelled
    QCOMPARE(m_dialogs->colorShown, QColor(1, 2, 3));
    QCOMPARE(editor->Color(), QColor(1, 2, 3));

    m_dialogs->color = QColor(200, 220, 240);
    m_dm->action(CommandId::acBKColor)->trigger();
    QCOMPARE(editor->Color(), QColor(200, 220, 240));
    QVERIFY(!editor->SelAttributes().format().hasProperty(QTextFormat::BackgroundBrush));
}

void tst_FormatCommands::fontDialogKeepsStylesAndEffects()
{
    // The dialog the user sees: what it is opened with comes back unchanged.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(14);
    font.setItalic(true);
    font.setUnderline(true);
    font.setStrikeOut(true);
    FontDialog dialog(TextFont{font, QColor(Qt::red)});
    const TextFont chosen = dialog.selectedFont();
    QCOMPARE(chosen.font.pointSize(), 14);
    QVERIFY(chosen.font.italic());
    QVERIFY(chosen.font.underline());
    QVERIFY(chosen.font.strikeOut());
    QVERIFY(!chosen.font.bold());
    QCOMPARE(chosen.color, QColor(Qt::red));
}

void tst_FormatCommands::setFontAppliesEveryChoice_data()
{
    QTest::addColumn<int>("chosen");
    QTest::newRow("italic") << int(TFontStyle::fsItalic);
    QTest::newRow("bold and strikeout") << int(TFontStyle::fsBold | TFontStyle::fsStrikeOut);
    QTest::newRow("underline") << int(TFontStyle::fsUnderline);
    QTest::newRow("none: the underline taken off") << 0;
}

void tst_FormatCommands::setFontAppliesEveryChoice()
{
    QFETCH(int, chosen);
    const TFontStyles styles(chosen);
    TJvRichEdit *editor = note("\\cf1\\fs20\\ul styled", 0, 6);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(14);
    font.setBold(styles.testFlag(TFontStyle::fsBold));
    font.setItalic(styles.testFlag(TFontStyle::fsItalic));
    font.setUnderline(styles.testFlag(TFontStyle::fsUnderline));
    font.setStrikeOut(styles.testFlag(TFontStyle::fsStrikeOut));
    m_dialogs->font = TextFont{font, QColor(0, 0, 255)};
    m_dm->action(CommandId::acSetFont)->trigger();

    // The dialog shows the text's font, underline included.
    QCOMPARE(m_dialogs->fontShown.font.family(), QStringLiteral("Tahoma"));
    QCOMPARE(m_dialogs->fontShown.font.pointSize(), 10);
    QVERIFY(m_dialogs->fontShown.font.underline());
    QVERIFY(!m_dialogs->fontShown.font.bold());
    QCOMPARE(m_dialogs->fontShown.color, QColor(255, 0, 0));
    QCOMPARE(editor->SelAttributes().Name(), QStringLiteral("Courier New"));
    QCOMPARE(editor->SelAttributes().Size(), 14);
    QCOMPARE(editor->SelAttributes().Color(), QColor(0, 0, 255));
    QCOMPARE(editor->SelAttributes().Style(), styles);
}

void tst_FormatCommands::copyFormatFromCaretAndBlanks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");

    // The source "\f1\fs24\cf1 X" sits at 0; the target text at 1 is "   y".
    QTest::newRow("caret") << 1 << 0;
    QTest::newRow("three blanks") << 1 << 3;
}

void tst_FormatCommands::copyFormatFromCaretAndBlanks()
{
    QFETCH(int, start);
    QFETCH(int, length);

    TJvRichEdit *editor = note("z{\\f1\\fs24\\cf1 X}   y", 1, 0);
    QVERIFY(!m_dm->copyFormat().holding());
    const QImage empty = m_dm->action(CommandId::acCopyFormat)->icon().pixmap(16, 16).toImage();

    // The caret reads the character after it.
    m_dm->action(CommandId::acCopyFormat)->trigger();
    QVERIFY(m_dm->copyFormat().holding());
    QCOMPARE(m_dm->copyFormat().SelFormat()->Name, QStringLiteral("Courier New"));
    QCOMPARE(m_dm->copyFormat().SelFormat()->Size, 12);
    QCOMPARE(m_dm->action(CommandId::acCopyFormat)->icon().pixmap(16, 16).toImage(),
             ImageList::icon(70).pixmap(16, 16).toImage());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(editor->SelStart(), 1);
    QCOMPARE(editor->SelLength(), 0);

    // Given to the first of the blanks (or the one after the caret) only.
    editor->setSelStart(start + 1);
    editor->setSelLength(length);
    m_dm->action(CommandId::acCopyFormat)->trigger();
    QVERIFY(!m_dm->copyFormat().holding());
    QCOMPARE(m_dm->action(CommandId::acCopyFormat)->icon().pixmap(16, 16).toImage(), empty);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(editor->SelStart(), start + 1);
    QCOMPARE(editor->SelLength(), 0);

    const auto nameAt = [editor](int position) {
        editor->setSelStart(position);
        editor->setSelLength(1);
        return editor->SelAttributes().Name();
    };
    QCOMPARE(nameAt(start + 1), QStringLiteral("Courier New"));
    QCOMPARE(editor->SelAttributes().Color(), QColor(255, 0, 0));
    QCOMPARE(nameAt(start + 2), QStringLiteral("Tahoma"));
}

void tst_FormatCommands::copyFormatAcrossNotesCarriesFontNotStyles()
{
    note("{\\b\\i\\ul\\strike\\f1\\fs28\\cf1 source}", 0, 6);
    m_dm->action(CommandId::acCopyFormat)->trigger();

    m_other->setRtf(rtf("target"));
    m_other->setFocus();
    m_other->setSelStart(0);
    m_other->setSelLength(6);
    m_dm->action(CommandId::acCopyFormat)->trigger();

    QCOMPARE(m_other->SelAttributes().Name(), QStringLiteral("Courier New"));
    QCOMPARE(m_other->SelAttributes().Size(), 14);
    QCOMPARE(m_other->SelAttributes().Color(), QColor(255, 0, 0));
    QCOMPARE(m_other->SelAttributes().Style(), TFontStyles());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_FormatCommands::commandsWithoutAFocusedNoteEditorDoNothing()
{
    TJvRichEdit *editor = note("text", 0, 4);
    const QByteArray before = editor->toRtf();
    const QColor colour = editor->Color();
    m_dialogs->color = QColor(0, 0, 0);
    m_dialogs->font = TextFont::standard();
    m_dialogs->fileName = QFINDTESTDATA("tst_formatcommands.cpp");
    m_dialogs->pdfFile = m_folder.filePath(QStringLiteral("nothing.pdf"));
    m_line->setFocus();

    for (QAction *action : m_dm->actions()) {
        if (action->isEnabled() && action != m_dm->action(CommandId::acInsertObject))
            action->trigger();
    }
    QCOMPARE(editor->toRtf(), before);
    QCOMPARE(editor->Color(), colour);
    QCOMPARE(m_dialogs->asked, QStringList());
    QVERIFY(!m_dm->copyFormat().holding());
    QVERIFY(!QFile::exists(m_dialogs->pdfFile));
}

void tst_FormatCommands::openInsertsAtTheCaret_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("warned");

    QTest::newRow("rtf") << rtf("{\\b new}") << "new" << true << false;
    QTest::newRow("utf-8 text") << QByteArray("gr\xC3\xBCn\r\nzwei") << "gr\u00FCn\r\nzwei" << false
                                << false;
    QTest::newRow("8-bit text") << QByteArray("gr\xFCn") << "gr\u00FCn" << false << false;
    QTest::newRow("empty file") << QByteArray() << "" << false << false;
    // Cut short: what it holds goes in, and the user is told.
    QTest::newRow("damaged rtf") << QByteArray("{\\rtf1 {\\b cut short") << "cut short" << true
                                 << true;
}

void tst_FormatCommands::openInsertsAtTheCaret()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, inserted);
    QFETCH(bool, bold);
    QFETCH(bool, warned);

    const QString fileName = m_folder.filePath(QStringLiteral("open.any"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    TJvRichEdit *editor = note("before after", 7, 0);
    m_dialogs->fileName = fileName;
    m_dm->action(CommandId::FileOpen1)->trigger();
    QCOMPARE(editor->Text(), "before " + inserted + "after");
    QCOMPARE(m_dialogs->errors.size(), warned ? 1 : 0);
    if (warned)
        QVERIFY(m_dialogs->errors.constFirst().contains(QDir::toNativeSeparators(fileName)));
    if (!inserted.isEmpty()) {
        editor->setSelStart(7);
        editor->setSelLength(1);
        QCOMPARE(editor->SelAttributes().Bold(), bold);
    }
}

void tst_FormatCommands::openFailuresLeaveTheNote_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << "missing.rtf" << QByteArray() << qint64(-1) << "No such file";
    QTest::newRow("picture") << "picture.png" << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                             << qint64(0) << "neither a rich text nor a text file";
    QTest::newRow("huge") << "huge.txt" << QByteArray("x") << FileCommands::MaximumOpenSize + 1
                          << "larger than 50 MB";
}

void tst_FormatCommands::openFailuresLeaveTheNote()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);
    QFETCH(QString, reason);

    const QString fileName = m_folder.filePath(name);
    if (size >= 0) {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        // Grown without writing: the file takes no room on the disk.
        if (size > content.size())
            QVERIFY(file.resize(size));
    }

    TJvRichEdit *editor = note("before after", 7, 0);
    const QByteArray before = editor->toRtf();
    m_dialogs->fileName = fileName;
    m_dm->action(CommandId::FileOpen1)->trigger();
    QFile::remove(fileName);

    QCOMPARE(m_dialogs->errors.size(), 1);
    QVERIFY2(m_dialogs->errors.constFirst().contains(QDir::toNativeSeparators(fileName))
                 && m_dialogs->errors.constFirst().contains(reason),
             qPrintable(m_dialogs->errors.constFirst()));
    QCOMPARE(editor->toRtf(), before);
}

void tst_FormatCommands::saveAsWritesTheSelection()
{
    TJvRichEdit *editor = note("one {\\b two} {\\cf1 three} four", 4, 9);
    QCOMPARE(editor->SelText(), QStringLiteral("two three"));

    m_dm->action(CommandId::FileSaveAs1)->trigger(); // cancelled
    QCOMPARE(m_dialogs->asked, QStringList{"save"});

    // Whatever the extension, the file is RTF.
    m_dialogs->fileName = m_folder.filePath(QStringLiteral("two words.txt"));
    m_dm->action(CommandId::FileSaveAs1)->trigger();
    QCOMPARE(m_dialogs->errors, QStringList());
    QFile file(m_dialogs->fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QVERIFY(saved.startsWith("{\\rtf"));

    RichDocument copy;
    QVERIFY(copy.setRtf(saved));
    QCOMPARE(copy.Text(), QStringLiteral("two three"));
    copy.setSelStart(0);
    copy.setSelLength(1);
    QVERIFY(copy.SelAttributes().Bold());
    copy.setSelStart(4);
    copy.setSelLength(1);
    QVERIFY(!copy.SelAttributes().Bold());
    QCOMPARE(copy.SelAttributes().Color(), QColor(255, 0, 0));
    QCOMPARE(editor->Text(), QStringLiteral("one two three four"));
}

void tst_FormatCommands::saveAsRefusedIsReported()
{
    TJvRichEdit *editor = note("text", 0, 4);
    const QByteArray before = editor->toRtf();
    m_dialogs->fileName = m_folder.filePath(QStringLiteral("no folder/note.rtf"));
    m_dm->action(CommandId::FileSaveAs1)->trigger();
    QCOMPARE(m_dialogs->errors.size(), 1);
    QVERIFY(m_dialogs->errors.constFirst().contains(QDir::toNativeSeparators(m_dialogs->fileName)));
    QCOMPARE(editor->toRtf(), before);
}

void tst_FormatCommands::printToPdfHasTextOnEveryPage()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QFAIL("pdftotext is missing; scripts/packages brings it");

    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("Printed line %1").arg(i);
    TJvRichEdit *editor = note("", 0, 0);
    editor->setText(lines.join(QLatin1String("\r\n")));

    m_dm->action(CommandId::PrintDlg1)->trigger(); // cancelled: nothing printed
    QCOMPARE(m_dialogs->asked, QStringList{"print"});

    m_dialogs->pdfFile = m_folder.filePath(QStringLiteral("note.pdf"));
    m_dm->action(CommandId::PrintDlg1)->trigger();
    QCOMPARE(m_dialogs->errors, QStringList());

    const auto pageText = [&](int page) {
        QProcess process;
        const QString number = QString::number(page);
        process.start(pdftotext, {"-f", number, "-l", number, m_dialogs->pdfFile, "-"});
        process.waitForFinished();
        return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput())
                                       : QString();
    };
    QString all;
    int pages = 0;
    for (QString text = pageText(1); !text.isEmpty(); text = pageText(++pages + 1)) {
        QVERIFY2(text.contains(QLatin1String("Printed line")), qPrintable(text));
        all += text;
    }
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
    QVERIFY(all.contains(QLatin1String("Printed line 0\n")));
    QVERIFY(all.contains(QLatin1String("Printed line 199\n")));
}

QTEST_MAIN(tst_FormatCommands)
#include "tst_formatcommands.moc"
