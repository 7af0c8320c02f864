#include "app/menucheckstyle.h"
#include "richtext/textcontrast.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyleFactory>
#include <QTest>

// An unticked option in a menu shows its box on light and dark themes.
class TestMenuCheckStyle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void untickedBoxesShow_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::newRow("light") << QColor(239, 239, 239);
        QTest::newRow("dark") << QColor(53, 53, 53);
    }

    void untickedBoxesShow()
    {
        QFETCH(QColor, window);
        const QPalette saved = QApplication::palette();
        QApplication::setPalette(QPalette(window));
        MenuCheckStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        QMenu menu;
        menu.setStyle(&style);
        QAction *option = menu.addAction(QStringLiteral("Show Hint"));
        option->setCheckable(true);
        menu.popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));

        // Left of the caption, where the box is, something stands out from
        // the menu's background.
        const QRect entry = menu.actionGeometry(option);
        const QImage drawn
            = menu.grab(QRect(entry.left(), entry.top(), entry.height() + 8, entry.height()))
                  .toImage();
        const QColor background = drawn.pixelColor(3, drawn.height() / 2);
        int standingOut = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x)
                standingOut += contrastRatio(drawn.pixelColor(x, y), background) >= 3;
        }
        menu.close();
        QApplication::setPalette(saved);
        QVERIFY2(standingOut >= 12, qPrintable(QString::number(standingOut)));
    }
};

QTEST_MAIN(TestMenuCheckStyle)
#include "tst_menucheckstyle.moc"
