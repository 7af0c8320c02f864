#include "calcdriver/calcdriver.h"
#include "commands/commanddialogs.h"
#include "commands/commandmodule.h"
#include "commands/cryptcommands.h"
#include "note/noteeditorpane.h"
#include "note/notehost.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "platform/datafolder.h"
#include "platform/intervaltimer.h"
#include "platform/settingsfile.h"
#include "plot/chartrenderer.h"
#include "richedit/jvrichedit.h"

#include "manualtime.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QUrl>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QWindow>

#include <functional>

namespace {

// The board as the frames see it, recording what they ask of it.
class FakeHost : public NoteHost
{
public:
    QWidget *hostWindow() override { return &window; }
    void hideBoard() override { calls << QStringLiteral("hideBoard"); }
    void SelectNote(TNoteFrame *frame) override { selected = frame; }
    void DeleteNote(TNoteFrame *frame) override
    {
        calls << QStringLiteral("DeleteNote");
        delete frame; // the board destroys the frame it deletes
    }
    void StoreNotes() override
    {
        calls << QStringLiteral("StoreNotes");
        if (onStore)
            onStore();
    }
    bool showHintEnabled() const override { return showHint; }
    bool stayOnTop() const override { return onTop; }
    void removeDeactivationHandler() override
    {
        calls << QStringLiteral("removeDeactivationHandler");
    }
    void restartAutoHideTimer() override {}
    QAction *editSelectAllAction() override { return nullptr; }
    QAction *fileSaveAsAction() override { return nullptr; }
    bool confirm(const QString &text) override
    {
        question = text;
        return answer;
    }
    void reportError(const QString &text) override { errors << text; }
    // The double-click wait runs only when the test fires it.
    const TimeSource &time() const override { return clock; }

    QWidget window;
    ManualTime clock;
    QStringList calls;
    TNoteFrame *selected = nullptr;
    bool onTop = false;
    bool showHint = false;
    bool answer = true;
    QString question;
    QStringList errors;
    std::function<void()> onStore;
};

// The user cancels every dialog a command shows.
class CancelledDialogs : public CommandDialogs
{
public:
    std::optional<TextFont> chooseFont(QWidget *, const TextFont &) override { return {}; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return {}; }
    QString openFileName(QWidget *) override { return {}; }
    QString saveFileName(QWidget *) override { return {}; }
    bool setUpPrinter(QWidget *, QPrinter &) override { return false; }
};

QByteArray rtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 " + body + "}";
}

} // namespace

class tst_NoteFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void titles_data();
    void titles();
    void deleteAsksWithTheCaption();
    void deletingANoteWithAnOpenWindow();
    void doubleClickOpensThenMinimisesAndRestores();
    void windowHoldsTheWholeNoteReadyToEdit();
    void windowHeightFollowsTheTextUpToSevenEighths();
    void closingTakesTextTitleAndColourBackThenStores();
    void storedPlaceOutsideEveryScreenComesBack();
    void ctrlSpaceTypesOnInTheDefaultFormat();
    void deleteKey_data();
    void deleteKey();
    void firstMenuEntryOwnsASharedShortcut_data();
    void firstMenuEntryOwnsASharedShortcut();
    void timers();
    void windowStaysOnTopExactlyWhileTheBoardDoes();
    void dropsBesideTheEditorAreTakenAndIgnored();
    void headerMovesSelectTheNote();
    void encryptedTextGoesBackIntoTheNoteAndComesOutAgain();
    void clickOpensTheWindowActiveAndTheSecondClickStaysOnTheBoard();
    void storedPlacePartlyOffTheScreenComesWhollyOn_data();
    void storedPlacePartlyOffTheScreenComesWhollyOn();
    void calcKeepsTheCaretInTheUsersText();
    void headerHintShowsWhileShowHintIsOn();
    void showingTheWindowMarksLinks();
    void periodicCheckMarksLinksOfAChangedNote();
    void calcDrawsPlotsToTheEditorsSize();

private:
    TNoteFrame *boardFrame(const QByteArray &note);
    // Opens the note's window and gives its editor the focus.
    TJvRichEdit *openWindow(TNoteFrame *frame);

    QTemporaryDir m_folder;
    TDM *m_dm = nullptr;
    FakeHost *m_host = nullptr;
    QList<QPointer<TNoteFrame>> m_frames;
};

void tst_NoteFrame::initTestCase()
{
    QVERIFY(m_folder.isValid());
    setDataFolderForTesting(m_folder.path());
    m_dm = new TDM(qApp);
    m_dm->setDialogs(std::make_unique<CancelledDialogs>());
}

void tst_NoteFrame::init()
{
    m_host = new FakeHost;
    QFile::remove(m_folder.filePath(QStringLiteral("QelNotes.ini")));
}

void tst_NoteFrame::cleanup()
{
    for (const QPointer<TNoteFrame> &frame : std::as_const(m_frames))
        delete frame.data();
    m_frames.clear();
    delete m_host;
}

TNoteFrame *tst_NoteFrame::boardFrame(const QByteArray &note)
{
    auto *frame = new TNoteFrame(*m_host, &m_host->window);
    m_frames.append(frame);
    if (!note.isNull())
        frame->LoadLines(m_folder.filePath(QStringLiteral("QelNotes_0.rtf")), note);
    return frame;
}

TJvRichEdit *tst_NoteFrame::openWindow(TNoteFrame *frame)
{
    frame->Panel1DblClick();
    if (!frame->Frm())
        return nullptr;
    TJvRichEdit *editor = frame->Frm()->editor();
    QApplication::setActiveWindow(frame->Frm());
    editor->setFocus();
    return editor;
}

void tst_NoteFrame::titles_data()
{
    QTest::addColumn<QByteArray>("note");
    QTest::addColumn<QString>("title");

    QTest::newRow("two lines, leading blanks")
        << rtf("  Shopping list\\par milk") << QStringLiteral("Shopping list..");
    QTest::newRow("one line of 26")
        << QByteArray("Remember the milk and eggs") << QStringLiteral("Remember the m..");
    QTest::newRow("long first line is whole")
        << rtf("A first line far longer than fourteen\\par x")
        << QStringLiteral("A first line far longer than fourteen..");
    QTest::newRow("empty") << QByteArray("") << QStringLiteral("..");
}

void tst_NoteFrame::titles()
{
    QFETCH(QByteArray, note);
    QFETCH(QString, title);

    TNoteFrame *frame = boardFrame(note);
    // The row shows the title before the note is read, and keeps it after.
    QCOMPARE(frame->caption(), title + QStringLiteral(".."));
    QVERIFY(!frame->noteRead());
    QCOMPARE(TNoteFrame::NoteTitle(frame->edit().Text()), title);
    QCOMPARE(frame->caption(), title + QStringLiteral(".."));
    QCOMPARE(frame->fileName(), m_folder.filePath(QStringLiteral("QelNotes_0.rtf")));

    // A row first shown after its note was read, or after its file was
    // rewritten from outside, shows the title of what the note holds then;
    // the row hears of the rewrite.
    TNoteFrame *readFirst = boardFrame(note);
    readFirst->readNote();
    QCOMPARE(readFirst->caption(), title + QStringLiteral(".."));
    TNoteFrame *rewritten = boardFrame(rtf("Before\\par x"));
    QSignalSpy header(rewritten, &TNoteFrame::headerChanged);
    rewritten->reload(rewritten->fileName(), note);
    QCOMPARE(header.size(), 1);
    QCOMPARE(rewritten->caption(), title + QStringLiteral(".."));
}

void tst_NoteFrame::deleteAsksWithTheCaption()
{
    TNoteFrame *frame = boardFrame(rtf("Call Anna\\par at six"));
    QPointer<TNoteFrame> alive = frame;

    m_host->answer = false;
    frame->imCloseClick();
    QCOMPARE(m_host->question,
             QStringLiteral("Do you want to delete following note?\r\n\r\nCall Anna...."));
    QVERIFY(!m_host->calls.contains(QStringLiteral("DeleteNote")));
    QVERIFY(alive);

    m_host->answer = true;
    frame->imCloseClick();
    QCOMPARE(m_host->calls.filter(QStringLiteral("DeleteNote")).size(), 1);
    QVERIFY(!alive);
}

void tst_NoteFrame::deletingANoteWithAnOpenWindow()
{
    TNoteFrame *frame = boardFrame(rtf("Old text"));
    TNoteFrame *other = boardFrame(rtf("Other note"));
    TJvRichEdit *editor = openWindow(frame);
    QVERIFY(editor);
    QPointer<TRichForm> window = frame->Frm();
    editor->setText(QStringLiteral("Edited text"));

    // The store that closing the window makes still sees the note with its
    // edited text; the note goes only afterwards.
    QString storedText;
    m_host->onStore = [&] { storedText = frame->edit().Text(); };
    m_host->calls.clear();
    frame->imCloseClick();

    QCOMPARE(storedText, QStringLiteral("Edited text"));
    QCOMPARE(m_host->calls, QStringList({"StoreNotes", "DeleteNote"}));
    QTRY_VERIFY(!window);
    QCOMPARE(other->edit().Text(), QStringLiteral("Other note"));
}

void tst_NoteFrame::doubleClickOpensThenMinimisesAndRestores()
{
    TNoteFrame *frame = boardFrame(rtf("A note"));
    frame->Panel1DblClick();
    TRichForm *window = frame->Frm();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("A note.."));
    QCOMPARE(window->editor()->Text(), QStringLiteral("A note"));
    // Nothing to undo: undoing the copy would leave the window empty.
    QVERIFY(!window->editor()->document()->isUndoAvailable());
    QVERIFY(window->editorPane()->ToolBar1()->isVisible());
    QCOMPARE(m_host->calls, QStringList({"hideBoard", "removeDeactivationHandler"}));

    frame->Panel1DblClick();
    QVERIFY(window->isMinimized());
    frame->Panel1DblClick();
    QVERIFY(!window->isMinimized());
    QVERIFY(window->isVisible());
    QCOMPARE(frame->Frm(), window);

    window->showMaximized();
    frame->Panel1DblClick();
    QVERIFY(window->isMaximized());
}

// Formats, lists and pictures all reach the window and come back from it;
// the copy itself is neither a change nor a step to undo, and typing starts
// at the top.
void tst_NoteFrame::windowHoldsTheWholeNoteReadyToEdit()
{
    TNoteFrame *frame = boardFrame(rtf("Plain \\b bold\\b0\\par "
                                       "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}"
                                       "item\\par after"));
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    frame->edit().setSelStart(frame->edit().textDocument()->characterCount() - 1);
    frame->edit().InsertGraphic(picture, true);
    const QByteArray note = frame->edit().toRtf();

    TJvRichEdit *editor = openWindow(frame);
    QVERIFY(editor);
    QCOMPARE(editor->toRtf(), note);
    QVERIFY(note.contains("\\pict"));
    QVERIFY(!editor->document()->isModified());
    QVERIFY(!editor->document()->isUndoAvailable());
    QCOMPARE(editor->textCursor().position(), 0);
    QTest::keyClicks(editor, QStringLiteral("x"));
    QVERIFY(editor->Text().startsWith(QStringLiteral("xPlain")));
    QVERIFY(editor->document()->isUndoAvailable());

    const QByteArray edited = editor->toRtf();
    frame->Frm()->close();
    QCOMPARE(frame->edit().toRtf(), edited);
}

void tst_NoteFrame::windowHeightFollowsTheTextUpToSevenEighths()
{
    const int limit = QGuiApplication::primaryScreen()->geometry().height() * 7 / 8;

    QByteArray lines;
    for (int line = 1; line <= 300; ++line)
        lines += "Line " + QByteArray::number(line) + "\\par ";
    TNoteFrame *longNote = boardFrame(rtf(lines));
    longNote->Panel1DblClick();
    QCOMPARE(longNote->Frm()->height(), limit);

    TNoteFrame *shortNote = boardFrame(rtf("One line"));
    shortNote->Panel1DblClick();
    TRichForm *window = shortNote->Frm();
    // No lower than the tool bar and the editor's least height allow.
    QCOMPARE(window->height(), std::max(window->minimumSizeHint().height(),
                                        window->editor()->MeasureTextHeight(150, window)));
    QVERIFY(window->height() < limit);
}

void tst_NoteFrame::closingTakesTextTitleAndColourBackThenStores()
{
    TNoteFrame *frame = boardFrame(rtf("Before"));
    frame->setIdx(3);
    TJvRichEdit *editor = openWindow(frame);
    QVERIFY(editor);
    editor->setText(QStringLiteral("After\r\nsecond line"));
    editor->setColor(QColor(255, 128, 128));
    frame->Frm()->move(40, 50);
    frame->Frm()->resize(400, 300);

    const QString ini = m_folder.filePath(QStringLiteral("QelNotes.ini"));
    bool recordBeforeStore = true;
    m_host->onStore
        = [&] { recordBeforeStore = SettingsFile(ini).readInteger("Note_3", "Color", 0) != 0; };
    frame->Frm()->close();

    QVERIFY(!frame->Frm());
    QCOMPARE(frame->edit().Text(), QStringLiteral("After\r\nsecond line"));
    QCOMPARE(frame->caption(), QStringLiteral("After...."));
    QCOMPARE(frame->edit().Color(), QColor(255, 128, 128));
    QCOMPARE(frame->color(), QColor(255, 128, 128));
    QCOMPARE(m_host->calls.filter(QStringLiteral("StoreNotes")).size(), 1);
    QVERIFY(!recordBeforeStore);
    SettingsFile settings(ini);
    QCOMPARE(settings.readInteger("Note_3", "Color", 0), 8421631);
    QCOMPARE(settings.readInteger("Note_3", "Left", 0), 40);
    QCOMPARE(settings.readInteger("Note_3", "Top", 0), 50);
    QCOMPARE(settings.readInteger("Note_3", "Width", 0), 400);
    QCOMPARE(settings.readInteger("Note_3", "Height", 0), 300);

    // Opening again makes a new window that gets the stored record.
    frame->Panel1DblClick();
    QCOMPARE(frame->Frm()->pos(), QPoint(40, 50));
    QCOMPARE(frame->Frm()->size(), QSize(400, 300));
    QCOMPARE(frame->Frm()->editor()->Color(), QColor(255, 128, 128));
}

void tst_NoteFrame::storedPlaceOutsideEveryScreenComesBack()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    SettingsFile settings(m_folder.filePath(QStringLiteral("QelNotes.ini")));
    QVERIFY(settings.writeInteger("Note_1", "Left", screen.right() + 500));
    QVERIFY(settings.writeInteger("Note_1", "Top", -4000));
    QVERIFY(settings.writeInteger("Note_1", "Width", 400));
    QVERIFY(settings.writeInteger("Note_1", "Height", 300));

    TNoteFrame *frame = boardFrame(rtf("Lost"));
    frame->setIdx(1);
    frame->Panel1DblClick();
    const QRect place(frame->Frm()->pos(), frame->Frm()->size());
    QCOMPARE(place.size(), QSize(400, 300));
    QVERIFY2(screen.contains(place), qPrintable(QStringLiteral("%1,%2 on %3x%4")
                                                    .arg(place.x())
                                                    .arg(place.y())
                                                    .arg(screen.width())
                                                    .arg(screen.height())));
}

void tst_NoteFrame::ctrlSpaceTypesOnInTheDefaultFormat()
{
    TJvRichEdit *editor = openWindow(boardFrame(rtf("")));
    QVERIFY(editor);
    editor->SelAttributes().setBold(true);
    QTest::keyClicks(editor, QStringLiteral("ab"));
    QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("cd"));

    QCOMPARE(editor->Text(), QStringLiteral("abcd"));
    editor->setSelStart(0);
    editor->setSelLength(2);
    QVERIFY(editor->SelAttributes().Bold());
    editor->setSelStart(2);
    editor->setSelLength(2);
    QVERIFY(!editor->SelAttributes().Bold());
}

void tst_NoteFrame::deleteKey_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing selected: one character") << 2 << 0 << QStringLiteral("abdef");
    QTest::newRow("a selection and nothing more") << 1 << 2 << QStringLiteral("adef");
    QTest::newRow("at the end: nothing") << 6 << 0 << QStringLiteral("abcdef");
}

void tst_NoteFrame::deleteKey()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);

    TJvRichEdit *editor = openWindow(boardFrame(rtf("abcdef")));
    QVERIFY(editor);
    editor->setSelStart(start);
    editor->setSelLength(length);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->Text(), expected);
}

void tst_NoteFrame::firstMenuEntryOwnsASharedShortcut_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("other");

    QTest::newRow("Ctrl+O opens") << (Qt::CTRL | Qt::Key_O) << "FileOpen1"
                                  << "acInsertObject";
    QTest::newRow("Ctrl+Alt+U") << (Qt::CTRL | Qt::ALT | Qt::Key_U) << "acSubScript"
                                << "acFontInc";
    QTest::newRow("Ctrl+Alt+D") << (Qt::CTRL | Qt::ALT | Qt::Key_D) << "acSuperScript"
                                << "acFontSmaller";
    QTest::newRow("Ctrl+Alt+B") << (Qt::CTRL | Qt::ALT | Qt::Key_B) << "BrowseURL1"
                                << "acBig";
}

void tst_NoteFrame::firstMenuEntryOwnsASharedShortcut()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, owner);
    QFETCH(QString, other);

    TJvRichEdit *editor = openWindow(boardFrame(rtf("text")));
    QVERIFY(editor);
    QAction *first = m_dm->action(owner);
    QAction *second = m_dm->action(other);
    QSignalSpy firstRuns(first, &QAction::triggered);
    QSignalSpy secondRuns(second, &QAction::triggered);
    const bool firstEnabled = first->isEnabled();
    const bool secondEnabled = second->isEnabled();

    // Disabled, the owner still takes the key: the later entry never runs.
    first->setEnabled(false);
    second->setEnabled(true);
    QTest::keyClick(editor, key.key(), key.keyboardModifiers());
    QCOMPARE(firstRuns.size(), 0);
    QCOMPARE(secondRuns.size(), 0);

    first->setEnabled(true);
    QTest::keyClick(editor, key.key(), key.keyboardModifiers());
    QCOMPARE(firstRuns.size(), 1);
    QCOMPARE(secondRuns.size(), 0);
    first->setEnabled(firstEnabled);
    second->setEnabled(secondEnabled);
    QCOMPARE(editor->Text(), QStringLiteral("text"));
}

void tst_NoteFrame::timers()
{
    TNoteFrame *frame = boardFrame(rtf("Board text"));

    // The check runs only while a note editor has the focus.
    frame->edit().setText(QStringLiteral("changed"));
    frame->Timer1Timer();
    QCOMPARE(frame->Hint(), QStringLiteral("Board text"));
    TJvRichEdit *editor = openWindow(frame);
    QVERIFY(editor);
    frame->Timer1Timer();
    QCOMPARE(frame->Hint(), QStringLiteral("changed"));

    // Enter goes into the text as a line break.
    editor->setText(QStringLiteral("typed"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(editor->Text(), QStringLiteral("\r\ntyped"));
}

void tst_NoteFrame::headerMovesSelectTheNote()
{
    TNoteFrame *first = boardFrame(rtf("First"));
    TNoteFrame *second = boardFrame(rtf("Second"));
    first->Panel1MouseMove(QPoint(5, 7), 100);
    QCOMPARE(m_host->selected, first);
    second->Panel1MouseMove(QPoint(5, 7), 100);
    QCOMPARE(m_host->selected, second);
}

void tst_NoteFrame::windowStaysOnTopExactlyWhileTheBoardDoes()
{
    QWidget elsewhere;
    elsewhere.show();
    m_host->onTop = true;
    TNoteFrame *frame = boardFrame(rtf("On top"));
    openWindow(frame);
    TRichForm *window = frame->Frm();
    QVERIFY(window->StayOnTop());
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QApplication::setActiveWindow(&elsewhere);
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // The option switched off on the board: the next deactivation drops the
    // window into the normal band.
    m_host->onTop = false;
    QApplication::setActiveWindow(window);
    QApplication::setActiveWindow(&elsewhere);
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window->isVisible());

    TNoteFrame *normal = boardFrame(rtf("Normal"));
    normal->Panel1DblClick();
    QVERIFY(!normal->Frm()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void tst_NoteFrame::dropsBesideTheEditorAreTakenAndIgnored()
{
    TNoteFrame *frame = boardFrame(rtf("Unchanged"));
    frame->Panel1DblClick();
    QWidget *toolBar = frame->Frm()->editorPane()->ToolBar1();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(m_folder.path())});
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

    QDragEnterEvent enter(QPoint(2, 2), offered, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(toolBar, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);

    QDropEvent drop(QPointF(2, 2), offered, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(toolBar, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::IgnoreAction);
    QCOMPARE(frame->Frm()->editor()->Text(), QStringLiteral("Unchanged"));
}

void tst_NoteFrame::encryptedTextGoesBackIntoTheNoteAndComesOutAgain()
{
    const auto click = [](TNoteFrame *frame, QAction *action) {
        const QWidget *toolBar = frame->Frm()->editorPane()->ToolBar1();
        for (QToolButton *button : toolBar->findChildren<QToolButton *>()) {
            if (button->defaultAction() == action)
                QTest::mouseClick(button, Qt::LeftButton);
        }
    };
    const QString secret = QString::fromUtf8("Grüße € Ж");
    m_dm->cryptCommands()->SetMasterPassword(QStringLiteral("master"));
    TNoteFrame *frame = boardFrame(rtf("Title"));
    TJvRichEdit *editor = openWindow(frame);
    editor->setText(QStringLiteral("Title\r\n") + secret);
    editor->setSelStart(6);
    editor->setSelLength(int(secret.size()));
    click(frame, m_dm->action(CommandId::acCrypt));
    const QString encrypted = editor->Text();
    QVERIFY2(encrypted.startsWith(QStringLiteral("Title\r\nQelCrypt:#032#")),
             qPrintable(encrypted.toUtf8().toPercentEncoding()));
    frame->Frm()->close();
    QCOMPARE(frame->edit().Text(), encrypted);

    editor = openWindow(frame);
    editor->setSelStart(6);
    editor->setSelLength(int(encrypted.size()) - 7);
    click(frame, m_dm->action(CommandId::acDecrypt));
    QCOMPARE(editor->Text(), QStringLiteral("Title\r\n") + secret);
}

void tst_NoteFrame::clickOpensTheWindowActiveAndTheSecondClickStaysOnTheBoard()
{
    TNoteFrame *frame = boardFrame(rtf("Clicked"));
    m_host->window.show();
    frame->Panel1Click();
    QPointer<TRichForm> window = frame->Frm();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), window.data());
    QCOMPARE(QApplication::focusWidget(), window->editor());
    // The board waits for a second click before it hides.
    QVERIFY(frame->doubleClickWait()->isActive());
    QVERIFY(!m_host->calls.contains(QStringLiteral("hideBoard")));

    // The second click of the double click neither minimises the new window
    // nor leaves it inactive.
    frame->Panel1DblClick();
    QVERIFY(!frame->doubleClickWait()->isActive());
    QCOMPARE(m_host->calls.filter(QStringLiteral("hideBoard")).size(), 1);
    QCOMPARE(frame->Frm(), window.data());
    QVERIFY(!window->isMinimized());
    QTRY_COMPARE(QApplication::activeWindow(), window.data());

    // With no second click the wait ends by itself, with the same outcome.
    TNoteFrame *other = boardFrame(rtf("Other"));
    other->Panel1Click();
    static_cast<ManualTimer *>(other->doubleClickWait())->tick();
    QVERIFY(!other->doubleClickWait()->isActive());
    QCOMPARE(m_host->calls.filter(QStringLiteral("hideBoard")).size(), 2);
    QTRY_COMPARE(QApplication::activeWindow(), other->Frm());
    QCOMPARE(QApplication::focusWidget(), other->Frm()->editor());
}

void tst_NoteFrame::storedPlacePartlyOffTheScreenComesWhollyOn_data()
{
    QTest::addColumn<QRect>("stored");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::newRow("above the top") << QRect(screen.left() + 20, screen.top() - 30, 300, 200);
    QTest::newRow("over the right edge")
        << QRect(screen.right() - 100, screen.top() + 40, 300, 200);
    QTest::newRow("below the bottom") << QRect(screen.left() + 10, screen.bottom() - 50, 300, 200);
}

void tst_NoteFrame::storedPlacePartlyOffTheScreenComesWhollyOn()
{
    QFETCH(QRect, stored);
    SettingsFile settings(m_folder.filePath(QStringLiteral("QelNotes.ini")));
    QVERIFY(settings.writeInteger("Note_1", "Left", stored.x()));
    QVERIFY(settings.writeInteger("Note_1", "Top", stored.y()));
    QVERIFY(settings.writeInteger("Note_1", "Width", stored.width()));
    QVERIFY(settings.writeInteger("Note_1", "Height", stored.height()));

    TNoteFrame *frame = boardFrame(rtf("Partly off"));
    frame->setIdx(1);
    frame->Panel1DblClick();
    QCOMPARE(frame->Frm()->size(), stored.size());
    // The window's frame included.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(frame->Frm()->windowHandle()->frameGeometry()));
}

void tst_NoteFrame::calcKeepsTheCaretInTheUsersText()
{
    TNoteFrame *note = boardFrame(rtf("2 * 3 =\\par after"));
    TJvRichEdit *editor = openWindow(note);
    QVERIFY(editor);
    QTextCursor caret = editor->textCursor();
    caret.movePosition(QTextCursor::End);
    caret.movePosition(QTextCursor::StartOfBlock);
    caret.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
    editor->setTextCursor(caret);

    note->Frm()->editorPane()->tbCalcClick();
    // The result went in before the caret, which is still two characters
    // into the last line.
    QCOMPARE(editor->Text(), QStringLiteral("2 * 3 = 6.000000000\r\nafter"));
    QCOMPARE(editor->textCursor().block().text(), QStringLiteral("after"));
    QCOMPARE(editor->textCursor().positionInBlock(), 2);
    QVERIFY(!editor->textCursor().hasSelection());
}

void tst_NoteFrame::headerHintShowsWhileShowHintIsOn()
{
    TNoteFrame *frame = boardFrame(rtf("First line\\par second line"));
    QVERIFY(frame->headerHint().isEmpty());
    m_host->showHint = true;
    QCOMPARE(frame->headerHint(), QStringLiteral("First line\r\nsecond line"));
    TNoteFrame *longNote = boardFrame(rtf(QByteArray(1500, 'x')));
    QCOMPARE(longNote->headerHint(), QString(1000, u'x') + QChar(0x2026));
}

void tst_NoteFrame::showingTheWindowMarksLinks()
{
    TJvRichEdit *editor = openWindow(boardFrame(rtf("see www.example.org now")));
    QVERIFY(editor);
    editor->setSelStart(4);
    editor->setSelLength(15);
    QCOMPARE(editor->SelAttributes().Color(), QColor(0, 0, 255));
    QVERIFY(editor->SelAttributes().Underline());
}

void tst_NoteFrame::periodicCheckMarksLinksOfAChangedNote()
{
    TNoteFrame *frame = boardFrame(rtf("write to a@b.c now"));
    RichDocument &note = frame->edit();
    const auto addressMarked = [&] {
        note.setSelStart(9);
        note.setSelLength(5);
        return note.SelAttributes().Underline();
    };
    // Only while a note editor has the focus.
    frame->Timer1Timer();
    QVERIFY(!addressMarked());

    QVERIFY(openWindow(boardFrame(rtf("other"))));
    frame->Timer1Timer();
    QVERIFY(addressMarked());
    // Marking is no change of the note: it still stores as its file, and a
    // rewrite of the file from outside may still replace it.
    QCOMPARE(frame->fileData(), rtf("write to a@b.c now"));
    QVERIFY(!frame->unstoredChanges());

    // A change after a check is seen at the next one.
    note.setText(QStringLiteral("now to c@d.e"));
    frame->Timer1Timer();
    note.setSelStart(7);
    note.setSelLength(5);
    QVERIFY(note.SelAttributes().Underline());
    QCOMPARE(frame->Hint(), QStringLiteral("now to c@d.e"));
}

void tst_NoteFrame::calcDrawsPlotsToTheEditorsSize()
{
    QApplication::clipboard()->setText(QStringLiteral("copied"));
    TNoteFrame *frame = boardFrame(rtf("Plot"));
    TJvRichEdit *editor = openWindow(frame);
    editor->setText(QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n"));
    frame->Frm()->editorPane()->tbCalcClick();
    frame->Frm()->editorPane()->tbCalcClick();
    QCOMPARE(editor->Text(), QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n\uFFFC\r\n"));
    editor->setSelStart(25);
    editor->setSelLength(1);
    const QTextImageFormat picture = editor->textCursor().charFormat().toImageFormat();
    const QImage image = editor->document()
                             ->resource(QTextDocument::ImageResource, QUrl(picture.name()))
                             .value<QImage>();
    QCOMPARE(image.size(), TCalcDriver::PlotSize(editor->size())
                               .expandedTo(ChartRenderer::readableSize(editor->Font().font)));
    QVERIFY(image.width() > 300);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copied"));
    frame->Frm()->close();
    QCOMPARE(frame->edit().Text(), QStringLiteral("x := 0, 0.5 .. 2\r\nplot(x)\r\n\uFFFC\r\n"));
}

QTEST_MAIN(tst_NoteFrame)
#include "tst_noteframe.moc"
