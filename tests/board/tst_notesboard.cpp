#include "board/boardfilter.h"
#include "board/boardplace.h"
#include "board/boardquestion.h"
#include "board/desktopicon.h"
#include "board/errormessage.h"
#include "board/hovercount.h"
#include "../platform/filesizelimit.h"
#include "board/notesboard.h"
#include "board/notesview.h"
#include "commands/commandmodule.h"
#include "note/colorvalue.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "platform/datafolder.h"
#include "platform/desktopshortcut.h"
#include "platform/intervaltimer.h"
#include "platform/settingsfile.h"
#include "richtext/richdocument.h"
#include "richedit/jvrichedit.h"
#include "../faultwarnings.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {

// The board's parts, found by their names.
template <typename T = QAction>
T *part(const QObject *board, const char *name)
{
    return board->findChild<T *>(QString::fromLatin1(name));
}

// Records what the board asks of the desktop icon.
class IconStub : public DesktopIcon
{
public:
    void Close2Click(QObject *sender) override { closeSenders.append(sender); }
    void restartAutoHideTimer() override { ++restarts; }
    HoverCount &hoverCount() override { return hover; }
    QRect iconFrame() const override { return {1120, 80, 32, 32}; }

    QList<QObject *> closeSenders;
    int restarts = 0;
    HoverCount hover;
};

// The About box, answered at once.
class AboutStub : public QDialog
{
public:
    int exec() override
    {
        ++shown;
        return QDialog::Accepted;
    }
    int shown = 0;
};

// A board on a fresh data folder holding the given notes as note files.
class BoardFixture
{
public:
    explicit BoardFixture(const QStringList &notes = {})
    {
        setDataFolderForTesting(folder.path());
        for (qsizetype i = 0; i < notes.size(); ++i)
            writeFile(QString("QelNotes_%1.rtf").arg(i), notes.at(i).toUtf8());
        board = std::make_unique<TFrmNote>();
        board->setDesktopIcon(&icon);
        board->setAboutBox(&about);
    }
    ~BoardFixture()
    {
        board.reset();
        setDataFolderForTesting(QString());
    }

    SettingsFile ini() const { return SettingsFile(folder.path() + "/QelNotes.ini"); }

    void writeFile(const QString &name, const QByteArray &data)
    {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QString noteFile(int number) const
    {
        QFile file(folder.filePath(QString("QelNotes_%1.rtf").arg(number)));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
    QStringList titles() const
    {
        QStringList result;
        for (TNoteFrame *frame : board->NotesList())
            result << frame->caption();
        return result;
    }

    NotesView *rows() const { return board->rowsView(); }
    // Where note's row lies on the board; empty when it is not shown.
    QRect rowOnBoard(const TNoteFrame *note) const
    {
        const int shown = rows()->shownIndexOf(note);
        if (shown < 0)
            return {};
        const QRect row = rows()->rowRect(shown);
        return {rows()->mapTo(board.get(), row.topLeft()), row.size()};
    }
    // The colour note's row is painted in, beside its caption.
    QColor rowColor(const TNoteFrame *note) const
    {
        return rows()->grab(rows()->rowRect(rows()->shownIndexOf(note))).toImage().pixelColor(0, 0);
    }
    // A mouse event on the rows at a point given in board coordinates.
    void mouseOnRows(QEvent::Type type, QPoint boardPoint, Qt::MouseButton button,
                     Qt::MouseButtons buttons)
    {
        const QPoint local = rows()->mapFrom(board.get(), boardPoint);
        QMouseEvent event(type, local, rows()->mapToGlobal(QPointF(local)), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(rows(), &event);
    }

    // A mouse event on widget at a point given in board coordinates.
    void mouse(QWidget *widget, QEvent::Type type, QPoint boardPoint, Qt::MouseButtons buttons)
    {
        const QPoint local = widget->mapFrom(board.get(), boardPoint);
        QMouseEvent event(type, local, widget->mapToGlobal(QPointF(local)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }

    TDM dm;
    QTemporaryDir folder;
    IconStub icon;
    AboutStub about;
    std::unique_ptr<TFrmNote> board;
};

} // namespace

class TestFrmNote : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        failOnFaultWarnings();
        setErrorMessageHandlerForTesting([](const QString &) {});
    }
    void cleanup() { setErrorMessageHandlerForTesting({}); }

    void startsHiddenAsToolWindow()
    {
        BoardFixture f;
        QVERIFY(!f.board->isVisible());
        QVERIFY(f.board->windowFlags() & Qt::Tool);
        QVERIFY(f.board->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(f.board->stayOnTop());
        QVERIFY(f.board->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(part(f.board.get(), "mnStayOnTop")->isChecked());
        QVERIFY(!f.board->StayOpen());
        QCOMPARE(f.board->clientHeight(), 96); // no notes
        QCOMPARE(f.board->place().MousePos(), QPoint(-1, -1));
        QCOMPARE(f.board->place().MouseResize(), QPoint(-1, -1));
    }

    void menuHoldsEveryItemInOrder()
    {
        BoardFixture f;
        QStringList captions;
        for (QAction *action : part<QMenu>(f.board.get(), "PopupMenu1")->actions())
            captions << (action->isSeparator() ? QString("-") : action->text());
        QCOMPARE(captions,
                 QStringList({"New", "Open", "Restore Deleted Note", "-", "Desktop", "Startup",
                              "Stay On top", "Show Hint", "-", "About...", "-", "Close"}));
        QCOMPARE(part(f.board.get(), "mnStartup")->toolTip(), QString("QelClock at startup"));
        for (QAction *ticked :
             {part(f.board.get(), "mnDesktop"), part(f.board.get(), "mnStartup"),
              part(f.board.get(), "mnStayOnTop"), part(f.board.get(), "mnShowHint")})
            QVERIFY(ticked->isCheckable());
        QVERIFY(!part(f.board.get(), "New1")->icon().isNull());
        QVERIFY(
            part<QToolBar>(f.board.get(), "tbRight")->widgetForAction(part(f.board.get(), "New1")));
    }

    void pressInGripResizesElseMoves_data()
    {
        QTest::addColumn<int>("fromRight");
        QTest::addColumn<int>("fromBottom");
        QTest::addColumn<bool>("resizes");
        QTest::newRow("16, 16: grip") << 16 << 16 << true;
        QTest::newRow("0, 0: grip") << 0 << 0 << true;
        QTest::newRow("17 from the right: move") << 17 << 16 << false;
        QTest::newRow("17 from the bottom: move") << 16 << 17 << false;
    }
    void pressInGripResizesElseMoves()
    {
        QFETCH(int, fromRight);
        QFETCH(int, fromBottom);
        QFETCH(bool, resizes);
        BoardFixture f;
        f.board->resize(200, 300);
        f.board->show();
        const QPoint point(200 - fromRight, 300 - fromBottom);
        QCOMPARE(f.board->place().InResizeGrip(point.x(), point.y()), resizes);
        f.mouse(part<QToolBar>(f.board.get(), "tbRight"), QEvent::MouseButtonPress, point,
                Qt::LeftButton);
        QCOMPARE(f.board->place().MouseResize(), resizes ? point : QPoint(-1, -1));
        QCOMPARE(f.board->place().MousePos(), resizes ? QPoint(-1, -1) : point);
        f.mouse(part<QToolBar>(f.board.get(), "tbRight"), QEvent::MouseButtonRelease, point,
                Qt::NoButton);
        QCOMPARE(f.board->place().MouseResize(), QPoint(-1, -1));
        QCOMPARE(f.board->place().MousePos(), QPoint(-1, -1));
    }

    void resizingStopsAtOneHundred()
    {
        BoardFixture f;
        f.board->resize(200, 300);
        f.board->show();
        f.mouse(part<QToolBar>(f.board.get(), "tbRight"), QEvent::MouseButtonPress, {195, 295},
                Qt::LeftButton);
        f.mouse(part<QToolBar>(f.board.get(), "tbRight"), QEvent::MouseMove, {215, 325},
                Qt::LeftButton);
        QCOMPARE(f.board->size(), QSize(220, 330));
        f.mouse(part<QToolBar>(f.board.get(), "tbRight"), QEvent::MouseMove, {0, 0},
                Qt::LeftButton);
        QCOMPARE(f.board->size(), QSize(100, 100));
        f.mouse(part<QToolBar>(f.board.get(), "tbRight"), QEvent::MouseButtonRelease, {0, 0},
                Qt::NoButton);
    }

    void resizeFollowsThePointerOnTheScreen()
    {
        BoardFixture f;
        f.board->setGeometry(300, 200, 200, 300);
        f.board->show();
        auto *grip = part<QToolBar>(f.board.get(), "tbRight");
        const QPoint press = f.board->mapToGlobal(QPoint(195, 295));
        const auto send = [&](QEvent::Type type, const QPoint &global) {
            const QPoint local = grip->mapFromGlobal(global);
            QMouseEvent event(type, local, global, Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(grip, &event);
        };
        send(QEvent::MouseButtonPress, press);
        send(QEvent::MouseMove, press + QPoint(20, 30));
        QCOMPARE(f.board->geometry(), QRect(300, 200, 220, 330));
        // The window manager puts the board elsewhere meanwhile: the pointer
        // has not moved on the screen, so the size stays and the board is
        // not thrown about.
        f.board->move(0, 0);
        send(QEvent::MouseMove, press + QPoint(20, 30));
        QCOMPARE(f.board->size(), QSize(220, 330));
        send(QEvent::MouseMove, press + QPoint(25, 30));
        QCOMPARE(f.board->size(), QSize(225, 330));
        send(QEvent::MouseButtonRelease, press + QPoint(25, 30));
    }

    void pressOutsideGripMovesBoard()
    {
        BoardFixture f;
        f.board->move(100, 100);
        f.board->show();
        f.mouse(part<QWidget>(f.board.get(), "pnWorkArea"), QEvent::MouseButtonPress, {20, 80},
                Qt::LeftButton);
        f.mouse(part<QWidget>(f.board.get(), "pnWorkArea"), QEvent::MouseMove, {50, 60},
                Qt::LeftButton);
        QCOMPARE(f.board->pos(), QPoint(130, 80));
        QCOMPARE(f.board->size(), QSize(187, 100));
        f.mouse(part<QWidget>(f.board.get(), "pnWorkArea"), QEvent::MouseButtonRelease, {50, 60},
                Qt::NoButton);
        f.mouse(part<QWidget>(f.board.get(), "pnWorkArea"), QEvent::MouseMove, {90, 90},
                Qt::NoButton);
        QCOMPARE(f.board->pos(), QPoint(130, 80));
    }

    void hoverCountOverBoardStaysPositive()
    {
        BoardFixture f;
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QCoreApplication::sendEvent(f.board.get(), &enter);
        QCoreApplication::sendEvent(part<QWidget>(f.board.get(), "pnWorkArea"), &enter);
        QVERIFY(f.icon.hover.pointerOver());
        QCoreApplication::sendEvent(part<QWidget>(f.board.get(), "pnWorkArea"), &leave);
        QCoreApplication::sendEvent(part<QToolBar>(f.board.get(), "tbRight"), &enter);
        QVERIFY(f.icon.hover.pointerOver());
        QCoreApplication::sendEvent(part<QToolBar>(f.board.get(), "tbRight"), &leave);
        // The rows are one part, whatever notes come and go under the pointer.
        QCoreApplication::sendEvent(f.rows(), &enter);
        f.board->New1Click();
        f.board->DeleteNote(f.board->NotesList().first());
        QCOMPARE(f.icon.hover.value(), 2);
        QCoreApplication::sendEvent(f.rows(), &leave);
        QCoreApplication::sendEvent(f.board.get(), &leave);
        QCOMPARE(f.icon.hover.value(), 0);
    }

    void storedHeightNeverCutsRowsOff()
    {
        QStringList notes;
        for (int i = 0; i < 20; ++i)
            notes << QString("note %1").arg(i);
        BoardFixture f(notes);
        SettingsFile ini = f.ini();
        // Stored while there were few notes (or notes were added as files).
        QVERIFY(ini.writeInteger("Main", "Height", 120));
        TFrmNote again;
        QCOMPARE(again.clientHeight(), 20 * 16);
        QVERIFY(again.rowsView()->rowRect(19).bottom() < again.clientHeight());
    }

    void questionKeepsClearOfTheIcon_data()
    {
        QTest::addColumn<QRect>("board");
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QPoint>("expected");
        // A 400 x 150 question on a 1280 x 800 screen.
        QTest::newRow("icon elsewhere: over the board")
            << QRect(100, 100, 300, 400) << QRect(1200, 20, 32, 32) << QPoint(49, 224);
        QTest::newRow("icon over the board's middle: below it")
            << QRect(1000, 100, 300, 200) << QRect(1120, 180, 32, 32) << QPoint(880, 220);
        QTest::newRow("icon low on the screen: above it")
            << QRect(1000, 500, 300, 300) << QRect(1120, 700, 32, 32) << QPoint(880, 542);
    }
    void questionKeepsClearOfTheIcon()
    {
        QFETCH(QRect, board);
        QFETCH(QRect, icon);
        QFETCH(QPoint, expected);
        const QSize question(400, 150);
        const QPoint place = BoardQuestion::place(question, board, icon, QRect(0, 0, 1280, 800));
        QCOMPARE(place, expected);
        QVERIFY(!QRect(place, question).intersects(icon));
    }

    void deleteQuestionOpensClearOfTheIcon()
    {
        BoardFixture f({"only note"});
        f.board->move(1000, 60);
        f.board->show();
        QRect asked;
        QString text;
        QTimer::singleShot(0, f.board.get(), [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked = box->frameGeometry();
            text = box->text();
            // Enter answers the default, which keeps the note.
            QTest::keyClick(box, Qt::Key_Return);
        });
        f.board->NotesList().first()->imCloseClick();
        QVERIFY(text.startsWith("Do you want to delete following note?"));
        QVERIFY(!asked.isEmpty());
        QVERIFY(!asked.intersects(f.icon.iconFrame()));
        QCOMPARE(f.board->NotesList().size(), 1);
    }

    // A deleted note comes back from the board menu at the end of the list,
    // with its text and colour, also after a restart.
    void deletedNoteComesBackFromTheMenu()
    {
        BoardFixture f({"first", "second\nmore", "third"});
        QVERIFY(
            f.ini().writeInteger("Note_2", "Color", ColorValue::fromColor(QColor(0, 200, 100))));
        f.board.reset();
        f.board = std::make_unique<TFrmNote>();
        f.board->DeleteNote(f.board->NotesList().at(1));
        f.board->StoreNotes();
        QCOMPARE(f.titles(), QStringList({"first....", "third...."}));

        auto *restore = part<QMenu>(f.board.get(), "mnRestore");
        Q_EMIT restore->aboutToShow();
        QCOMPARE(restore->actions().size(), 1);
        QVERIFY(restore->actions().first()->text().startsWith("second.."));
        restore->actions().first()->trigger();
        QCOMPARE(f.titles(), QStringList({"first....", "third....", "second...."}));
        QVERIFY(f.noteFile(2).contains("more"));
        QVERIFY(QDir(f.folder.path()).entryList({"QelNotes_deleted_*"}).isEmpty());

        f.board.reset();
        TFrmNote again;
        QCOMPARE(again.NotesList().at(2)->edit().Color(), QColor(0, 200, 100));
        Q_EMIT part<QMenu>(&again, "mnRestore")->aboutToShow();
        QVERIFY(!part<QMenu>(&again, "mnRestore")->actions().first()->isEnabled());
    }

    // On the pinned board the keys walk the rows shown, scrolling to the
    // highlighted one; a = the last row, p = rows a page holds.
    void keysWalkTheRows_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("row");
        QTest::newRow("down from none") << QList<int>{Qt::Key_Down} << "0";
        QTest::newRow("up from none") << QList<int>{Qt::Key_Up} << "0";
        QTest::newRow("down twice") << QList<int>{Qt::Key_Down, Qt::Key_Down} << "1";
        QTest::newRow("end") << QList<int>{Qt::Key_End} << "a";
        QTest::newRow("end, down") << QList<int>{Qt::Key_End, Qt::Key_Down} << "a";
        QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << "a-1";
        QTest::newRow("end, home") << QList<int>{Qt::Key_End, Qt::Key_Home} << "0";
        QTest::newRow("page down") << QList<int>{Qt::Key_PageDown} << "p";
        QTest::newRow("end, page up") << QList<int>{Qt::Key_End, Qt::Key_PageUp} << "a-p";
        QTest::newRow("home, page up") << QList<int>{Qt::Key_Home, Qt::Key_PageUp} << "0";
    }
    void keysWalkTheRows()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, row);
        QStringList texts;
        for (int i = 0; i < 301; ++i)
            texts << QString("note %1").arg(i);
        BoardFixture f(texts);
        f.board->setStayOpen(true);
        f.board->show();
        // The keys go where an active board puts the keyboard.
        QApplication::setActiveWindow(f.board.get());
        QWidget *focus = QApplication::focusWidget();
        for (int key : keys)
            QTest::keyClick(focus ? focus : f.board.get(), Qt::Key(key));
        auto *rows = part<QScrollArea>(f.board.get(), "rowsArea");
        const int page = rows->viewport()->height() / 16;
        const QHash<QString, int> rowOf{{"0", 0},     {"1", 1},    {"a", 300},
                                        {"a-1", 299}, {"p", page}, {"a-p", 300 - page}};
        TNoteFrame *highlighted = f.board->NotesList().at(rowOf.value(row));
        QCOMPARE(f.board->actNote(), highlighted);
        QCOMPARE(f.rowColor(highlighted), QColor(166, 202, 240));
        const QRect shown = f.rowOnBoard(highlighted);
        QVERIFY(QRect(rows->viewport()->mapTo(f.board.get(), QPoint()), rows->viewport()->size())
                    .contains(shown));
    }

    void enterOpensAndDeleteAsksForTheHighlightedRow()
    {
        BoardFixture f({"first", "second"});
        f.board->setStayOpen(true);
        f.board->show();
        QTest::keyClick(f.board.get(), Qt::Key_Delete); // nothing highlighted
        QTest::keyClick(f.board.get(), Qt::Key_Down);
        QTest::keyClick(f.board.get(), Qt::Key_Down);
        QString asked;
        QTimer::singleShot(0, f.board.get(), [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                asked = box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        QTest::keyClick(f.board.get(), Qt::Key_Delete);
        QVERIFY(asked.endsWith("second...."));
        QCOMPARE(f.titles(), QStringList{"first...."});

        QTest::keyClick(f.board.get(), Qt::Key_Up);
        QTest::keyClick(f.board.get(), Qt::Key_Return);
        QVERIFY(f.board->NotesList().first()->Frm());
        f.board->NotesList().first()->closeNoteWindow();
    }

    // However many notes, the rows carry no timers or child widgets of their
    // own: one board timer runs every note's periodic check.
    void rowsShareTheBoardsTimers()
    {
        BoardFixture f({"first", "second", "third"});
        QCOMPARE(f.board->CheckTimer()->interval(), 2000);
        QVERIFY(f.board->CheckTimer()->isActive());
        for (TNoteFrame *frame : f.board->NotesList())
            QVERIFY(frame->findChildren<QObject *>().isEmpty());
        QVERIFY(f.rows()->findChildren<QObject *>().isEmpty());
        TNoteFrame *note = f.board->NotesList().at(1);
        note->edit().setText("a@b.c");
        note->Panel1DblClick();
        QApplication::setActiveWindow(note->Frm());
        note->Frm()->editor()->setFocus();
        Q_EMIT f.board->CheckTimer()->timeout();
        QCOMPARE(note->Hint(), QString("a@b.c"));
    }

    void rowsPaintColourCaptionAndWholeClosePicture_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1x") << 1.0;
        QTest::newRow("2x") << 2.0;
    }
    // One view paints every row: the note colour, the caption, and the
    // close picture's four corners at the right end, at any pixel ratio.
    void rowsPaintColourCaptionAndWholeClosePicture()
    {
        QFETCH(qreal, ratio);
        BoardFixture f({"Call Anna", "Second"});
        f.board->NotesList().at(1)->setNoteColor(QColor(10, 200, 30));
        f.board->show();
        QImage image(f.rows()->size() * ratio, QImage::Format_ARGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        f.rows()->render(&image);
        const auto dark = [&](const QRect &logical) {
            for (int y = int(logical.top() * ratio); y <= int(logical.bottom() * ratio); ++y)
                for (int x = int(logical.left() * ratio); x <= int(logical.right() * ratio); ++x)
                    if (qGray(image.pixel(x, y)) < 100)
                        return true;
            return false;
        };
        const QRect row = f.rows()->rowRect(1);
        QCOMPARE(row, QRect(0, 16, f.rows()->width(), 16));
        QCOMPARE(image.pixelColor(int(60 * ratio), int(24 * ratio)), QColor(10, 200, 30));
        QVERIFY(dark(QRect(2, 18, 30, 12))); // the caption
        const QRect close = NotesView::closeRect(row);
        QCOMPARE(close, QRect(row.right() - 14, 17, 14, 14));
        const QPoint middle = close.center();
        for (const QRect &corner :
             {QRect(close.topLeft(), middle), QRect(middle, close.bottomRight()),
              QRect(QPoint(middle.x(), close.top()), QPoint(close.right(), middle.y())),
              QRect(QPoint(close.left(), middle.y()), QPoint(middle.x(), close.bottom()))})
            QVERIFY2(dark(corner),
                     qPrintable(QStringLiteral("corner at %1,%2").arg(corner.x()).arg(corner.y())));
    }

    // The pointer's doings on a row reach that row's note: a click on the
    // close picture asks to delete it, a double click as the X server
    // delivers it (press, release, press, release) opens the note once.
    void pointerOnARowReachesItsNote()
    {
        BoardFixture f({"first", "second"});
        f.board->show();
        TNoteFrame *second = f.board->NotesList().at(1);
        const QPoint inSecond = f.rowOnBoard(second).topLeft() + QPoint(20, 8);
        f.mouseOnRows(QEvent::MouseButtonPress, inSecond, Qt::LeftButton, Qt::LeftButton);
        f.mouseOnRows(QEvent::MouseButtonRelease, inSecond, Qt::LeftButton, Qt::NoButton);
        f.mouseOnRows(QEvent::MouseButtonDblClick, inSecond, Qt::LeftButton, Qt::LeftButton);
        f.mouseOnRows(QEvent::MouseButtonRelease, inSecond, Qt::LeftButton, Qt::NoButton);
        QVERIFY(second->Frm());
        QVERIFY(!second->Frm()->isMinimized());
        QVERIFY(!f.board->NotesList().at(0)->Frm());
        second->closeNoteWindow();

        f.board->show();
        const QRect close = NotesView::closeRect(f.rows()->rowRect(0));
        const QPoint onClose = f.rows()->mapTo(f.board.get(), close.center());
        QString asked;
        QTimer::singleShot(0, f.board.get(), [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                asked = box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        f.mouseOnRows(QEvent::MouseButtonPress, onClose, Qt::LeftButton, Qt::LeftButton);
        f.mouseOnRows(QEvent::MouseButtonRelease, onClose, Qt::LeftButton, Qt::NoButton);
        QVERIFY(asked.endsWith("first...."));
        QCOMPARE(f.titles(), QStringList{"second...."});
        QVERIFY(!second->Frm());
    }

    // A row pulled onto another one takes its place; the files follow at
    // the next store, and the order holds after a restart.
    void draggingARowReordersTheNotes()
    {
        BoardFixture f({"a", "b", "c", "d"});
        f.board->show();
        TNoteFrame *row = f.board->NotesList().at(0);
        const QPoint target = f.rowOnBoard(f.board->NotesList().at(2)).topLeft() + QPoint(10, 8);
        f.mouseOnRows(QEvent::MouseButtonPress, f.rowOnBoard(row).topLeft() + QPoint(10, 5),
                      Qt::LeftButton, Qt::LeftButton);
        f.mouseOnRows(QEvent::MouseMove, target, Qt::NoButton, Qt::LeftButton);
        f.mouseOnRows(QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.titles(), QStringList({"b....", "c....", "a....", "d...."}));
        QVERIFY(!row->Frm());              // the release opened nothing
        QCOMPARE(f.board->actNote(), row); // the row under the pointer
        QCOMPARE(f.rowOnBoard(row).top(), 2 + 2 * 16);

        f.board->StoreNotes();
        f.board.reset();
        f.board = std::make_unique<TFrmNote>();
        QCOMPARE(f.titles(), QStringList({"b....", "c....", "a....", "d...."}));
    }

    void settingsRoundTrip()
    {
        BoardFixture f;
        f.board->setGeometry(40, 50, 220, 330);
        f.board->mnShowHintClick(); // stores at once
        QCOMPARE(f.ini().readInteger("Main", "Width", -1), 220);
        QVERIFY(f.ini().readBool("Main", "ShowHint", false));
        f.board->mnStayOnTopClick();
        QVERIFY(!(f.board->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(!part(f.board.get(), "mnStayOnTop")->isChecked());
        f.board->StoreSettings();

        TFrmNote again;
        QCOMPARE(again.geometry(), QRect(40, 50, 220, 330));
        QVERIFY(again.showHintEnabled());
        QVERIFY(part(&again, "mnShowHint")->isChecked());
        QVERIFY(!again.stayOnTop());
    }

    // Every open note window leaves the band above other programs as soon as
    // the option is switched off, without waiting to be activated and left,
    // and comes back into it when the option is switched on.
    void openNoteWindowsFollowStayOnTop()
    {
        BoardFixture f({"first", "second"});
        QVERIFY(f.board->stayOnTop());
        QList<TRichForm *> windows;
        for (TNoteFrame *note : f.board->NotesList()) {
            note->Panel1DblClick();
            QVERIFY(note->Frm());
            QVERIFY(QTest::qWaitForWindowExposed(note->Frm()));
            windows << note->Frm();
        }
        for (const bool stayOnTop : {false, true}) {
            f.board->mnStayOnTopClick();
            for (TRichForm *window : windows) {
                QCOMPARE(window->StayOnTop(), stayOnTop);
                QCOMPARE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint),
                         stayOnTop);
                QVERIFY(window->isVisible());
            }
        }
        for (TNoteFrame *note : f.board->NotesList())
            note->closeNoteWindow();
    }

    // A stored record off the screen, or taller than it, comes back wholly
    // on the screen at the next start, whatever the notes.
    void lostBoardComesBack_data()
    {
        QTest::addColumn<QRect>("stored"); // left, top, width, height
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("width");
        QTest::newRow("far left, no width") << QRect(-5000, 50, 0, 100) << 0 << 100;
        QTest::newRow("tall, high up, few notes") << QRect(40, -3850, 187, 4820) << 4 << 187;
        QTest::newRow("below the screen") << QRect(40, 9000, 187, 200) << 4 << 187;
        QTest::newRow("many notes") << QRect(40, 0, 187, 100) << 301 << 187;
    }
    void lostBoardComesBack()
    {
        QFETCH(QRect, stored);
        QFETCH(int, notes);
        QFETCH(int, width);
        QStringList texts;
        for (int i = 0; i < notes; ++i)
            texts << QString("note %1").arg(i);
        BoardFixture f(texts);
        SettingsFile ini = f.ini();
        QVERIFY(ini.writeInteger("Main", "Left", stored.x()));
        QVERIFY(ini.writeInteger("Main", "Top", stored.y()));
        QVERIFY(ini.writeInteger("Main", "Width", stored.width()));
        QVERIFY(ini.writeInteger("Main", "Height", stored.height()));
        TFrmNote board;
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(board.geometry()));
        QCOMPARE(board.width(), width);
        QVERIFY(board.height() >= 100);
    }

    // More notes than the screen holds: the board fills the screen's height
    // and every row is reached by scrolling, also under the filter field.
    void manyRowsScrollOnAScreenHighBoard()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QStringList texts;
        for (int i = 0; i < area.height() / 16 + 40; ++i)
            texts << QString("note %1").arg(i);
        BoardFixture f(texts);
        f.board->move(area.left(), area.bottom() - 50);
        f.board->show();
        QVERIFY(area.contains(f.board->geometry()));
        QCOMPARE(f.board->height(), area.height());

        auto *rows = part<QScrollArea>(f.board.get(), "rowsArea");
        QScrollBar *bar = rows->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        QWheelEvent wheel(QPointF(20, 20), rows->viewport()->mapToGlobal(QPointF(20, 20)), {},
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(rows->viewport(), &wheel);
        QVERIFY(bar->value() > 0);
        bar->setValue(bar->maximum());
        QVERIFY(f.board->rect().contains(f.rowOnBoard(f.board->NotesList().last())));

        // A filter field opened on a moved board stays at the top.
        f.board->setStayOpen(true);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9");
        QCoreApplication::sendEvent(f.board.get(), &key);
        // Dragged by its New bar far up, the board stops at the screen's top.
        auto *newBar = part<QWidget>(f.board.get(), "tbRight");
        const QPoint grab
            = newBar->mapTo(f.board.get(), QPoint(newBar->width() / 2, newBar->height() - 40));
        f.mouse(newBar, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        f.mouse(newBar, QEvent::MouseMove, grab + QPoint(-30, -400), Qt::LeftButton);
        f.mouse(newBar, QEvent::MouseButtonRelease, grab + QPoint(-30, -400), Qt::NoButton);
        QCOMPARE(f.board->pos(), area.topLeft());
        QVERIFY(area.contains(f.board->geometry()));
        QVERIFY(f.board->filter()->isVisible());
        QCOMPARE(f.board->filter()->mapTo(f.board.get(), QPoint()).y(), 2);
        const int shown = f.rows()->shownCount();
        QVERIFY(shown > 0 && shown < f.board->NotesList().size());
    }

    void closeCommandStoresAndEndsTheProgram()
    {
        BoardFixture f;
        f.board->show();
        f.board->move(11, 22);
        f.board->imCloseClick(part(f.board.get(), "Close2"));
        QVERIFY(!f.board->isVisible());
        QCOMPARE(f.ini().readInteger("Main", "Left", -1), 11);
        QCOMPARE(f.icon.closeSenders, QList<QObject *>({f.board.get()}));

        // The icon passing the board back as sender does nothing more.
        f.board->imCloseClick(f.board.get());
        QCOMPARE(f.icon.closeSenders.size(), 1);
    }

    void heightFollowsTheNotes_data()
    {
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("clientHeight");
        QTest::newRow("none") << 0 << 96;
        QTest::newRow("six") << 6 << 96;
        QTest::newRow("seven") << 7 << 112;
        QTest::newRow("twenty") << 20 << 320;
    }
    void heightFollowsTheNotes()
    {
        QFETCH(int, notes);
        QFETCH(int, clientHeight);
        QStringList texts;
        for (int i = 0; i < notes; ++i)
            texts << QString("note %1").arg(i);
        BoardFixture f(texts);
        QCOMPARE(f.board->NotesList().size(), notes);
        QCOMPARE(f.board->clientHeight(), clientHeight);
        f.board->show();
        for (int i = 0; i < notes; ++i) {
            TNoteFrame *row = f.board->NotesList().at(i);
            QCOMPARE(row->caption(), QString("note %1....").arg(i));
            QCOMPARE(f.rowOnBoard(row),
                     QRect(2, 2 + 16 * i, part<QWidget>(f.board.get(), "pnWorkArea")->width(), 16));
            QCOMPARE(row->Idx(), i + 1);
        }
    }

    void selectingHighlightsOneRow()
    {
        BoardFixture f({"one", "two", "three"});
        const QList<TNoteFrame *> rows = f.board->NotesList();
        f.board->SelectNote(rows.at(1));
        QCOMPARE(f.board->actNote(), rows.at(1));
        f.board->show();
        QCOMPARE(f.rowColor(rows.at(1)), QColor(166, 202, 240));
        QCOMPARE(f.rowColor(rows.at(0)), rows.at(0)->edit().Color());
        QCOMPARE(f.rowColor(rows.at(2)), rows.at(2)->edit().Color());
        f.board->SelectNote(nullptr);
        QCOMPARE(f.rowColor(rows.at(1)), rows.at(1)->edit().Color());
    }

    void openNeedsAHoveredNote()
    {
        BoardFixture f({"one", "two"});
        f.board->show();
        part(f.board.get(), "Open1")->trigger();
        QVERIFY(f.board->isVisible());
        for (TNoteFrame *frame : f.board->NotesList())
            QVERIFY(!frame->Frm());

        f.board->SelectNote(f.board->NotesList().at(1));
        part(f.board.get(), "Open1")->trigger();
        QVERIFY(!f.board->isVisible());
        QVERIFY(f.board->NotesList().at(1)->Frm());
        QVERIFY(!f.board->NotesList().at(0)->Frm());
    }

    void aboutWithoutNotesStartsANote()
    {
        BoardFixture f;
        part(f.board.get(), "About2")->trigger();
        QCOMPARE(f.about.shown, 1);
        QCOMPARE(f.board->NotesList().size(), 1);
        TNoteFrame *note = f.board->NotesList().first();
        QVERIFY(note->Frm());
        QVERIFY(note->Frm()->isVisible());
        QCOMPARE(note->Idx(), 0); // its record comes with the first store

        // With a note there, the box only shows.
        f.board->WMAbout();
        QCOMPARE(f.about.shown, 2);
        QCOMPARE(f.board->NotesList().size(), 1);
    }

    void newAppendsARowAndOpensIt()
    {
        BoardFixture f({"1", "2", "3", "4", "5", "6"});
        f.board->show();
        part(f.board.get(), "New1")->trigger();
        QCOMPARE(f.board->NotesList().size(), 7);
        QCOMPARE(f.board->clientHeight(), 112);
        QCOMPARE(f.board->windowTitle(), QString("Qel Notes — notes: 7"));
        QVERIFY(f.board->NotesList().last()->Frm());
        QCOMPARE(f.board->NotesList().last()->Idx(), 0); // no record before a store
        QVERIFY(!f.board->isVisible());
    }

    void deleteRenumbersAndStoresLater()
    {
        BoardFixture f({"a", "b", "c", "d", "e", "f", "g"});
        QCOMPARE(f.board->clientHeight(), 112);
        QPointer<TNoteFrame> gone = f.board->NotesList().at(1);
        f.board->SelectNote(gone);
        f.board->DeleteNote(gone);
        QCOMPARE(f.board->actNote(), nullptr);
        QCOMPARE(f.titles(), QStringList({"a....", "c....", "d....", "e....", "f....", "g...."}));
        const auto numbers = [&f] {
            QList<int> result;
            for (TNoteFrame *frame : f.board->NotesList())
                result << frame->Idx();
            return result;
        };
        // Each note keeps its own record until a store moves the records.
        QCOMPARE(numbers(), QList<int>({1, 3, 4, 5, 6, 7}));
        QCOMPARE(f.board->clientHeight(), 96);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gone.isNull());

        // Nothing reaches the disk before the next store.
        QVERIFY(QFile::exists(f.folder.filePath("QelNotes_6.rtf")));
        f.board->StoreNotes();
        QCOMPARE(numbers(), QList<int>({1, 2, 3, 4, 5, 6}));
        QVERIFY(!QFile::exists(f.folder.filePath("QelNotes_6.rtf")));
        QVERIFY(f.noteFile(1).contains("c"));
        QVERIFY(f.noteFile(5).contains("g"));

        f.board->DeleteNote(gone); // a note no longer listed
        QCOMPARE(f.board->NotesList().size(), 6);
    }

    // A note file cut short while it was written shows with what could be
    // read; the file as it was is kept beside it before a store replaces it,
    // and the user hears of it once.
    void damagedNoteLoadsAndIsKept()
    {
        QStringList messages;
        setErrorMessageHandlerForTesting([&](const QString &text) { messages << text; });
        const QByteArray damaged = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 shopping list\\par "
                                   "milk {\\b and bre";
        BoardFixture f({"whole note", QString::fromLatin1(damaged)});
        QCOMPARE(f.titles(), QStringList({"whole note....", "shopping list...."}));
        QVERIFY(f.board->NotesList().at(1)->edit().Text().contains("milk and bre"));

        const QDir folder(f.folder.path());
        const QStringList copies = folder.entryList({"QelNotes_damaged_1_*.rtf"});
        QCOMPARE(copies.size(), 1);
        QFile copy(f.folder.filePath(copies.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), damaged);
        QTRY_COMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains("\"shopping list..\"")
                     && messages.first().contains(copies.first()),
                 qPrintable(messages.first()));

        // The store writes the readable text; the copy stays, and the next
        // start finds nothing damaged.
        f.board->StoreNotes();
        QVERIFY(f.noteFile(1).contains("milk"));
        QVERIFY(f.noteFile(1).trimmed().endsWith('}'));
        QVERIFY(QFile::exists(f.folder.filePath(copies.first())));
        f.board.reset();
        TFrmNote again;
        QCOMPARE(again.NotesList().size(), 2);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(folder.entryList({"QelNotes_damaged_*"}).size(), 1);
    }

    // A damaged note whose file cannot be copied (a full disk) keeps its file
    // as it is: unchanged, stores leave it; changed, stores fail until the
    // copy can be made.
    void damagedNoteWithoutACopyKeepsItsFile()
    {
        QStringList messages;
        setErrorMessageHandlerForTesting([&](const QString &text) { messages << text; });
        const QByteArray damaged = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 shopping list\\par "
                                   "milk and a long tail of things to buy {\\b and bre";
        BoardFixture f({"{\\rtf1 whole note}", QString::fromLatin1(damaged)});
        TNoteFrame *note = f.board->NotesList().at(1);
        {
            FileSizeLimit full(16);
            if (!full.isActive())
                QSKIP("no file size limit on this platform");
            note->readNote();
            QTRY_COMPARE(messages.size(), 1);
            QVERIFY2(messages.first().contains("until a copy of it can be kept"),
                     qPrintable(messages.first()));
            f.board->StoreNotes();
            QCOMPARE(f.noteFile(1).toLatin1(), damaged);

            note->edit().setSelText("new ");
            f.board->StoreNotes();
            QCOMPARE(messages.size(), 2);
            QCOMPARE(f.noteFile(1).toLatin1(), damaged);
        }
        f.board->StoreNotes();
        QCOMPARE(messages.size(), 2);
        QVERIFY(f.noteFile(1).contains("new shopping list"));
        const QStringList copies = QDir(f.folder.path()).entryList({"QelNotes_damaged_1_*.rtf"});
        QCOMPARE(copies.size(), 1);
        QFile copy(f.folder.filePath(copies.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), damaged);
    }

    // Rows show their titles at once; the notes are read one by one after.
    // Until a note changes, stores leave its file as it is, RTF from
    // elsewhere included.
    void notesAreReadAfterStartAndKeptUntilChanged()
    {
        const QByteArray foreign = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                                   "\\f0\\fs20 From elsewhere\\par second line\\par}";
        BoardFixture f({"{\\rtf1 first note}", QString::fromLatin1(foreign)});
        TNoteFrame *second = f.board->NotesList().at(1);
        QCOMPARE(second->caption(), QString("From elsewhere...."));
        // One list: NotesList() returns a copy, and two copies' iterators do not meet.
        QTRY_VERIFY([&f] {
            const QList<TNoteFrame *> notes = f.board->NotesList();
            return std::all_of(notes.begin(), notes.end(),
                               [](TNoteFrame *frame) { return frame->noteRead(); });
        }());
        f.board->StoreNotes();
        QCOMPARE(f.noteFile(1).toLatin1(), foreign);

        second->edit().setSelText("new ");
        f.board->StoreNotes();
        QVERIFY(f.noteFile(1).contains("new From elsewhere"));
        QVERIFY(!f.noteFile(1).contains("fswiss"));
    }

    // Every window's text is in its file after Close, though the windows
    // leave the storing to the board's one store at the end.
    void closeTakesBackTextOfOpenNoteWindows()
    {
        BoardFixture f({"first note", "second note"});
        for (TNoteFrame *note : f.board->NotesList()) {
            f.board->SelectNote(note);
            f.board->Open1Click();
            QVERIFY(note->Frm());
        }
        f.board->NotesList().at(0)->Frm()->editor()->setText("edited in its window");
        f.board->NotesList().at(1)->Frm()->editor()->setText("second window");
        f.board->imCloseClick(part(f.board.get(), "Close2"));
        QVERIFY(!f.board->NotesList().at(0)->Frm());
        QCOMPARE(f.board->NotesList().at(0)->caption(),
                 QString("edited in its ....")); // 14 characters
        QVERIFY(f.noteFile(0).contains("edited in its window"));
        QVERIFY(f.noteFile(1).contains("second window"));
    }

    // Another program rewrote a note's file and nothing was changed here:
    // the row, the preview's text and an open window show the new text, and
    // only typing after that counts as a change made here.
    void outsideRewriteReachesRowAndWindow()
    {
        BoardFixture f({"first", "second"});
        TNoteFrame *closed = f.board->NotesList().at(0);
        TNoteFrame *open = f.board->NotesList().at(1);
        open->Panel1DblClick();
        QVERIFY(open->Frm());
        QVERIFY(!open->unstoredChanges());

        closed->reload(f.folder.filePath("QelNotes_0.rtf"), "first, from the other machine");
        QCOMPARE(closed->caption(), QString("first, from th...."));
        QCOMPARE(closed->Hint(), QString("first, from the other machine"));
        open->reload(f.folder.filePath("QelNotes_1.rtf"), "second, from the other machine");
        QCOMPARE(open->Frm()->editor()->Text(), QString("second, from the other machine"));
        QCOMPARE(open->Frm()->windowTitle(), QString("second, from t.."));
        QVERIFY(!open->unstoredChanges());

        open->Frm()->editor()->setText("typed here");
        QVERIFY(open->unstoredChanges());
        open->Frm()->close();
        QVERIFY(f.noteFile(1).contains("typed here"));
        QVERIFY(!open->unstoredChanges());
    }

    void closeTellsWhatTheStoreFound_data()
    {
        QTest::addColumn<bool>("unattended");
        QTest::newRow("Close command") << false;
        QTest::newRow("termination signal") << true;
    }

    // The store at Close keeps the text another program wrote into the file
    // of a note typed in here: the user hears of it before the program ends,
    // unless nobody may be there to close a box.
    void closeTellsWhatTheStoreFound()
    {
        QFETCH(bool, unattended);
        QStringList messages;
        setErrorMessageHandlerForTesting([&messages](const QString &text) { messages << text; });
        BoardFixture f({"first"});
        TNoteFrame *note = f.board->NotesList().first();
        note->Panel1DblClick();
        note->Frm()->editor()->setText("typed here");
        f.writeFile("QelNotes_0.rtf", "written by the other machine");
        if (unattended)
            f.board->setUnattendedClose();
        f.board->imCloseClick(part(f.board.get(), "Close2"));

        QVERIFY(f.noteFile(0).contains("typed here"));
        const QStringList copies = QDir(f.folder.path()).entryList({"QelNotes_conflict_0_*"});
        QCOMPARE(copies.size(), 1);
        QCOMPARE(messages.size(), unattended ? 0 : 1);
        if (!unattended)
            QVERIFY2(messages.first().contains(copies.first()), qPrintable(messages.first()));
    }

    // A colour given in a note window is in the note's record after the
    // window closes, and the next start paints the note with it.
    void noteColourSurvivesARestart()
    {
        BoardFixture f({"first", "second"});
        TNoteFrame *note = f.board->NotesList().at(1);
        f.board->SelectNote(note);
        f.board->Open1Click();
        QVERIFY(note->Frm());
        note->Frm()->editor()->setColor(QColor(255, 128, 128));
        note->Frm()->close();
        QVERIFY(!note->Frm());
        QCOMPARE(f.ini().readInteger("Note_2", "Color", 0), 8421631);

        f.board.reset();
        TFrmNote again;
        QCOMPARE(again.NotesList().size(), 2);
        QCOMPARE(again.NotesList().at(1)->edit().Color(), QColor(255, 128, 128));
        again.show();
        QCOMPARE(again.rowsView()->grab(again.rowsView()->rowRect(1)).toImage().pixelColor(0, 0),
                 QColor(255, 128, 128));
        QVERIFY(again.NotesList().at(0)->edit().Color() != QColor(255, 128, 128));
    }

    // Red, green and blue notes; red is deleted: after a restart green and
    // blue keep their colours and window places. A new note then starts with
    // the default colour, not with the record blue left behind.
    void recordsFollowTheirNotes()
    {
        BoardFixture f({"red", "green", "blue"});
        const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
        {
            SettingsFile ini = f.ini();
            for (int i = 0; i < 3; ++i) {
                const QString section = QString("Note_%1").arg(i + 1);
                QVERIFY(ini.writeInteger(section, "Color", ColorValue::fromColor(colours[i])));
                QVERIFY(ini.writeInteger(section, "Left", 100 * (i + 1)));
            }
        }
        f.board = std::make_unique<TFrmNote>();
        const QColor fresh = f.board->NotesList().at(0)->edit().Color();
        f.board->DeleteNote(f.board->NotesList().at(0));
        f.board->StoreNotes();
        QCOMPARE(f.ini().readInteger("Note_1", "Left", 0), 200);

        f.board = std::make_unique<TFrmNote>();
        QCOMPARE(f.board->NotesList().size(), 2);
        QCOMPARE(f.board->NotesList().at(0)->edit().Color(), QColor(Qt::green));
        QCOMPARE(f.board->NotesList().at(1)->edit().Color(), QColor(Qt::blue));

        const QColor defaultColour = TNoteFrame(*f.board).edit().Color();
        QVERIFY(fresh != defaultColour);
        f.board->New1Click();
        TNoteFrame *added = f.board->NotesList().at(2);
        QCOMPARE(added->edit().Color(), defaultColour);
        QCOMPARE(added->Frm()->editor()->Color(), defaultColour);
        added->Frm()->editor()->setText("new"); // closed empty, a new note goes
        added->Frm()->close();
        QCOMPARE(f.ini().readInteger("Note_3", "Color", 0), ColorValue::fromColor(defaultColour));
        QVERIFY(f.ini().readInteger("Note_3", "Left", 0) != 300);
    }

    // Typing in a note window reaches the note's file at the next tick of
    // the periodic save, without the board's copy taking it in; later stores
    // keep it.
    void periodicSaveWritesOpenWindows()
    {
        BoardFixture f({"first", "second", "third"});
        TNoteFrame *note = f.board->NotesList().at(1);
        note->Panel1DblClick();
        Q_EMIT f.board->SaveTimer()->timeout();
        QVERIFY(f.noteFile(1).contains("second")); // nothing typed yet: left alone

        note->Frm()->editor()->setText("typed in the window");
        QVERIFY(f.board->SaveTimer()->isActive());
        Q_EMIT f.board->SaveTimer()->timeout();
        f.board->waitForPendingSave();
        // Written in the background, byte for byte as a store writes it.
        QCOMPARE(f.noteFile(1).toLatin1(), note->noteData());
        QVERIFY(f.noteFile(1).contains("typed in the window"));
        QCOMPARE(f.noteFile(0), QString("first"));
        QCOMPARE(f.noteFile(2), QString("third"));
        QCOMPARE(note->caption(), QString("second...."));

        f.board->StoreNotes();
        QVERIFY(f.noteFile(1).contains("typed in the window"));
    }

    // With a note deleted since the last store, note 1 of the list is file 2
    // on disk: the periodic save stores the whole list instead of writing
    // over another note's file.
    void periodicSaveAfterDeleteStoresAll()
    {
        BoardFixture f({"a", "b", "c"});
        TNoteFrame *note = f.board->NotesList().at(2);
        note->Panel1DblClick();
        f.board->DeleteNote(f.board->NotesList().at(0));
        note->Frm()->editor()->setText("c edited");
        Q_EMIT f.board->SaveTimer()->timeout();
        QVERIFY(f.noteFile(0).contains("b"));
        QVERIFY(f.noteFile(1).contains("c edited"));
        QVERIFY(!QFile::exists(f.folder.filePath("QelNotes_2.rtf")));

        // The files match the list again: single notes are written once more.
        note->Frm()->editor()->setText("c edited twice");
        Q_EMIT f.board->SaveTimer()->timeout();
        f.board->waitForPendingSave();
        QVERIFY(f.noteFile(1).contains("c edited twice"));
        QVERIFY(f.noteFile(0).contains("b"));
    }

    // Saves handed to the background land in order, and whatever stores
    // next (here the Close command) waits for them and writes the latest text.
    void backgroundSavesLandInOrderBeforeStores()
    {
        BoardFixture f({"a", "b"});
        TNoteFrame *note = f.board->NotesList().at(1);
        note->Panel1DblClick();
        for (const char *text : {"one", "two", "three"}) {
            note->Frm()->editor()->setText(text);
            Q_EMIT f.board->SaveTimer()->timeout();
        }
        f.board->waitForPendingSave();
        QVERIFY(f.noteFile(1).contains("three"));

        note->Frm()->editor()->setText("four");
        Q_EMIT f.board->SaveTimer()->timeout();
        note->Frm()->editor()->setText("latest, never saved periodically");
        f.board->imCloseClick(nullptr);
        QVERIFY(f.noteFile(1).contains("latest, never saved periodically"));
        QCOMPARE(QDir(f.folder.path()).entryList({"*.pending"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // A background write the disk refuses is told on the board's thread as a
    // failed save always was: once, after a store of all notes failed too;
    // the note's file is kept whole.
    void failedBackgroundSaveIsReported()
    {
        QStringList messages;
        setErrorMessageHandlerForTesting([&messages](const QString &text) { messages << text; });
        BoardFixture f({"a", "b"});
        TNoteFrame *note = f.board->NotesList().at(1);
        note->Panel1DblClick();
        note->Frm()->editor()->setText(QString(4096, u'x'));
        {
            FileSizeLimit full(1024);
            Q_EMIT f.board->SaveTimer()->timeout();
            f.board->waitForPendingSave();
            QVERIFY(messages.isEmpty()); // not from the worker
            QCoreApplication::sendPostedEvents();
            QCOMPARE(messages.size(), 1);
            Q_EMIT f.board->SaveTimer()->timeout(); // nothing typed since: no second message
            f.board->waitForPendingSave();
            QCoreApplication::sendPostedEvents();
        }
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains("could not be stored"));
        QCOMPARE(f.noteFile(1), QString("b"));
        f.board->StoreNotes();
        QVERIFY(f.noteFile(1).contains("xxxx"));
    }

    void shortcutTicksFollowTheFiles()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
        {
            BoardFixture f;
            const QList<std::pair<QAction *, ShortcutFolder>> items
                = {{part(f.board.get(), "mnStartup"), ShortcutFolder::Startup},
                   {part(f.board.get(), "mnDesktop"), ShortcutFolder::Desktop}};
            for (const auto &[item, folder] : items) {
                QVERIFY(item->isEnabled());
                QVERIFY(!item->isChecked());
                item->trigger();
                QVERIFY(ShortcutExists("QelNotes", folder));
                QVERIFY(item->isChecked());
                item->trigger();
                QVERIFY(!ShortcutExists("QelNotes", folder));
                QVERIFY(!item->isChecked());
            }
            // A launcher made elsewhere shows at the next start.
            ToggleShortcut("/usr/bin/true", "QelNotes", "made by hand", ShortcutFolder::Startup);
            TFrmNote again;
            QVERIFY(part(&again, "mnStartup")->isChecked());
            QVERIFY(!part(&again, "mnDesktop")->isChecked());
        }
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    void dropsAreAcceptedAsCopiesAndChangeNothing()
    {
        BoardFixture f;
        QMimeData data;
        data.setText("dropped text");
        data.setUrls({QUrl::fromLocalFile("/tmp/some file.txt")});
        const QPoint point(20, 20);
        QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(f.board.get(), &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(f.board.get(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QVERIFY(f.board->NotesList().isEmpty());
    }
};

QTEST_MAIN(TestFrmNote)
#include "tst_notesboard.moc"
