#include "platform/screenplace.h"

#include <QtTest>

class TestScreenPlace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void place_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("expected");
        // Two monitors side by side; the primary's task bar takes 40 pixels at the bottom.
        QTest::newRow("on the primary") << QRect(100, 100, 187, 400) << QPoint(100, 100);
        QTest::newRow("on the second monitor") << QRect(2500, 300, 187, 400) << QPoint(2500, 300);
        QTest::newRow("one pixel still on a screen")
            << QRect(-186, 10, 187, 400) << QPoint(-186, 10);
        QTest::newRow("beyond the second monitor: nearest place on the primary")
            << QRect(4000, 300, 187, 400) << QPoint(1920 - 187, 300);
        QTest::newRow("below everything") << QRect(50, 5000, 32, 32) << QPoint(50, 1040 - 32);
        QTest::newRow("left of everything") << QRect(-900, -900, 32, 32) << QPoint(0, 0);
        QTest::newRow("larger than the screen: top left reachable")
            << QRect(-5000, 0, 3000, 3000) << QPoint(0, 0);
    }
    void place()
    {
        QFETCH(QRect, frame);
        QFETCH(QPoint, expected);
        const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(placeOnScreen(frame, screens, QRect(0, 0, 1920, 1040)), expected);
    }
};

QTEST_APPLESS_MAIN(TestScreenPlace)
#include "tst_screenplace.moc"
