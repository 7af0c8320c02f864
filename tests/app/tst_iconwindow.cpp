#include "app/displaychoice.h"
#include "app/frmabout.h"
#include "app/iconwindow.h"
#include "app/trayicon.h"
#include "board/boardfilter.h"
#include "board/errormessage.h"
#include "board/notesboard.h"
#include "platform/datafolder.h"
#include "platform/screenplace.h"
#include "platform/settingsfile.h"
#include "qelversion.h"

#include "manualtimer.h"

#include <QEnterEvent>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The desktop icon with its board, on a fresh data folder, with the auto-hide
// timer in the test's hand.
class IconFixture
{
public:
    IconFixture()
    {
        setDataFolderForTesting(folder.path());
        timer = new ManualTimer;
        icon = std::make_unique<TNoteMain>(timer);
        board = std::make_unique<TFrmNote>();
        icon->setBoard(board.get());
        board->setDesktopIcon(icon.get());
    }
    ~IconFixture()
    {
        board.reset();
        icon.reset();
        setDataFolderForTesting(QString());
    }

    SettingsFile ini() const { return SettingsFile(folder.path() + "/QelNotes.ini"); }

    void enter()
    {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), icon->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(icon.get(), &event);
    }
    void leave()
    {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(icon.get(), &event);
    }
    void mouse(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, local, icon->mapToGlobal(QPointF(local)), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(icon.get(), &event);
    }
    void click(Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, {10, 10}, button, button);
        mouse(QEvent::MouseButtonRelease, {10, 10}, button, Qt::NoButton);
    }

    QTemporaryDir folder;
    ManualTimer *timer = nullptr;
    std::unique_ptr<TNoteMain> icon;
    std::unique_ptr<TFrmNote> board;
};

class TestNoteMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        setErrorMessageHandlerForTesting([](const QString &) {});
    }
    void cleanup() { setErrorMessageHandlerForTesting({}); }

    void firstStartPlacesIconAtSevenEighthsAndATenth()
    {
        IconFixture f;
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(f.icon->pos(), QPoint(screen.width() * 7 / 8, screen.height() / 10));
        QCOMPARE(f.icon->size(), QSize(32, 32));
        QVERIFY(f.icon->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(f.timer->interval(), 1000);
        QVERIFY(f.timer->isActive());
    }

    void storedPlace_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<bool>("keptAsStored");
        QTest::newRow("on screen") << QPoint(40, 50) << true;
        QTest::newRow("half off the left edge") << QPoint(-16, 50) << true;
        QTest::newRow("beyond the right edge") << QPoint(30000, 50) << false;
        QTest::newRow("above the top") << QPoint(50, -500) << false;
    }
    void storedPlace()
    {
        QFETCH(QPoint, stored);
        QFETCH(bool, keptAsStored);
        QTemporaryDir folder;
        setDataFolderForTesting(folder.path());
        SettingsFile ini(folder.path() + "/QelNotes.ini");
        QVERIFY(ini.writeInteger("NotesMain", "Left", stored.x()));
        QVERIFY(ini.writeInteger("NotesMain", "Top", stored.y()));
        TNoteMain icon(new ManualTimer);
        if (keptAsStored) {
            QCOMPARE(icon.pos(), stored);
        } else {
            const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
            QVERIFY2(area.contains(icon.geometry()), "a lost icon comes back onto the screen");
        }
        setDataFolderForTesting(QString());
    }

    void boardPlace_data()
    {
        QTest::addColumn<QPoint>("icon");
        QTest::addColumn<QPoint>("expected");
        // A 1920 x 1080 screen and a 250 x 500 board.
        QTest::newRow("room to the right and below") << QPoint(100, 108) << QPoint(130, 138);
        QTest::newRow("right edge: left of the icon") << QPoint(1680, 108) << QPoint(1427, 138);
        QTest::newRow("exactly fits at the right") << QPoint(1640, 108) << QPoint(1670, 138);
        QTest::newRow("bottom edge: 30 above the bottom") << QPoint(100, 1000) << QPoint(130, 550);
        QTest::newRow("exactly fits at the bottom") << QPoint(100, 550) << QPoint(130, 580);
    }
    void boardPlace()
    {
        QFETCH(QPoint, icon);
        QFETCH(QPoint, expected);
        QCOMPARE(TNoteMain::boardPlace(icon, QSize(250, 500), QSize(1920, 1080)), expected);
    }

    void enteringShowsBoardBesideIcon()
    {
        IconFixture f;
        f.icon->move(50, 60);
        f.enter();
        QVERIFY(f.board->isVisible());
        QCOMPARE(f.board->pos(), QPoint(80, 90));
        QCOMPARE(f.timer->interval(), 200);
        QVERIFY(f.timer->isActive());
        QCOMPARE(f.icon->hoverCount().value(), 1);
    }

    void reenteringSetsCounterToOne()
    {
        IconFixture f;
        f.enter();
        f.enter();
        QCOMPARE(f.icon->hoverCount().value(), 1);
        const QPoint place = f.board->pos();
        f.icon->move(f.icon->pos() + QPoint(40, 40));
        f.enter();
        QCOMPARE(f.board->pos(), place); // a shown board stays where it is
    }

    void autoHideWaitsForThePointerToLeave()
    {
        IconFixture f;
        f.enter();
        f.timer->tick();
        QVERIFY(f.board->isVisible());
        f.leave();
        QCOMPARE(f.icon->hoverCount().value(), 0);
        f.timer->tick();
        QVERIFY(!f.board->isVisible());
        QCOMPARE(f.icon->hoverCount().value(), 0);

        // A counter driven below zero still means "away", and the hide resets it.
        f.enter();
        f.icon->hoverCount().restart(-3);
        f.timer->tick();
        QVERIFY(!f.board->isVisible());
        QCOMPARE(f.icon->hoverCount().value(), 0);
    }

    void clickPinsAndUnpins()
    {
        IconFixture f;
        f.icon->move(200, 100);
        f.enter();
        // Another window has the keyboard while the board shows on hover;
        // pinned, the board takes it, so that typing reaches its filter.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        f.click();
        QVERIFY(f.board->StayOpen());
        QVERIFY(f.board->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), f.board.get());
        f.leave();
        f.timer->tick();
        QVERIFY2(f.board->isVisible(), "a pinned board outlives the pointer");
        // Even a click without movement writes the icon's place.
        QCOMPARE(f.ini().readInteger("NotesMain", "Left", -1), 200);
        QCOMPARE(f.ini().readInteger("NotesMain", "Top", -1), 100);

        f.click();
        QVERIFY(!f.board->StayOpen());
        QVERIFY(!f.board->isVisible());
    }

    void rightPressHidesEvenAPinnedBoard()
    {
        IconFixture f;
        f.enter();
        f.click();
        QVERIFY(f.board->isVisible());
        f.mouse(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
        QVERIFY(!f.board->isVisible());
        QVERIFY(f.board->StayOpen());
        f.mouse(QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton, Qt::NoButton);
        QVERIFY2(f.board->findChild<QMenu *>(QStringLiteral("PopupMenu1"))->isVisible(),
                 "the icon's menu is the board's");
        f.board->findChild<QMenu *>(QStringLiteral("PopupMenu1"))->hide();
        QCOMPARE(f.icon->MovePos, QPoint(-1, -1));
    }

    void draggingMovesIconAndHidesBoard()
    {
        IconFixture f;
        f.icon->move(300, 200);
        f.enter();
        f.mouse(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
        f.mouse(QEvent::MouseMove, {25, 15}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.icon->pos(), QPoint(320, 210));
        QVERIFY(!f.board->isVisible());
        // The press point stays, so the icon keeps following the pointer.
        f.mouse(QEvent::MouseMove, {8, 5}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.icon->pos(), QPoint(323, 210));
        f.mouse(QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.icon->MovePos, QPoint(-1, -1));
        QVERIFY2(!f.board->StayOpen(), "ending a drag is not a click");
        QCOMPARE(f.ini().readInteger("NotesMain", "Left", -1), 323);
        QCOMPARE(f.ini().readInteger("NotesMain", "Top", -1), 210);

        // Moving without a button held does nothing.
        f.mouse(QEvent::MouseMove, {20, 20}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(f.icon->pos(), QPoint(323, 210));
    }

    void secondStartBringsUpThePinnedBoardUnderThePointer()
    {
        IconFixture f;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint pointer = area.center();
        f.icon->showBoardOnRequest(pointer);
        QVERIFY(f.board->isVisible());
        QVERIFY(f.board->StayOpen());
        QVERIFY(f.board->frameGeometry().contains(pointer));
        f.timer->tick();
        QVERIFY(f.board->isVisible());
    }

    void boardUnderPointerStaysOnTheScreen_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("expected");
        // A 200 x 300 board on a 1280 x 800 screen whose top 30 pixels are a panel.
        QTest::newRow("middle") << QPoint(600, 400) << QPoint(500, 390);
        QTest::newRow("left edge") << QPoint(5, 400) << QPoint(0, 390);
        QTest::newRow("under the panel") << QPoint(600, 32) << QPoint(500, 30);
        QTest::newRow("bottom right corner") << QPoint(1279, 799) << QPoint(1080, 500);
    }
    void boardUnderPointerStaysOnTheScreen()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, expected);
        const QPoint place
            = TNoteMain::boardUnderPointer(pointer, QSize(200, 300), QRect(0, 30, 1280, 770));
        QCOMPARE(place, expected);
    }

    // A 200 x 300 board beside a 24 x 24 tray icon on a 1280 x 800 screen,
    // the tray in a 24-pixel panel along one edge.
    void boardBesideTrayIcon_data()
    {
        QTest::addColumn<QRect>("trayIcon");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("top panel: below")
            << QRect(1100, 0, 24, 24) << QRect(0, 24, 1280, 776) << QPoint(1080, 24);
        QTest::newRow("bottom panel: above")
            << QRect(1100, 776, 24, 24) << QRect(0, 0, 1280, 776) << QPoint(1080, 476);
        QTest::newRow("right panel: left of it")
            << QRect(1256, 400, 24, 24) << QRect(0, 0, 1256, 800) << QPoint(1056, 424);
        QTest::newRow("left panel, low: above, right of it")
            << QRect(0, 700, 24, 24) << QRect(24, 0, 1256, 800) << QPoint(24, 400);
    }
    void boardBesideTrayIcon()
    {
        QFETCH(QRect, trayIcon);
        QFETCH(QRect, area);
        QFETCH(QPoint, expected);
        QCOMPARE(TNoteMain::boardBeside(trayIcon, QSize(200, 300), area), expected);
    }

    // The tray icon stands in for the desktop icon: its click pins the board
    // beside it with the keyboard in the filter, the next click lets go, and
    // its menu is the board's.
    void trayIconClickPinsTheBoard()
    {
        IconFixture f;
        TrayIcon tray(*f.icon, f.board->menu(), true);
        QCOMPARE(tray.systemTrayIcon()->contextMenu(), f.board->menu());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect trayIcon(area.right() - 40, area.top(), 24, 24);
        f.icon->trayIconClick(trayIcon);
        QVERIFY(f.board->isVisible());
        QVERIFY(f.board->StayOpen());
        QCOMPARE(f.board->pos(), TNoteMain::boardBeside(trayIcon, f.board->size(),
                                                        availableAreaAt(trayIcon.center())));
        f.timer->tick();
        QVERIFY(f.board->isVisible());
        QTest::keyClicks(f.board.get(), "gar");
        QCOMPARE(f.board->filter()->text(), QStringLiteral("gar"));
        f.icon->trayIconClick(trayIcon);
        QVERIFY(!f.board->isVisible());
        QVERIFY(!f.board->StayOpen());

        // Where the tray does not tell its place, the board comes under the pointer.
        QCursor::setPos(area.center());
        Q_EMIT tray.systemTrayIcon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(f.board->isVisible());
        QVERIFY(f.board->StayOpen());
        QVERIFY(f.board->frameGeometry().contains(QCursor::pos()));
        Q_EMIT tray.systemTrayIcon()->activated(QSystemTrayIcon::Context);
        QVERIFY(f.board->isVisible());
    }

    // "Tray Icon" in the board's menu turns the icon off and on; the record
    // "Main" keeps the choice, and without it the platform decides.
    void trayIconSwitchIsStored()
    {
        IconFixture f;
        TrayIcon tray(*f.icon, f.board->menu(), true);
        tray.load();
        QVERIFY(tray.isOn());
        QVERIFY(tray.systemTrayIcon()->isVisible());
        f.board->addMenuEntries({tray.action()});
        const QList<QAction *> entries = f.board->menu()->actions();
        QCOMPARE(entries.at(entries.indexOf(tray.action()) - 1)->objectName(), "mnShowHint");
        tray.action()->trigger();
        QVERIFY(!tray.isOn());
        QVERIFY(!tray.systemTrayIcon()->isVisible());
        QCOMPARE(f.ini().readString("Main", "TrayIcon", "?"), "0");
        TrayIcon again(*f.icon, f.board->menu(), true);
        again.load();
        QVERIFY(!again.isOn());
        QVERIFY(TrayIcon::onByDefault("wayland"));
        QVERIFY(!TrayIcon::onByDefault("xcb"));
    }

    void boardStaysUpWhileItsQuestionIsOpen()
    {
        IconFixture f;
        f.enter();
        QDialog question(f.board.get());
        question.setWindowModality(Qt::ApplicationModal);
        question.show();
        f.leave();
        f.timer->tick();
        QVERIFY(f.board->isVisible());
        question.hide();
        f.timer->tick();
        QVERIFY(!f.board->isVisible());
    }

    void noteHeaderRestartsAFullPeriod()
    {
        IconFixture f;
        f.enter();
        const int starts = f.timer->starts;
        f.board->restartAutoHideTimer();
        QCOMPARE(f.timer->starts, starts + 1);
        QVERIFY(f.timer->isActive());
    }

    void unwritableSettingsAreReported()
    {
        IconFixture f;
        QString reported;
        setErrorMessageHandlerForTesting([&](const QString &text) { reported = text; });
        // A folder where the settings file should be makes every write fail.
        QVERIFY(QDir(f.folder.path()).mkpath("QelNotes.ini"));
        f.click();
        QCOMPARE(reported, "Unable to write to " + f.folder.path()
                               + "/QelNotes.ini: it could not be read (it is a folder)");
    }

    void closeStoresAndEndsOnce()
    {
        IconFixture f;
        QSignalSpy closed(f.icon.get(), &TNoteMain::closed);
        f.icon->show();
        f.enter();
        f.board->move(123, 45);
        f.board->findChild<QAction *>(QStringLiteral("Close2"))->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!f.icon->isVisible());
        QVERIFY(!f.board->isVisible());
        QCOMPARE(f.ini().readInteger("Main", "Left", -1), 123);
        QCOMPARE(f.ini().readInteger("Main", "Top", -1), 45);
    }

    void closeFromOutsideRunsTheShutdown()
    {
        IconFixture f;
        QSignalSpy closed(f.icon.get(), &TNoteMain::closed);
        f.icon->show();
        f.board->move(77, 66);
        f.icon->close();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(f.ini().readInteger("Main", "Left", -1), 77);
    }

    void aboutBox()
    {
        TFrmAbout about;
        QCOMPARE(about.windowTitle(), QString("About QelNotes"));
        QCOMPARE(TFrmAbout::versionText(), QString("QelNotes Version " QEL_VERSION));
    }

    void displayChoice_data()
    {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("requested");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("X11 session")
            << QByteArray() << QByteArray(":0") << QByteArray() << true << QByteArray();
        QTest::newRow("Wayland with XWayland") << QByteArray("wayland-0") << QByteArray(":0")
                                               << QByteArray() << true << QByteArray("xcb");
        QTest::newRow("Wayland, X server gone")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray() << false << QByteArray();
        QTest::newRow("Wayland only")
            << QByteArray("wayland-0") << QByteArray() << QByteArray() << false << QByteArray();
        QTest::newRow("user's choice kept") << QByteArray("wayland-0") << QByteArray(":0")
                                            << QByteArray("wayland") << true << QByteArray();
    }
    void displayChoice()
    {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, requested);
        QFETCH(bool, reachable);
        QFETCH(QByteArray, expected);
        QCOMPARE(chooseDisplayPlatform(wayland, display, requested, reachable), expected);
    }

    void unreachableDisplays()
    {
        QVERIFY(!xServerReachable(":987"));
        QVERIFY(!xServerReachable("garbage"));
        QVERIFY(!xServerReachable(":x"));
    }
};

QTEST_MAIN(TestNoteMain)
#include "tst_iconwindow.moc"
