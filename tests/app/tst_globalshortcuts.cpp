#include "app/globalkeysdialog.h"
#include "app/globalshortcuts.h"
#include "platform/datafolder.h"
#include "platform/globalkeys.h"
#include "platform/settingsfile.h"

#include <QDialogButtonBox>
#include <QKeySequenceEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// A desktop whose keys are held by this program unless another has them.
class FakeKeys : public GlobalKeys
{
public:
    Grab grab(QKeyCombination key) override
    {
        if (key.key() == Qt::Key_F35)
            return Grab::Unavailable;
        if (takenByOthers.contains(key))
            return Grab::Taken;
        held.insert(key);
        return Grab::Held;
    }
    void release(QKeyCombination key) override { held.remove(key); }

    QSet<QKeyCombination> takenByOthers;
    QSet<QKeyCombination> held;
};

constexpr QKeyCombination CtrlAltN(Qt::CTRL | Qt::ALT | Qt::Key_N);
constexpr QKeyCombination CtrlAltM(Qt::CTRL | Qt::ALT | Qt::Key_M);

// The keys of a fresh data folder, with every report kept.
class ShortcutsFixture
{
public:
    explicit ShortcutsFixture(GlobalKeys *keys = nullptr)
    {
        setDataFolderForTesting(folder.path());
        shortcuts = std::make_unique<GlobalShortcuts>(
            keys, [this](const QString &text) { reports << text; });
    }
    ~ShortcutsFixture()
    {
        shortcuts.reset();
        setDataFolderForTesting(QString());
    }

    SettingsFile ini() const { return SettingsFile(folder.path() + "/QelNotes.ini"); }
    QString entry(int row) const { return shortcuts->menu()->actions().at(row)->text(); }

    QTemporaryDir folder;
    QStringList reports;
    std::unique_ptr<GlobalShortcuts> shortcuts;
};

class TestGlobalShortcuts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedKeys_data()
    {
        QTest::addColumn<QString>("stored"); // "-": no such key in the file
        QTest::addColumn<QKeySequence>("expected");
        QTest::newRow("missing: the default") << "-" << QKeySequence(CtrlAltN);
        QTest::newRow("empty: none") << "" << QKeySequence();
        QTest::newRow("another key")
            << "Meta+Shift+F5" << QKeySequence(Qt::META | Qt::SHIFT | Qt::Key_F5);
        QTest::newRow("no key: the default") << "Ctrl+Banana" << QKeySequence(CtrlAltN);
        QTest::newRow("two strokes: the first")
            << "Ctrl+K, Ctrl+L" << QKeySequence(Qt::CTRL | Qt::Key_K);
    }
    void storedKeys()
    {
        QFETCH(QString, stored);
        QFETCH(QKeySequence, expected);
        FakeKeys keys;
        ShortcutsFixture f(&keys);
        if (stored != "-")
            QVERIFY(f.ini().writeString("Main", "ShowBoardKey", stored));
        f.shortcuts->load();
        QCOMPARE(f.shortcuts->key(GlobalShortcuts::Command::ShowBoard), expected);
        QSet<QKeyCombination> held{CtrlAltM};
        if (!expected.isEmpty())
            held.insert(expected[0]);
        QCOMPARE(keys.held, held);
        QVERIFY(f.reports.isEmpty());
    }

    void heldKeyRunsItsCommand()
    {
        FakeKeys keys;
        ShortcutsFixture f(&keys);
        f.shortcuts->load();
        QSignalSpy triggered(f.shortcuts.get(), &GlobalShortcuts::triggered);
        Q_EMIT keys.pressed(CtrlAltM);
        Q_EMIT keys.pressed(QKeyCombination(Qt::CTRL | Qt::Key_M));
        Q_EMIT keys.pressed(CtrlAltN);
        QCOMPARE(triggered.size(), 2);
        QCOMPARE(triggered.at(0).at(0).value<GlobalShortcuts::Command>(),
                 GlobalShortcuts::Command::NewNote);
        QCOMPARE(triggered.at(1).at(0).value<GlobalShortcuts::Command>(),
                 GlobalShortcuts::Command::ShowBoard);
        QCOMPARE(f.entry(0), "Show Board\tCtrl+Alt+N");
        QCOMPARE(f.entry(1), "New Note\tCtrl+Alt+M");
    }

    // A key another program holds is told once, with its name and command,
    // and the menu shows it out of use; choosing it again tells again, and
    // another key takes its place.
    void keyHeldElsewhereIsReportedOnce()
    {
        FakeKeys keys;
        keys.takenByOthers.insert(CtrlAltN);
        ShortcutsFixture f(&keys);
        f.shortcuts->load();
        f.shortcuts->load();
        QCOMPARE(f.reports.size(), 1);
        QVERIFY2(f.reports.at(0).contains("Ctrl+Alt+N") && f.reports.at(0).contains("Show Board"),
                 qPrintable(f.reports.at(0)));
        QVERIFY(!f.shortcuts->isHeld(GlobalShortcuts::Command::ShowBoard));
        QVERIFY(f.shortcuts->isHeld(GlobalShortcuts::Command::NewNote));
        QCOMPARE(f.entry(0), "Show Board\tCtrl+Alt+N (not available)");

        f.shortcuts->setKeys(CtrlAltN, CtrlAltM);
        QCOMPARE(f.reports.size(), 2);
        const QKeySequence ctrlAltB(Qt::CTRL | Qt::ALT | Qt::Key_B);
        f.shortcuts->setKeys(ctrlAltB, QKeySequence(Qt::Key_F35));
        QCOMPARE(f.reports.size(), 3);
        QVERIFY2(f.reports.at(2).contains("F35"), qPrintable(f.reports.at(2)));
        QCOMPARE(keys.held, QSet<QKeyCombination>{ctrlAltB[0]});
        QCOMPARE(f.entry(0), "Show Board\tCtrl+Alt+B");
    }

    void changedKeysAreStored()
    {
        FakeKeys keys;
        ShortcutsFixture f(&keys);
        f.shortcuts->load();
        const QKeySequence metaF2(Qt::META | Qt::Key_F2);
        f.shortcuts->setKeys(metaF2, QKeySequence());
        QCOMPARE(keys.held, QSet<QKeyCombination>{metaF2[0]});
        QCOMPARE(f.ini().readString("Main", "ShowBoardKey", "?"), "Meta+F2");
        QCOMPARE(f.ini().readString("Main", "NewNoteKey", "?"), "");
        QCOMPARE(f.entry(1), "New Note\tnone");
        GlobalShortcuts again(&keys, [](const QString &) {});
        again.load();
        QCOMPARE(again.key(GlobalShortcuts::Command::ShowBoard), metaF2);
        QVERIFY(again.key(GlobalShortcuts::Command::NewNote).isEmpty());
    }

    // Without global keys (Wayland) the menu names the command lines a
    // desktop shortcut of the desktop's own runs instead.
    void withoutGlobalKeysTheMenuNamesTheSwitches()
    {
        ShortcutsFixture f;
        f.shortcuts->load();
        QVERIFY(!f.shortcuts->available());
        QCOMPARE(f.shortcuts->menu()->actions().size(), 2);
        QCOMPARE(f.entry(0), "Show Board\tqelnotes --show-board");
        QCOMPARE(f.entry(1), "New Note\tqelnotes --new-note");
        QVERIFY(!f.shortcuts->menu()->actions().at(0)->isEnabled());
        QVERIFY(f.reports.isEmpty());
    }

    // One key each: a second stroke is dropped, and the two commands may
    // not share a key.
    void dialogTakesOneDistinctKeyEach()
    {
        GlobalKeysDialog dialog(CtrlAltN, CtrlAltM);
        auto *showBoard = dialog.findChild<QKeySequenceEdit *>("showBoardKey");
        auto *newNote = dialog.findChild<QKeySequenceEdit *>("newNoteKey");
        QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(showBoard && newNote && ok->isEnabled());
        dialog.show();
        showBoard->setFocus();
        showBoard->clear();
        QTest::keyClick(showBoard, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(showBoard, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(dialog.showBoardKey(), QKeySequence(Qt::CTRL | Qt::Key_K));
        newNote->setKeySequence(QKeySequence(Qt::CTRL | Qt::Key_K));
        QVERIFY(!ok->isEnabled());
        newNote->clear();
        QVERIFY(ok->isEnabled());
        QVERIFY(dialog.newNoteKey().isEmpty());
    }
};

QTEST_MAIN(TestGlobalShortcuts)
#include "tst_globalshortcuts.moc"
