#include "../note/manualtime.h"
#include "board/notesboard.h"
#include "board/notesview.h"
#include "commands/commandmodule.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "note/transparenthint.h"
#include "platform/datafolder.h"
#include "richedit/jvrichedit.h"
#include "richtext/richdocument.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A board over notes given as text, its previews timed by a clock the test
// sets, with "Show Hint" as given.
class PreviewFixture
{
public:
    explicit PreviewFixture(const QStringList &notes, bool showHint = true)
    {
        setDataFolderForTesting(folder.path());
        for (qsizetype i = 0; i < notes.size(); ++i)
            writeFile(QString("QelNotes_%1.rtf").arg(i), notes.at(i).toUtf8());
        writeFile("QelNotes.ini", QByteArray("[Main]\r\nShowHint=") + (showHint ? "1" : "0")
                                      + "\r\nLeft=100\r\nTop=100\r\n");
        board = std::make_unique<TFrmNote>(nullptr, time);
        board->show();
    }
    ~PreviewFixture()
    {
        board.reset();
        setDataFolderForTesting(QString());
    }

    void writeFile(const QString &name, const QByteArray &data)
    {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    TNoteFrame *note(int index) const { return board->NotesList().at(index); }
    TTransparentHint *hint() const { return board->HintWindow(); }

    // The pointer moves over note index's row, to a point in the row that
    // differs from the last one.
    QPoint move(int index)
    {
        static int moves = 0;
        ++moves;
        const QPoint position(2 + moves % 100, 2 + moves / 100 % 12);
        moveTo(index, position);
        return position;
    }
    // The same to position in row coordinates.
    void moveTo(int index, QPoint position)
    {
        const QPoint local = rowTopLeft(index) + position;
        QMouseEvent event(QEvent::MouseMove, local, rows()->mapToGlobal(QPointF(local)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rows(), &event);
    }
    void press(int index)
    {
        QTest::mousePress(rows(), Qt::LeftButton, {}, rowTopLeft(index) + QPoint(5, 5));
    }
    NotesView *rows() const { return board->rowsView(); }
    QPoint rowTopLeft(int index) const
    {
        return rows()->rowRect(rows()->shownIndexOf(note(index))).topLeft();
    }
    // ms have passed: every enabled preview timer ticks once.
    void tick(quint32 ms)
    {
        time.now += ms;
        static_cast<ManualTimer *>(board->HintTimer())->tick();
    }
    bool previewTimerRuns() const { return board->HintTimer()->isActive(); }

    TDM dm;
    QTemporaryDir folder;
    ManualTime time;
    std::unique_ptr<TFrmNote> board;
};

} // namespace

class TestHoverPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstMovementCreatesAndShowsPreview();
    void hiddenPreviewShowsAfterRestAtOpacity252();
    void showHintOffMakesNoPreview();
    void openNoteMakesNoFirstPreview();
    void sameCoordinatesInAnotherHeaderDoNotRefresh();
    void fadeIsTheSameForAnyNumberOfNotes_data();
    void fadeIsTheSameForAnyNumberOfNotes();
    void pressHidesUntilNextMovement();
    void clickSwitchesPreviewsAndDoubleClickStopsThem();
    void boardHidingOrClosingHidesPreview();
    void deletingPreviewedNoteKeepsPreviewsWorking();
};

void TestHoverPreview::firstMovementCreatesAndShowsPreview()
{
    PreviewFixture f({"Shopping list\r\nbread\r\nmilk", "Second note"});
    QVERIFY(!f.hint());
    QCOMPARE(f.board->HintTimer()->interval(), 1000);
    QVERIFY(!f.board->HintTimer()->isActive());

    const QPoint position = f.move(0);
    QVERIFY(f.hint());
    QVERIFY(f.hint()->isVisible());
    QCOMPARE(f.board->actNote(), f.note(0));
    QCOMPARE(f.hint()->editor()->Text(), f.note(0)->edit().Text());
    QCOMPARE(f.hint()->Transparency(), quint8(255));
    QCOMPARE(f.hint()->StartTime(), f.time.now);
    QCOMPARE(f.board->HintTimer()->interval(), 200);
    QVERIFY(f.previewTimerRuns());
    const QPoint pointer = f.rows()->mapToGlobal(f.rowTopLeft(0) + position);
    QCOMPARE(f.hint()->pos(), pointer + QPoint(-(f.rows()->width() / 2), 20));

    // Another note loads into the same window.
    f.move(1);
    QCOMPARE(f.board->findChildren<TTransparentHint *>().size(), 1);
    QCOMPARE(f.hint()->editor()->Text(), QStringLiteral("Second note"));
    QCOMPARE(f.board->actNote(), f.note(1));

    // Faded and hidden three seconds after the last movement.
    f.tick(600);
    QCOMPARE(f.hint()->Transparency(), quint8(252));
    f.tick(2401);
    QVERIFY(!f.hint()->isVisible());
    QCOMPARE(f.hint()->StartTime(), quint32(0));
}

void TestHoverPreview::hiddenPreviewShowsAfterRestAtOpacity252()
{
    PreviewFixture f({"First", "Second"});
    f.move(0);
    f.tick(3001);
    QVERIFY(!f.hint()->isVisible());

    f.move(1);
    QVERIFY(!f.hint()->isVisible());
    QCOMPARE(f.hint()->Transparency(), quint8(255));
    f.tick(200);
    f.tick(300);
    QVERIFY(!f.hint()->isVisible());
    f.tick(200);
    QVERIFY(f.hint()->isVisible());
    QCOMPARE(f.hint()->Transparency(), quint8(252));
    QCOMPARE(f.hint()->editor()->Text(), QStringLiteral("Second"));
}

void TestHoverPreview::showHintOffMakesNoPreview()
{
    PreviewFixture f({"First", "Second"}, false);
    f.move(0);
    f.move(1);
    QVERIFY(!f.hint());
    QVERIFY(f.board->findChildren<TTransparentHint *>().isEmpty());
    QCOMPARE(f.board->actNote(), f.note(1));
    QVERIFY(!f.previewTimerRuns());
}

void TestHoverPreview::openNoteMakesNoFirstPreview()
{
    PreviewFixture f({"Open note", "Closed note"});
    f.note(0)->Panel1DblClick();
    QVERIFY(f.note(0)->Frm());
    f.board->show();
    f.move(0);
    QVERIFY(!f.hint());
    QCOMPARE(f.board->actNote(), f.note(0));

    // Once the preview exists, the open note loads into it like any other,
    // as its window holds it now.
    f.move(1);
    QVERIFY(f.hint());
    f.note(0)->Frm()->editor()->setText(QStringLiteral("Edited in its window"));
    f.move(0);
    QCOMPARE(f.hint()->editor()->Text(), QStringLiteral("Edited in its window"));
}

void TestHoverPreview::sameCoordinatesInAnotherHeaderDoNotRefresh()
{
    PreviewFixture f({"First", "Second"});
    const QPoint position = f.move(0);
    const quint32 started = f.time.now;
    f.time.now += 100;
    f.moveTo(1, position);
    QCOMPARE(f.hint()->editor()->Text(), QStringLiteral("First"));
    QCOMPARE(f.hint()->StartTime(), started);
    QCOMPARE(f.board->actNote(), f.note(0));
}

void TestHoverPreview::fadeIsTheSameForAnyNumberOfNotes_data()
{
    QTest::addColumn<int>("notes");
    QTest::newRow("one note") << 1;
    QTest::newRow("three notes") << 3;
    QTest::newRow("ten notes") << 10;
}

void TestHoverPreview::fadeIsTheSameForAnyNumberOfNotes()
{
    QFETCH(int, notes);
    QStringList texts;
    for (int i = 0; i < notes; ++i)
        texts << QString("Note %1").arg(i);
    PreviewFixture f(texts);
    f.move(0);
    f.board->ShowHints(true);
    QVERIFY(f.previewTimerRuns());
    // One timer drives the preview, however many notes the board lists.
    f.tick(600);
    QCOMPARE(int(f.hint()->Transparency()), 252);
}

void TestHoverPreview::pressHidesUntilNextMovement()
{
    PreviewFixture f({"First", "Second"});
    f.move(0);
    f.press(0);
    QVERIFY(!f.hint()->isVisible());
    for (int i = 0; i < 20; ++i) {
        f.tick(200);
        QVERIFY(!f.hint()->isVisible());
    }
    QCOMPARE(f.hint()->StartTime(), quint32(0));

    f.move(0);
    f.tick(501);
    QVERIFY(f.hint()->isVisible());
}

void TestHoverPreview::clickSwitchesPreviewsAndDoubleClickStopsThem()
{
    PreviewFixture f({"First", "Second", "Third"});
    f.move(1);
    // A click while the previews run stops them all and hides the preview.
    f.note(1)->Panel1Click();
    QVERIFY(!f.hint()->isVisible());
    QVERIFY(!f.previewTimerRuns());
    QCOMPARE(f.board->actNote(), nullptr);
    QVERIFY(!f.note(1)->Frm());
    // Moving then loads the preview but nothing shows it.
    f.move(2);
    f.tick(600);
    QVERIFY(!f.hint()->isVisible());
    // The next click starts every note's timer.
    f.note(2)->Panel1Click();
    QVERIFY(f.previewTimerRuns());
    f.move(2);
    f.tick(600);
    QVERIFY(f.hint()->isVisible());

    // A double click opens the note and stops the previews.
    f.note(2)->Panel1DblClick();
    QVERIFY(f.note(2)->Frm());
    QVERIFY(!f.hint()->isVisible());
    QVERIFY(!f.previewTimerRuns());
}

void TestHoverPreview::boardHidingOrClosingHidesPreview()
{
    PreviewFixture f({"First"});
    f.move(0);
    QVERIFY(f.hint()->isVisible());
    f.board->hide();
    QVERIFY(!f.hint()->isVisible());
    QCOMPARE(f.hint()->StartTime(), quint32(0));
    // A timer still running does not bring it back over the hidden board.
    f.tick(600);
    QVERIFY(!f.hint()->isVisible());

    f.board->show();
    f.move(0);
    f.tick(600);
    QVERIFY(f.hint()->isVisible());
    f.board->close();
    QVERIFY(!f.hint()->isVisible());
    f.tick(600);
    QVERIFY(!f.hint()->isVisible());
}

void TestHoverPreview::deletingPreviewedNoteKeepsPreviewsWorking()
{
    PreviewFixture f({"First", "Second"});
    f.move(0);
    f.board->DeleteNote(f.note(0));
    QVERIFY(!f.hint()->isVisible());
    QVERIFY(f.previewTimerRuns());
    f.move(0);
    f.tick(600);
    QVERIFY(f.hint()->isVisible());
    QCOMPARE(f.hint()->editor()->Text(), QStringLiteral("Second"));
}

QTEST_MAIN(TestHoverPreview)
#include "tst_hoverpreview.moc"
