#include "board/boardfilter.h"
#include "board/errormessage.h"
#include "board/notesboard.h"
#include "board/notesview.h"
#include "commands/commandmodule.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "platform/datafolder.h"
#include "richedit/jvrichedit.h"

#include <QAccessible>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QStringList Notes{QStringLiteral("Shopping list\r\nmilk, Bread\r\n"),
                        QStringLiteral("Bread recipe\r\nflour, water\r\n"),
                        QStringLiteral("Calendar\r\nmeeting on Monday\r\n")};

// A pinned board on a data folder of the three notes above.
class PinnedBoard
{
public:
    PinnedBoard()
    {
        setDataFolderForTesting(folder.path());
        for (qsizetype i = 0; i < Notes.size(); ++i) {
            QFile file(folder.filePath(QStringLiteral("QelNotes_%1.txt").arg(i)));
            if (!file.open(QIODevice::WriteOnly) || file.write(Notes.at(i).toUtf8()) < 0)
                qFatal("cannot write a note");
        }
        board = std::make_unique<TFrmNote>();
        board->setStayOpen(true);
        board->show();
    }
    ~PinnedBoard()
    {
        board.reset();
        setDataFolderForTesting(QString());
    }

    // The captions of the rows shown, top to bottom, each where the one above ends.
    QStringList shownRows() const
    {
        QStringList rows;
        const auto *workArea = board->findChild<QWidget *>(QStringLiteral("pnWorkArea"));
        int top = board->filter()->isVisible() ? board->filter()->geometry().bottom() + 1 : 0;
        const NotesView *view = board->rowsView();
        for (int shown = 0; shown < view->shownCount(); ++shown) {
            const QRect row = view->rowRect(shown);
            const int y = view->mapTo(workArea, row.topLeft()).y();
            if (y != top)
                return {QStringLiteral("row at %1 instead of %2").arg(y).arg(top)};
            top += row.height();
            rows << view->shownNote(shown)->caption();
        }
        return rows;
    }

    TDM dm;
    QTemporaryDir folder;
    std::unique_ptr<TFrmNote> board;
};

const QStringList AllRows{QStringLiteral("Shopping list...."), QStringLiteral("Bread recipe...."),
                          QStringLiteral("Calendar....")};

} // namespace

class TestBoardFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        setErrorMessageHandlerForTesting([](const QString &) {});
    }
    void cleanup() { setErrorMessageHandlerForTesting({}); }

    void typingShowsTheNotesHoldingEveryWord_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("none") << "cheese" << QStringList();
        QTest::newRow("one") << "monday" << QStringList{AllRows.at(2)};
        QTest::newRow("many, in any letter case")
            << "BREAD" << QStringList{AllRows.at(0), AllRows.at(1)};
        QTest::newRow("every word, in any order") << "water bread" << QStringList{AllRows.at(1)};
    }
    // The board's title, which screen readers announce as its name, tells
    // what the filter left.
    void typingShowsTheNotesHoldingEveryWord()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, rows);
        PinnedBoard f;
        QCOMPARE(f.board->windowTitle(), QStringLiteral("Qel Notes — notes: 3"));
        QTest::keyClicks(f.board.get(), typed);
        QVERIFY(f.board->filter()->isVisible());
        QCOMPARE(f.board->filter()->text(), typed);
        QCOMPARE(f.shownRows(), rows);
        const QString title = QStringLiteral("Qel Notes — notes shown: %1 of 3").arg(rows.size());
        QCOMPARE(f.board->windowTitle(), title);
        QCOMPARE(QAccessible::queryAccessibleInterface(f.board.get())->text(QAccessible::Name),
                 title);
    }

    void escapeOrAnEmptyFieldShowsEveryRow()
    {
        PinnedBoard f;
        QTest::keyClicks(f.board.get(), QStringLiteral("cal"));
        QCOMPARE(f.shownRows().size(), 1);
        QTest::keyClick(f.board->filter(), Qt::Key_Escape);
        QVERIFY(f.board->filter()->isHidden());
        QCOMPARE(f.shownRows(), AllRows);
        QCOMPARE(f.board->windowTitle(), QStringLiteral("Qel Notes — notes: 3"));

        QTest::keyClicks(f.board.get(), QStringLiteral("x"));
        QCOMPARE(f.shownRows(), QStringList());
        QTest::keyClick(f.board->filter(), Qt::Key_Backspace);
        QVERIFY(f.board->filter()->isHidden());
        QCOMPARE(f.shownRows(), AllRows);
    }

    void onlyThePinnedBoardSearches()
    {
        PinnedBoard f;
        f.board->setStayOpen(false);
        QTest::keyClicks(f.board.get(), QStringLiteral("cal"));
        QVERIFY(f.board->filter()->isHidden());
        QCOMPARE(f.shownRows(), AllRows);
        // Hidden and shown again, the board lists every note.
        f.board->setStayOpen(true);
        QTest::keyClicks(f.board.get(), QStringLiteral("cal"));
        f.board->hide();
        f.board->show();
        QVERIFY(f.board->filter()->isHidden());
        QCOMPARE(f.shownRows(), AllRows);
    }

    // Filtering needs only the text: a note not read yet is matched by its file and stays
    // unread; once read and changed, its document holds what is matched.
    void notesNotReadYetAreMatchedByTheirFiles()
    {
        PinnedBoard f;
        const QList<TNoteFrame *> notes = f.board->NotesList();
        QVERIFY(std::none_of(notes.begin(), notes.end(), std::mem_fn(&TNoteFrame::noteRead)));
        QTest::keyClicks(f.board.get(), QStringLiteral("flour"));
        QCOMPARE(f.shownRows(), QStringList{AllRows.at(1)});
        QVERIFY(std::none_of(notes.begin(), notes.end(), std::mem_fn(&TNoteFrame::noteRead)));

        notes.at(0)->edit().setText(QStringLiteral("Shopping list\r\nflour"));
        QTest::keyClick(f.board->filter(), Qt::Key_R);
        QTest::keyClick(f.board->filter(), Qt::Key_Backspace);
        QCOMPARE(f.shownRows(), (QStringList{AllRows.at(0), AllRows.at(1)}));
    }

    void anOpenNoteMatchesAsItsWindowHoldsIt()
    {
        PinnedBoard f;
        TNoteFrame *calendar = f.board->NotesList().at(2);
        calendar->Panel1DblClick();
        QVERIFY(calendar->Frm());
        calendar->Frm()->editor()->setText(QStringLiteral("Calendar\r\nagenda for Tuesday"));
        f.board->show();
        QTest::keyClicks(f.board.get(), QStringLiteral("agenda"));
        QCOMPARE(f.shownRows(), QStringList{AllRows.at(2)});
        // The rows leave the window alone.
        QVERIFY(calendar->Frm() && calendar->Frm()->isVisible());
    }

    // Typing on skips the notes an earlier, wider query missed: seeded runs of typing,
    // taking back and editing notes in between must match as a fresh search would.
    void everyKeystrokeMatchesAsAFreshSearch()
    {
        QRandomGenerator random(20261211);
        const QString letters = QStringLiteral("abcAB ");
        const auto randomText = [&](int length) {
            QString text;
            for (int i = 0; i < length; ++i)
                text += letters.at(random.bounded(letters.size()));
            return text;
        };
        for (int run = 0; run < 40; ++run) {
            std::vector<std::unique_ptr<QTextDocument>> notes;
            for (int i = 0; i < 30; ++i)
                notes.push_back(std::make_unique<QTextDocument>(randomText(random.bounded(4, 40))));
            BoardFilter filter;
            for (int step = 0; step < 60; ++step) {
                const int action = random.bounded(10);
                if (action < 6)
                    filter.insert(letters.at(random.bounded(letters.size())));
                else if (action < 9)
                    filter.backspace();
                else
                    notes.at(random.bounded(int(notes.size())))->setPlainText(randomText(20));
                const NoteQuery fresh(filter.text());
                for (const auto &note : notes) {
                    QCOMPARE(filter.matches(note.get()), fresh.matches(note->toRawText()));
                }
            }
        }
    }
};

QTEST_MAIN(TestBoardFilter)
#include "tst_boardfilter.moc"
