#include <QMoveEvent>
#include <QTest>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

#include "board/placekeeper.h"

// Stands for the window system: moves the window without the keeper seeing
// the move, then reports the new place as the window system would.
class WindowSystem : public QObject
{
public:
    explicit WindowSystem(QWidget *window)
        : m_window(window)
    {
        // Installed after the keeper, so asked first.
        window->installEventFilter(this);
    }

    void report(const QPoint &place)
    {
        const QPoint old = m_window->pos();
        m_hiding = true;
        m_window->move(place);
        m_hiding = false;
        QMoveEvent event(place, old);
        QSpontaneKeyEvent::setSpontaneous(&event);
        // Sending would clear the mark.
        QCoreApplication::instance()->notify(m_window, &event);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return m_hiding && event->type() == QEvent::Move;
    }

private:
    QWidget *m_window;
    bool m_hiding = false;
};

class TestPlaceKeeper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstReportAfterShowingIsChecked_data();
    void firstReportAfterShowingIsChecked();
};

void TestPlaceKeeper::firstReportAfterShowingIsChecked_data()
{
    QTest::addColumn<bool>("movedWhileShown"); // by the program, before the report
    QTest::addColumn<int>("earlierReports");   // true ones since showing
    QTest::addColumn<QPoint>("reported");
    QTest::addColumn<QPoint>("expected");

    const QPoint put(300, 200);
    const QPoint framed(0, 0); // the window's place in the manager's frame
    QTest::newRow("frame-relative place after showing") << false << 0 << framed << put;
    QTest::newRow("true place after showing") << false << 0 << put << put;
    QTest::newRow("moved by the program while shown") << true << 0 << framed << QPoint(400, 300);
    QTest::newRow("moved by the manager once settled")
        << false << 1 << QPoint(500, 100) << QPoint(500, 100);
}

void TestPlaceKeeper::firstReportAfterShowingIsChecked()
{
    QFETCH(bool, movedWhileShown);
    QFETCH(int, earlierReports);
    QFETCH(QPoint, reported);
    QFETCH(QPoint, expected);

    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window.resize(100, 80);
    new PlaceKeeper(&window);
    WindowSystem system(&window);
    // Put and shown twice: what counts is the place at the last showing.
    window.move(10, 10);
    window.show();
    window.hide();
    window.move(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < earlierReports; ++i)
        system.report(window.pos());
    if (movedWhileShown)
        window.move(400, 300);
    system.report(reported);
    QCOMPARE(window.pos(), expected);
}

QTEST_MAIN(TestPlaceKeeper)
#include "tst_placekeeper.moc"
