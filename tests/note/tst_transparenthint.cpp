#include "manualtime.h"
#include "note/transparenthint.h"
#include "richedit/jvrichedit.h"
#include "richtext/richdocument.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

#include <memory>

class TestTransparentHint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createsHiddenInputTransparentWindow();
    void showsWholeNoteWithFormatAndColour();
    void longNoteIsScreenHighPlusTen();
    void showsWhatTheNoteHolds();
    void refreshesOnlyForAChangedNote();
    void timing_data();
    void timing();
    void fadingStopsAtThree();
    void pressHidesUntilNextMovement();
    void placement_data();
    void placement();

private:
    QWidget owner;
    ManualTime time;
};

void TestTransparentHint::createsHiddenInputTransparentWindow()
{
    TTransparentHint hint(&owner, time);
    QVERIFY(hint.isWindow());
    QVERIFY(!hint.isVisible());
    QCOMPARE(hint.parentWidget(), &owner);
    const Qt::WindowFlags flags = hint.windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTransparentForInput));
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(hint.testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(hint.editor()->focusPolicy(), Qt::NoFocus);
    QCOMPARE(hint.Transparency(), quint8(255));
    QCOMPARE(hint.windowOpacity(), 1.0);
    QCOMPARE(hint.StartTime(), quint32(0));
    hint.setTransparency(102);
    QCOMPARE(hint.windowOpacity(), 0.4);
}

void TestTransparentHint::showsWholeNoteWithFormatAndColour()
{
    RichDocument note;
    note.setText(QStringLiteral("Shopping list\r\nbread\r\nmilk"));
    note.setSelStart(0);
    note.setSelLength(8);
    note.SelAttributes().setBold(true);
    note.setColor(QColor(200, 230, 255));

    TTransparentHint hint(&owner, time);
    hint.SetRichEdit(note);
    TJvRichEdit *shown = hint.editor();
    QCOMPARE(shown->Text(), note.Text());
    shown->setSelStart(2);
    shown->setSelLength(3);
    QVERIFY(shown->SelAttributes().Bold());
    shown->setSelStart(10);
    shown->setSelLength(2);
    QVERIFY(!shown->SelAttributes().Bold());
    QCOMPARE(shown->Color(), QColor(200, 230, 255));
    QCOMPARE(shown->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(shown->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(hint.width(), 250);
    // Three short lines and the ten pixels below them.
    const int lineHeight = QFontMetrics(shown->document()->defaultFont()).lineSpacing();
    QVERIFY2(hint.height() >= 3 * lineHeight + 10 && hint.height() < 5 * lineHeight + 10,
             qPrintable(QString::number(hint.height())));

    // A shorter note shrinks the same window again.
    RichDocument shorter;
    shorter.setText(QStringLiteral("bread"));
    const int before = hint.height();
    hint.SetRichEdit(shorter);
    QCOMPARE(shown->Text(), QStringLiteral("bread"));
    QVERIFY(hint.height() < before);
}

void TestTransparentHint::longNoteIsScreenHighPlusTen()
{
    RichDocument note;
    QStringList lines;
    for (int i = 0; i < 500; ++i)
        lines << QStringLiteral("line %1 of a very long note").arg(i);
    note.setText(lines.join(QStringLiteral("\r\n")));
    TTransparentHint hint(&owner, time);
    hint.SetRichEdit(note);
    QCOMPARE(hint.height(), QGuiApplication::primaryScreen()->geometry().height() + 10);
    QCOMPARE(hint.editor()->VerticalScrollPosition(), 0);
}

void TestTransparentHint::showsWhatTheNoteHolds()
{
    RichDocument formatted;
    QVERIFY(formatted.setRtf("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}\\qc\\b Plan\\b0\\par"
                             "\\ql\\cf1 green\\cf0  and \\i italic\\i0\\par}"));
    formatted.setSelStart(formatted.Text().size());
    formatted.InsertGraphic(QImage(40, 30, QImage::Format_RGB32), false);
    formatted.setColor(QColor(255, 230, 200));
    RichDocument tall;
    tall.setRtf("{\\rtf1\\fs40 " + QByteArray("line\\par ").repeated(300) + "}");

    TTransparentHint hint(&owner, time);
    for (const RichDocument *note : {&formatted, &tall}) {
        hint.SetRichEdit(*note);
        QCOMPARE(hint.editor()->Text(), note->Text());
        QCOMPARE(hint.editor()->toRtf(), note->toRtf());
        QCOMPARE(hint.editor()->Color(), note->Color());
        QCOMPARE(hint.size(), QSize(250, note->MeasureTextHeight(250, &hint)));
    }
    QCOMPARE(hint.height(), QGuiApplication::primaryScreen()->geometry().height() + 10);
}

void TestTransparentHint::refreshesOnlyForAChangedNote()
{
    auto note = std::make_unique<RichDocument>();
    note->setText(QStringLiteral("first"));
    TTransparentHint hint(&owner, time);
    hint.SetRichEdit(*note);
    QSignalSpy copies(hint.editor()->document(), &QTextDocument::contentsChanged);
    hint.SetRichEdit(*note);
    QCOMPARE(copies.count(), 0);

    note->setSelStart(5);
    note->setSelText(QStringLiteral("\r\nsecond"));
    hint.SetRichEdit(*note);
    QCOMPARE(hint.editor()->Text(), QStringLiteral("first\r\nsecond"));

    note->setColor(QColor(10, 200, 10));
    hint.SetRichEdit(*note);
    QCOMPARE(hint.editor()->Color(), QColor(10, 200, 10));

    note->setFont({QFont(QStringLiteral("Serif"), 30), QColor()});
    hint.SetRichEdit(*note);
    QCOMPARE(hint.editor()->Font(), note->Font());

    // Another note, even one in the same memory, is another note.
    note = std::make_unique<RichDocument>();
    note->setText(QStringLiteral("new"));
    hint.SetRichEdit(*note);
    QCOMPARE(hint.editor()->Text(), QStringLiteral("new"));
}

void TestTransparentHint::timing_data()
{
    QTest::addColumn<quint32>("start");
    QTest::addColumn<quint32>("elapsed");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("transparency");
    QTest::addColumn<bool>("idle");

    QTest::newRow("resting 500 ms") << 5000u << 500u << false << 255 << false;
    QTest::newRow("shown after 500 ms, faded once") << 5000u << 501u << true << 252 << false;
    QTest::newRow("still fading before 3000 ms") << 5000u << 2999u << true << 252 << false;
    QTest::newRow("exactly 3000 ms changes nothing") << 5000u << 3000u << false << 255 << false;
    QTest::newRow("hidden after 3000 ms") << 5000u << 3001u << false << 255 << true;
    QTest::newRow("tick count wrapped") << 0xFFFFFF00u << 600u << true << 252 << false;
    QTest::newRow("tick count wrapped, hidden") << 0xFFFFFF00u << 4000u << false << 255 << true;
}

void TestTransparentHint::timing()
{
    QFETCH(quint32, start);
    QFETCH(quint32, elapsed);
    QFETCH(bool, visible);
    QFETCH(int, transparency);
    QFETCH(bool, idle);

    TTransparentHint hint(&owner, time);
    time.now = start;
    hint.restartTiming();
    QCOMPARE(hint.StartTime(), start);
    time.now = start + elapsed;
    hint.HintTimerTimer();
    QCOMPARE(hint.isVisible(), visible);
    QCOMPARE(int(hint.Transparency()), transparency);
    QCOMPARE(hint.StartTime() == 0, idle);

    // Idle, further ticks change nothing.
    if (idle) {
        time.now += 600;
        hint.HintTimerTimer();
        QVERIFY(!hint.isVisible());
    }
}

void TestTransparentHint::fadingStopsAtThree()
{
    TTransparentHint hint(&owner, time);
    time.now = 1000;
    hint.restartTiming();
    time.now = 2000;
    for (int tick = 0; tick < 100; ++tick)
        hint.HintTimerTimer();
    QCOMPARE(hint.Transparency(), quint8(3));
    QVERIFY(hint.isVisible());
}

void TestTransparentHint::pressHidesUntilNextMovement()
{
    TTransparentHint hint(&owner, time);
    time.now = 1000;
    hint.restartTiming();
    time.now = 1600;
    hint.HintTimerTimer();
    QVERIFY(hint.isVisible());

    hint.buttonPressed();
    QVERIFY(!hint.isVisible());
    // The start now lies in the future: the next tick takes it for long ago.
    time.now = 1800;
    hint.HintTimerTimer();
    QVERIFY(!hint.isVisible());
    QCOMPARE(hint.StartTime(), quint32(0));
    for (quint32 later : {2600u, 3700u, 5000u}) {
        time.now = later;
        hint.HintTimerTimer();
        QVERIFY(!hint.isVisible());
    }

    hint.restartTiming();
    time.now += 501;
    hint.HintTimerTimer();
    QVERIFY(hint.isVisible());
}

void TestTransparentHint::placement_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("frameWidth");
    QTest::addColumn<QPoint>("expected");

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTest::newRow("below the pointer, centred on the row")
        << QPoint(400, 100) << 183 << QPoint(400 - 91, 120);
    QTest::newRow("odd width rounds toward zero") << QPoint(300, 50) << 5 << QPoint(298, 70);
    QTest::newRow("kept off the right edge")
        << QPoint(screen.right() - 10, 100) << 100 << QPoint(screen.right() + 1 - 250, 120);
    QTest::newRow("kept off the left edge") << QPoint(20, 100) << 183 << QPoint(screen.left(), 120);
    QTest::newRow("kept above the bottom edge")
        << QPoint(400, screen.bottom() - 5) << 100 << QPoint(350, screen.bottom() + 1 - 60);
}

void TestTransparentHint::placement()
{
    QFETCH(QPoint, pointer);
    QFETCH(int, frameWidth);
    QFETCH(QPoint, expected);

    TTransparentHint hint(&owner, time);
    hint.resize(250, 60);
    hint.placeBelow(pointer, frameWidth);
    QCOMPARE(hint.pos(), expected);
}

QTEST_MAIN(TestTransparentHint)
#include "tst_transparenthint.moc"
