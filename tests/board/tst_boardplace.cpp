#include "board/boardplace.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <utility>

namespace {

// A 200 x 300 window at (300, 200) whose place follows the pointer, with a
// part that takes presses for it and a button on that part.
class PlacedWindow
{
public:
    PlacedWindow()
    {
        window.setGeometry(300, 200, 200, 300);
        part->setGeometry(0, 0, 150, 150);
        button->setGeometry(10, 10, 40, 20);
        place->takePresses(part);
    }

    // A press at point (window coordinates) on widget, the pointer's way on
    // the screen, and the release.
    void drag(QWidget *widget, const QPoint &point, const QPoint &way)
    {
        const QPoint local = widget->mapFrom(&window, point);
        const QPoint global = widget->mapToGlobal(local);
        send(widget, QEvent::MouseButtonPress, local, global);
        send(widget, QEvent::MouseMove, local + way, global + way);
        held = {place->MousePos(), place->MouseResize()};
        send(widget, QEvent::MouseButtonRelease, local + way, global + way);
    }

    QWidget window;
    QWidget *part = new QWidget(&window);
    QPushButton *button = new QPushButton(part);
    BoardPlace *place = new BoardPlace(&window);
    // MousePos and MouseResize while the mouse button was held.
    std::pair<QPoint, QPoint> held;

private:
    static void send(QWidget *widget, QEvent::Type type, const QPoint &local, const QPoint &global)
    {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
};

} // namespace

class TestBoardPlace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A drag moves the window, a drag at the grip resizes it; either way it
    // stays wholly on the screen and no smaller than 100 x 100.
    void dragsKeepTheWindowOnTheScreen_data()
    {
        QTest::addColumn<QPoint>("press"); // in the window, at (300, 200), 200 x 300
        QTest::addColumn<QPoint>("way");
        QTest::addColumn<QRect>("expected");
        const QRect a = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint body(20, 160);
        const QPoint grip(195, 295);
        QTest::newRow("move") << body << QPoint(30, -40) << QRect(330, 160, 200, 300);
        QTest::newRow("move past the top left")
            << body << QPoint(-5000, -5000) << QRect(a.left(), a.top(), 200, 300);
        QTest::newRow("move past the bottom right")
            << body << QPoint(5000, 5000) << QRect(a.right() - 199, a.bottom() - 299, 200, 300);
        QTest::newRow("resize") << grip << QPoint(20, 30) << QRect(300, 200, 220, 330);
        QTest::newRow("resize below the least size")
            << grip << QPoint(-500, -500) << QRect(300, 200, 100, 100);
        QTest::newRow("resize past the screen's bottom")
            << grip << QPoint(0, 5000) << QRect(300, 200, 200, a.bottom() + 1 - 200);
    }
    void dragsKeepTheWindowOnTheScreen()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, way);
        QFETCH(QRect, expected);
        PlacedWindow f;
        const bool resizing = f.place->InResizeGrip(press.x(), press.y());
        f.drag(&f.window, press, way);
        QCOMPARE(f.window.geometry(), expected);
        QCOMPARE(f.held, std::make_pair(resizing ? QPoint(-1, -1) : press,
                                        resizing ? press : QPoint(-1, -1)));
        QCOMPARE(f.place->MousePos(), QPoint(-1, -1));
        QCOMPARE(f.place->MouseResize(), QPoint(-1, -1));
    }

    // A part's presses are the window's, but not those on a control on it.
    void pressesOnAPartMoveTheWindowButNotOnItsControls()
    {
        PlacedWindow f;
        f.drag(f.part, QPoint(100, 100), QPoint(10, 10));
        QCOMPARE(f.window.pos(), QPoint(310, 210));
        f.drag(f.part, QPoint(20, 20), QPoint(10, 10));
        QCOMPARE(f.held.first, QPoint(-1, -1));
        QCOMPARE(f.window.pos(), QPoint(310, 210));
    }
};

QTEST_MAIN(TestBoardPlace)
#include "tst_boardplace.moc"
