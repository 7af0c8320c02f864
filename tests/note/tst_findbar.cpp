#include "commands/commandmodule.h"
#include "note/findbar.h"
#include "note/noteeditorpane.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

namespace {

QList<int> markStarts(const QTextEdit &editor)
{
    QList<int> starts;
    for (const QTextEdit::ExtraSelection &mark : editor.extraSelections())
        starts << mark.cursor.selectionStart();
    return starts;
}

} // namespace

class tst_FindBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void stepsThroughMatchesAndWraps_data();
    void stepsThroughMatchesAndWraps();
    void marksEveryMatchAndNeverTheNote();
    void noMatchTurnsTheFieldRed();
    void escapeLeavesTheCaretOnTheMatch();
    void ctrlFAndTheLastMenuEntryOpenTheBar();

private:
    QWidget *m_window = nullptr;
    QTextEdit *m_editor = nullptr;
    FindBar *m_bar = nullptr;
};

void tst_FindBar::initTestCase()
{
    new TDM(qApp); // the note editor pane's menu holds its commands
}

void tst_FindBar::init()
{
    m_window = new QWidget;
    m_editor = new QTextEdit(m_window);
    m_bar = new FindBar(m_editor, m_window);
    m_editor->setPlainText(QStringLiteral("one two One\ntwo ONE one"));
    m_editor->document()->setModified(false);
    m_window->show();
}

void tst_FindBar::cleanup()
{
    delete m_window;
}

void tst_FindBar::stepsThroughMatchesAndWraps_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("matchCase");
    // n: Enter, N: F3, p: Shift+Enter, P: Shift+F3; the match's start after
    // typing "one" and after each step.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("forward, wrapping at the end")
        << 0 << false << "nnNn" << QList<int>{0, 8, 16, 20, 0};
    QTest::newRow("backward, wrapping at the start")
        << 0 << false << "pPp" << QList<int>{0, 20, 16, 8};
    QTest::newRow("typing finds from the caret on") << 9 << false << "n" << QList<int>{16, 20};
    QTest::newRow("match case") << 0 << true << "nnp" << QList<int>{0, 20, 0, 20};
}

void tst_FindBar::stepsThroughMatchesAndWraps()
{
    QFETCH(int, caret);
    QFETCH(bool, matchCase);
    QFETCH(QString, steps);
    QFETCH(QList<int>, starts);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(caret);
    m_editor->setTextCursor(cursor);
    m_bar->matchCase()->setChecked(matchCase);
    m_bar->open();
    QTest::keyClicks(m_bar->field(), QStringLiteral("one"));
    QList<int> found{m_editor->textCursor().selectionStart()};
    for (QChar step : steps) {
        const bool backward = step.toLower() == u'p';
        QTest::keyClick(m_bar->field(), step.isUpper() ? Qt::Key_F3 : Qt::Key_Return,
                        backward ? Qt::ShiftModifier : Qt::NoModifier);
        found << m_editor->textCursor().selectionStart();
        QCOMPARE(m_editor->textCursor().selectedText().toLower(), QStringLiteral("one"));
    }
    QCOMPARE(found, starts);
}

void tst_FindBar::marksEveryMatchAndNeverTheNote()
{
    // Another part of the program's mark stays.
    QTextEdit::ExtraSelection other;
    other.cursor = QTextCursor(m_editor->document());
    other.cursor.setPosition(4);
    other.cursor.setPosition(7, QTextCursor::KeepAnchor);
    other.format.setUnderlineStyle(QTextCharFormat::DotLine);
    m_editor->setExtraSelections({other});
    const QString html = m_editor->document()->toHtml();

    m_bar->open();
    QTest::keyClicks(m_bar->field(), QStringLiteral("ONE"));
    QCOMPARE(markStarts(*m_editor), (QList<int>{4, 0, 8, 16, 20}));
    m_bar->matchCase()->setChecked(true);
    QCOMPARE(markStarts(*m_editor), (QList<int>{4, 16}));
    // Typing in the note while the bar is open marks the new match.
    QTextCursor end(m_editor->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral(" ONE"));
    QCOMPARE(markStarts(*m_editor), (QList<int>{4, 16, 24}));
    end.deletePreviousChar(); // back to the text before, as far as the note knows
    end.deletePreviousChar();
    end.deletePreviousChar();
    end.deletePreviousChar();

    m_bar->close();
    QCOMPARE(markStarts(*m_editor), QList<int>{4});
    QCOMPARE(m_editor->document()->toHtml(), html);
}

void tst_FindBar::noMatchTurnsTheFieldRed()
{
    const QColor normal = m_bar->field()->palette().color(QPalette::Base);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(5);
    m_editor->setTextCursor(cursor);
    m_bar->open();
    QTest::keyClicks(m_bar->field(), QStringLiteral("twox"));
    QVERIFY(m_bar->notFound());
    QVERIFY(m_bar->field()->palette().color(QPalette::Base) != normal);
    QCOMPARE(m_editor->textCursor().position(), 5);
    QVERIFY(!m_editor->textCursor().hasSelection());
    QVERIFY(markStarts(*m_editor).isEmpty());
    QVERIFY(!m_editor->document()->isModified());

    QTest::keyClick(m_bar->field(), Qt::Key_Backspace);
    QVERIFY(!m_bar->notFound());
    QCOMPARE(m_bar->field()->palette().color(QPalette::Base), normal);
    QCOMPARE(m_editor->textCursor().selectionStart(), 12);
}

void tst_FindBar::escapeLeavesTheCaretOnTheMatch()
{
    QApplication::setActiveWindow(m_window);
    m_bar->open();
    QTest::keyClicks(m_bar->field(), QStringLiteral("two"));
    QTest::keyClick(m_bar->field(), Qt::Key_Return);
    // F3 works in the note as well while the bar is open.
    QTest::keyClick(m_editor, Qt::Key_F3);
    QCOMPARE(m_editor->textCursor().selectionStart(), 4);
    QTest::keyClick(m_bar->field(), Qt::Key_Escape);
    QVERIFY(m_bar->isHidden());
    QCOMPARE(m_editor->textCursor().selectionStart(), 4);
    QCOMPARE(m_editor->textCursor().selectedText(), QStringLiteral("two"));
    QVERIFY(m_editor->hasFocus());
    QVERIFY(markStarts(*m_editor).isEmpty());
    // Closed, F3 and Esc are the note's again.
    QTest::keyClick(m_editor, Qt::Key_F3);
    QCOMPARE(m_editor->textCursor().selectionStart(), 4);
}

void tst_FindBar::ctrlFAndTheLastMenuEntryOpenTheBar()
{
    NoteEditorPane pane(nullptr, nullptr);
    pane.show();
    QApplication::setActiveWindow(&pane);
    pane.edit()->setFocus();
    const QList<QAction *> entries = pane.PopupMenu1()->actions();
    QCOMPARE(entries.last(), pane.findAction());
    QCOMPARE(entries.last()->text(), QStringLiteral("Find..."));
    QVERIFY(entries.at(entries.size() - 2)->isSeparator());

    pane.edit()->setText(QStringLiteral("alpha beta"));
    QTest::keyClick(pane.edit(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(pane.findBar()->isVisible());
    QVERIFY(pane.findBar()->field()->hasFocus());
    QTest::keyClicks(pane.findBar()->field(), QStringLiteral("beta"));
    QCOMPARE(pane.edit()->SelStart(), 6);
    QTest::keyClick(pane.findBar()->field(), Qt::Key_Escape);
    QVERIFY(pane.findBar()->isHidden());

    pane.findAction()->trigger();
    QVERIFY(pane.findBar()->isVisible());
    // The selection becomes the text to find.
    QCOMPARE(pane.findBar()->field()->text(), QStringLiteral("beta"));
}

QTEST_MAIN(tst_FindBar)
#include "tst_findbar.moc"
