#include "commands/commanddialogs.h"
#include "commands/commandmodule.h"
#include "note/noteeditorpane.h"
#include "note/notehost.h"
#include "note/notewindow.h"
#include "note/toolbarkeys.h"
#include "richedit/jvrichedit.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

// A board that asks for nothing.
class QuietHost : public NoteHost
{
public:
    QWidget *hostWindow() override { return &window; }
    void hideBoard() override {}
    void SelectNote(TNoteFrame *) override {}
    void DeleteNote(TNoteFrame *) override {}
    void StoreNotes() override {}
    bool showHintEnabled() const override { return false; }
    bool stayOnTop() const override { return false; }
    void removeDeactivationHandler() override {}
    void restartAutoHideTimer() override {}
    QAction *editSelectAllAction() override { return nullptr; }
    QAction *fileSaveAsAction() override { return nullptr; }

    QWidget window;
};

// The user cancels every dialog; the commands that ask are recorded.
class CancelledDialogs : public CommandDialogs
{
public:
    std::optional<TextFont> chooseFont(QWidget *, const TextFont &) override
    {
        asked << QStringLiteral("font");
        return {};
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override
    {
        asked << QStringLiteral("color");
        return {};
    }
    QString openFileName(QWidget *) override
    {
        asked << QStringLiteral("open");
        return {};
    }
    QString saveFileName(QWidget *) override
    {
        asked << QStringLiteral("save");
        return {};
    }
    bool setUpPrinter(QWidget *, QPrinter &) override
    {
        asked << QStringLiteral("print");
        return false;
    }

    QStringList asked;
};

QByteArray rtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}"
           "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs16 "
           + body + "}";
}

} // namespace

// The commands as the user reaches them in note windows: tool bar buttons
// and the menu's shortcuts.
class tst_NoteCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void toolBarButtonsAreEnabledAndActOnTheirWindow();
    void shortcuts_data();
    void shortcuts();
    void copyFormatFromOneWindowToAnother();
    void redoWithEitherKeyAndFromTheMenu();
    void toolBarCommandsAreInTheMenuAndNamed();
    void keyboardReachesMenuAndToolBar();
    void eachWindowsMenuShowsAndActsOnItsOwnNote();

private:
    // A shown note window holding the note, its editor focused, selecting
    // start over length.
    TJvRichEdit *openWindow(const QByteArray &body, int start, int length);
    QToolButton *button(TJvRichEdit *editor, QAction *action) const;

    TDM *m_dm = nullptr;
    CancelledDialogs *m_dialogs = nullptr;
    QuietHost m_host;
    std::vector<std::unique_ptr<TRichForm>> m_windows;
};

void tst_NoteCommands::initTestCase()
{
    m_dm = new TDM(qApp);
}

void tst_NoteCommands::init()
{
    auto dialogs = std::make_unique<CancelledDialogs>();
    m_dialogs = dialogs.get();
    m_dm->setDialogs(std::move(dialogs));
}

void tst_NoteCommands::cleanup()
{
    m_windows.clear();
}

TJvRichEdit *tst_NoteCommands::openWindow(const QByteArray &body, int start, int length)
{
    RichDocument note;
    note.setRtf(rtf(body));
    auto &window = m_windows.emplace_back(std::make_unique<TRichForm>(m_host));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->loadNote(note);
    window->resize(400, 300);
    window->showActive();
    QApplication::setActiveWindow(window.get());
    TJvRichEdit *editor = window->editor();
    editor->setFocus();
    editor->setSelStart(start);
    editor->setSelLength(length);
    return editor;
}

namespace {

NoteEditorPane *paneOf(TJvRichEdit *editor)
{
    return editor->window()->findChild<NoteEditorPane *>();
}

// Every entry of menu and of its submenus.
QList<QAction *> entries(const QMenu *menu)
{
    QList<QAction *> all;
    for (QAction *action : menu->actions()) {
        all << action;
        if (action->menu())
            all << entries(action->menu());
    }
    return all;
}

} // namespace

QToolButton *tst_NoteCommands::button(TJvRichEdit *editor, QAction *action) const
{
    for (QToolBar *row : editor->window()->findChildren<QToolBar *>()) {
        if (auto *found = qobject_cast<QToolButton *>(row->widgetForAction(action)))
            return found;
    }
    return nullptr;
}

void tst_NoteCommands::toolBarButtonsAreEnabledAndActOnTheirWindow()
{
    TJvRichEdit *other = openWindow("other", 0, 5);
    TJvRichEdit *editor = openWindow("some text", 0, 4);

    for (QAction *action :
         {m_dm->action(CommandId::FileOpen1), m_dm->action(CommandId::FileSaveAs1),
          m_dm->action(CommandId::acIndentDec), m_dm->action(CommandId::acIndentInc),
          m_dm->action(CommandId::RichEditBold1), m_dm->action(CommandId::RichEditUnderline1),
          m_dm->action(CommandId::RichEditItalic1), m_dm->action(CommandId::RichEditAlignLeft1),
          m_dm->action(CommandId::RichEditAlignCenter1),
          m_dm->action(CommandId::RichEditAlignRight1), m_dm->action(CommandId::acFontInc),
          m_dm->action(CommandId::acFontSmaller), m_dm->action(CommandId::acCopyFormat)}) {
        QToolButton *found = button(editor, action);
        QVERIFY2(found && found->isEnabled(), qPrintable(action->objectName()));
    }
    QVERIFY(!button(editor, m_dm->action(CommandId::acNew))->isEnabled());

    QTest::mouseClick(button(editor, m_dm->action(CommandId::RichEditBold1)), Qt::LeftButton);
    QTest::mouseClick(button(editor, m_dm->action(CommandId::acFontInc)), Qt::LeftButton);
    QTest::mouseClick(button(editor, m_dm->action(CommandId::RichEditAlignCenter1)),
                      Qt::LeftButton);
    QVERIFY(editor->SelAttributes().Bold());
    QCOMPARE(editor->SelAttributes().Size(), 10);
    QCOMPARE(editor->Paragraph().Alignment(), TParaAlignment::paCenter);
    QCOMPARE(editor->SelLength(), 4);

    QVERIFY(!other->SelAttributes().Bold());
    QCOMPARE(other->SelAttributes().Size(), 8);

    // A cancelled Open leaves the note as it was.
    QTest::mouseClick(button(editor, m_dm->action(CommandId::FileOpen1)), Qt::LeftButton);
    QCOMPARE(m_dialogs->asked, QStringList{"open"});
    QCOMPARE(editor->Text(), QStringLiteral("some text"));
}

void tst_NoteCommands::shortcuts_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("command"); // empty: no command runs

    QTest::newRow("Ctrl+B") << (Qt::CTRL | Qt::Key_B) << "RichEditBold1";
    QTest::newRow("Ctrl+K") << (Qt::CTRL | Qt::Key_K) << "RichEditItalic1";
    QTest::newRow("Ctrl+U") << (Qt::CTRL | Qt::Key_U) << "RichEditUnderline1";
    QTest::newRow("Ctrl+S") << (Qt::CTRL | Qt::Key_S) << "RichEditStrikeOut1";
    QTest::newRow("Ctrl+N") << (Qt::CTRL | Qt::Key_N) << "RichEditBullets1";
    QTest::newRow("Ctrl+L") << (Qt::CTRL | Qt::Key_L) << "RichEditAlignLeft1";
    QTest::newRow("Ctrl+M") << (Qt::CTRL | Qt::Key_M) << "RichEditAlignCenter1";
    QTest::newRow("Ctrl+R") << (Qt::CTRL | Qt::Key_R) << "RichEditAlignRight1";
    QTest::newRow("Ctrl+I") << (Qt::CTRL | Qt::Key_I) << "acIndentInc";
    QTest::newRow("Ctrl+Alt+I") << (Qt::CTRL | Qt::ALT | Qt::Key_I) << "acIndentDec";
    QTest::newRow("Ctrl+Alt+U") << (Qt::CTRL | Qt::ALT | Qt::Key_U) << "acSubScript";
    QTest::newRow("Ctrl+Alt+D") << (Qt::CTRL | Qt::ALT | Qt::Key_D) << "acSuperScript";
    QTest::newRow("Ctrl+Alt+R") << (Qt::CTRL | Qt::ALT | Qt::Key_R) << "acFormatReset";
    QTest::newRow("Ctrl+Alt+F") << (Qt::CTRL | Qt::ALT | Qt::Key_F) << "acSetFont";
    QTest::newRow("Ctrl+Alt+C") << (Qt::CTRL | Qt::ALT | Qt::Key_C) << "acBKColor";
    QTest::newRow("Ctrl+O") << (Qt::CTRL | Qt::Key_O) << "FileOpen1";
    QTest::newRow("Ctrl+P") << (Qt::CTRL | Qt::Key_P) << "PrintDlg1";
    QTest::newRow("Ctrl+A") << (Qt::CTRL | Qt::Key_A) << "EditSelectAll1";
    QTest::newRow("Ctrl+Y") << (Qt::CTRL | Qt::Key_Y) << "EditRedo1";
    // Big, Normal and Small are in no menu, so their keys do nothing.
    QTest::newRow("Ctrl+Alt+S") << (Qt::CTRL | Qt::ALT | Qt::Key_S) << "";
}

void tst_NoteCommands::shortcuts()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, command);

    TJvRichEdit *editor = openWindow("text", 0, 2);
    std::vector<std::unique_ptr<QSignalSpy>> runs;
    for (QAction *action : m_dm->actions())
        runs.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
    // A disabled owner still takes its key from later entries.
    QAction *owner = m_dm->action(command);
    const bool enabled = owner && owner->isEnabled();
    if (owner)
        owner->setEnabled(true);

    QTest::keyClick(editor, key.key(), key.keyboardModifiers());
    if (owner)
        owner->setEnabled(enabled);

    QStringList ran;
    for (qsizetype i = 0; i < m_dm->actions().size(); ++i) {
        if (!runs[i]->isEmpty())
            ran << m_dm->actions().at(i)->objectName();
    }
    QCOMPARE(ran, command.isEmpty() ? QStringList() : QStringList{command});
    // A key no entry owns goes on to the editor as typing.
    if (!command.isEmpty())
        QCOMPARE(editor->Text(), QStringLiteral("text"));
}

void tst_NoteCommands::redoWithEitherKeyAndFromTheMenu()
{
    TJvRichEdit *editor = openWindow("", 0, 0);
    const QList<QAction *> menu
        = editor->window()->findChild<NoteEditorPane *>()->PopupMenu1()->actions();
    QCOMPARE(menu.at(1), m_dm->action(CommandId::EditRedo1));
    QCOMPARE(m_dm->action(CommandId::EditRedo1)->text(), QStringLiteral("&Redo"));

    for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        QTest::keyClicks(editor, QStringLiteral("typed"));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->Text(), QString());
        QTest::keyClick(editor, redo.key(), redo.keyboardModifiers());
        QCOMPARE(editor->Text(), QStringLiteral("typed"));
        editor->clear();
    }
}

void tst_NoteCommands::copyFormatFromOneWindowToAnother()
{
    TJvRichEdit *source = openWindow("{\\b\\i\\f1\\fs28\\cf1 source} plain", 0, 6);
    QTest::mouseClick(button(source, m_dm->action(CommandId::acCopyFormat)), Qt::LeftButton);
    QVERIFY(m_dm->copyFormat().holding());

    TJvRichEdit *target = openWindow("target", 0, 6);
    QTest::mouseClick(button(target, m_dm->action(CommandId::acCopyFormat)), Qt::LeftButton);
    QVERIFY(!m_dm->copyFormat().holding());
    QCOMPARE(target->SelAttributes().Name(), QStringLiteral("Courier New"));
    QCOMPARE(target->SelAttributes().Size(), 14);
    QCOMPARE(target->SelAttributes().Color(), QColor(255, 0, 0));
    QVERIFY(!target->SelAttributes().Bold());
    QVERIFY(!target->SelAttributes().Italic());
}

// Without a mouse, the tool bar's commands are reached from the menu; screen
// readers name the buttons by their captions.
void tst_NoteCommands::toolBarCommandsAreInTheMenuAndNamed()
{
    TJvRichEdit *editor = openWindow("text", 0, 0);
    const QList<QAction *> menu = entries(paneOf(editor)->PopupMenu1());
    for (QToolBar *row : editor->window()->findChildren<QToolBar *>()) {
        for (QAction *action : row->actions()) {
            if (action->isSeparator())
                continue;
            // New does nothing in a note window.
            if (action != m_dm->action(CommandId::acNew))
                QVERIFY2(menu.contains(action), qPrintable(action->objectName()));
            QAccessibleInterface *named
                = QAccessible::queryAccessibleInterface(row->widgetForAction(action));
            QVERIFY(named);
            QCOMPARE(named->text(QAccessible::Name),
                     QString(action->text()).remove(u'&').remove(QStringLiteral("...")));
        }
    }
    QCOMPARE(m_dm->action(CommandId::acCreatePWD)->text(), QStringLiteral("Create Password"));
}

void tst_NoteCommands::keyboardReachesMenuAndToolBar()
{
    TJvRichEdit *editor = openWindow("some text", 0, 4);
    NoteEditorPane *pane = paneOf(editor);

    QTest::keyClick(editor, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(pane->PopupMenu1()->isVisible());
    QTest::keyClick(pane->PopupMenu1(), Qt::Key_Escape);
    QTRY_VERIFY(!pane->PopupMenu1()->isVisible());
    QVERIFY(editor->hasFocus());

    // F10 into the bar; Escape back to the text, selection kept.
    ToolBarKeys *keys = pane->toolBarKeys();
    QTest::keyClick(editor, Qt::Key_F10);
    QCOMPARE(keys->focusedButton(),
             button(editor, m_dm->action(CommandId::FileOpen1))); // New is disabled
    QTest::keyClick(keys->focusedButton(), Qt::Key_Escape);
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->SelLength(), 4);

    // The arrows walk the bar; Enter runs the command on the text.
    const struct
    {
        QList<Qt::Key> keys;
        QAction *reached;
    } walks[] = {
        {{Qt::Key_Right}, m_dm->action(CommandId::FileSaveAs1)},
        {{Qt::Key_Left}, m_dm->action(CommandId::acCopyFormat)}, // around from the first
        {{Qt::Key_End, Qt::Key_Left}, m_dm->action(CommandId::acCreatePWD)},
        {{Qt::Key_Down}, m_dm->action(CommandId::RichEditAlignCenter1)}, // below Open
        {{Qt::Key_End, Qt::Key_Up}, m_dm->action(CommandId::RichEditItalic1)},
    };
    for (const auto &walk : walks) {
        QTest::keyClick(editor, Qt::Key_F10);
        for (const Qt::Key key : walk.keys)
            QTest::keyClick(keys->focusedButton(), key);
        QVERIFY2(keys->focusedButton() == button(editor, walk.reached),
                 qPrintable(walk.reached->objectName()));
        QTest::keyClick(keys->focusedButton(), Qt::Key_Escape);
    }
    QTest::keyClick(editor, Qt::Key_F10);
    QTest::keyClick(keys->focusedButton(), Qt::Key_Down);
    QTest::keyClick(keys->focusedButton(), Qt::Key_Return);
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->Paragraph().Alignment(), TParaAlignment::paCenter);

    QTest::keyClick(editor, Qt::Key_F10);
    QTest::keyClick(keys->focusedButton(), Qt::Key_End);
    QTest::keyClick(keys->focusedButton(), Qt::Key_Left);
    QTest::keyClick(keys->focusedButton(), Qt::Key_Space);
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->Text().size(), QStringLiteral("some text").size() - 4 + 17);
}

// The edit commands are shared by every window; a window's menu shows and
// acts on its own note, whichever window had the focus before.
void tst_NoteCommands::eachWindowsMenuShowsAndActsOnItsOwnNote()
{
    TJvRichEdit *second = openWindow("second note", 0, 0);
    QTest::keyClicks(second, QStringLiteral("typed "));
    second->setSelStart(0);
    second->setSelLength(5);
    TJvRichEdit *first = openWindow("first note", 0, 0);
    QTest::mouseClick(button(first, m_dm->action(CommandId::acCopyFormat)), Qt::LeftButton);
    const QList<QAction *> selectionCommands{
        m_dm->action(CommandId::JvEditUndo1), m_dm->action(CommandId::JvEditCut2),
        m_dm->action(CommandId::JvEditCopy1), m_dm->action(CommandId::JvEditDelete1)};
    for (QAction *command : selectionCommands)
        QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));

    QMenu *menu = paneOf(second)->PopupMenu1();
    menu->popup(second->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(second->hasFocus());
    for (QAction *command : selectionCommands)
        QVERIFY2(command->isEnabled(), qPrintable(command->objectName()));
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
    for (QAction *command : selectionCommands)
        QVERIFY2(command->isEnabled(), qPrintable(command->objectName()));

    m_dm->action(CommandId::JvEditCopy1)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("typed"));

    // Back in the first window's menu, its empty selection greys them again.
    QMenu *firstMenu = paneOf(first)->PopupMenu1();
    firstMenu->popup(first->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(first->hasFocus());
    QVERIFY(!m_dm->action(CommandId::JvEditCopy1)->isEnabled());
    firstMenu->close();
}

QTEST_MAIN(tst_NoteCommands)
#include "tst_notecommands.moc"
