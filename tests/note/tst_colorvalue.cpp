#include "note/colorvalue.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

class tst_ColorValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsStoredValues_data();
    void readsStoredValues();
    void writesWhatItReads();
};

void tst_ColorValue::readsStoredValues_data()
{
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QColor>("color");

    const QPalette palette = QGuiApplication::palette();
    QTest::newRow("red is the low byte") << qint32(8421631) << QColor(255, 128, 128);
    QTest::newRow("blue is the high byte") << qint32(0xDBCDBF) << QColor(191, 205, 219);
    QTest::newRow("info-tip background")
        << qint32(-16777192) << palette.color(QPalette::ToolTipBase);
    QTest::newRow("system window colour") << qint32(0xFF000005) << palette.color(QPalette::Base);
}

void tst_ColorValue::readsStoredValues()
{
    QFETCH(qint32, value);
    QFETCH(QColor, color);
    QCOMPARE(ColorValue::toColor(value), color);
}

void tst_ColorValue::writesWhatItReads()
{
    QCOMPARE(ColorValue::fromColor(QColor(255, 128, 128)), 8421631);
    // A note never coloured keeps following the desktop's info-tip colour.
    QCOMPARE(ColorValue::fromColor(QGuiApplication::palette().color(QPalette::ToolTipBase)),
             ColorValue::InfoBackground);
    QCOMPARE(ColorValue::InfoBackground, -16777192);
}

QTEST_MAIN(tst_ColorValue)
#include "tst_colorvalue.moc"
