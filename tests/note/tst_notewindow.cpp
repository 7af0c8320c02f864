#include "commands/commandmodule.h"
#include "note/noteeditorpane.h"
#include "note/noteframe.h"
#include "note/notehost.h"
#include "note/notewindow.h"
#include "plot/chartrenderer.h"
#include "richedit/jvrichedit.h"
#include "richtext/richdocument.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QWindow>

namespace {

// A board that asks nothing of the window.
class QuietHost : public NoteHost
{
public:
    QWidget *hostWindow() override { return &window; }
    void hideBoard() override {}
    void SelectNote(TNoteFrame *) override {}
    void DeleteNote(TNoteFrame *frame) override
    {
        deleted << frame->caption();
        delete frame;
    }
    void StoreNotes() override {}
    bool showHintEnabled() const override { return false; }
    bool stayOnTop() const override { return false; }
    void removeDeactivationHandler() override {}
    void restartAutoHideTimer() override {}
    QAction *editSelectAllAction() override { return nullptr; }
    QAction *fileSaveAsAction() override { return nullptr; }

    QWidget window;
    QStringList deleted;
};

int heightLimit()
{
    return QGuiApplication::primaryScreen()->geometry().height() * 7 / 8;
}

} // namespace

class tst_NoteWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void titleFollowsTheFirstLine_data();
    void titleFollowsTheFirstLine();
    void windowGrowsWithItsTextUpToSevenEighths();
    void windowResizedByTheUserKeepsItsSize();
    void plotInADefaultWindowIsReadableAndShownWhole();
    void newNoteClosedEmptyIsRemoved_data();
    void newNoteClosedEmptyIsRemoved();

private:
    // A window as a new note opens it: the text's height at the note width.
    void open(const QString &text);
    void type(const QString &text);

    QuietHost *m_host = nullptr;
    TRichForm *m_window = nullptr;
};

void tst_NoteWindow::init()
{
    m_host = new QuietHost;
}

void tst_NoteWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    delete m_host;
}

void tst_NoteWindow::open(const QString &text)
{
    m_window = new TRichForm(*m_host);
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    RichDocument note;
    note.setText(text);
    m_window->loadNote(note);
    m_window->fitHeightToText();
    m_window->move(40, 40);
    m_window->showActive();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->editor()->setFocus();
    m_window->editor()->moveCursor(QTextCursor::End);
}

void tst_NoteWindow::type(const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(m_window->editor(), Qt::Key_Return);
        else
            QTest::keyClicks(m_window->editor(), QString(c));
    }
}

void tst_NoteWindow::titleFollowsTheFirstLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::newRow("a new note") << QString() << u"Shopping list\nmilk"_qs << u"Shopping list.."_qs;
    QTest::newRow("one long line")
        << QString() << u"Twenty-six characters long"_qs << u"Twenty-six cha.."_qs;
    QTest::newRow("blank lines first")
        << u"\r\n  \r\n"_qs << u"Garden ideas plus more\nx"_qs << u"Garden ideas plus more.."_qs;
    QTest::newRow("typed below the first line")
        << u"Call the dentist\r\n"_qs << u"on Monday"_qs << u"Call the dentist.."_qs;
}

void tst_NoteWindow::titleFollowsTheFirstLine()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    open(text);
    type(typed);
    QTEST(m_window->windowTitle(), "title");
}

void tst_NoteWindow::windowGrowsWithItsTextUpToSevenEighths()
{
    open(QString());
    TJvRichEdit *editor = m_window->editor();
    const int opened = m_window->height();
    type(u"one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\nten\n"_qs);
    QVERIFY2(m_window->height() > opened, "the window did not grow while typing");
    // All of the text shows: nothing to scroll.
    QCOMPARE(editor->verticalScrollBar()->maximum(), 0);

    for (int line = 0; line < 100 && m_window->height() < heightLimit(); ++line)
        type(u"more\n"_qs);
    type(u"and more\nand more\n"_qs);
    QCOMPARE(m_window->height(), heightLimit());
    QVERIFY(!m_window->userSized());
}

void tst_NoteWindow::windowResizedByTheUserKeepsItsSize()
{
    open(u"first"_qs);
    // The user drags the window's edge: the window system reports a size the
    // program did not give.
    const QSize dragged(m_window->width() + 30, m_window->height() + 20);
    m_window->windowHandle()->resize(dragged);
    QTRY_COMPARE(m_window->size(), dragged);
    QVERIFY(m_window->userSized());

    type(u"\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n"_qs);
    QCOMPARE(m_window->size(), dragged);
}

void tst_NoteWindow::plotInADefaultWindowIsReadableAndShownWhole()
{
    open(u"x := 0, 0.5 .. 2\r\nplot(x)\r\n"_qs);
    TJvRichEdit *editor = m_window->editor();
    m_window->editorPane()->tbCalcClick();

    editor->setSelStart(25);
    editor->setSelLength(1);
    const QTextImageFormat picture = editor->textCursor().charFormat().toImageFormat();
    const QImage image = editor->document()
                             ->resource(QTextDocument::ImageResource, QUrl(picture.name()))
                             .value<QImage>();
    const QSize readable = ChartRenderer::readableSize(editor->Font().font);
    QVERIFY2(image.width() >= readable.width() && image.height() >= readable.height(),
             qPrintable(u"the plot is %1 x %2"_qs.arg(image.width()).arg(image.height())));
    // The window grew to show the picture whole.
    QVERIFY(editor->viewport()->height() >= image.height());
    QVERIFY(editor->viewport()->width() >= image.width());
    QCOMPARE(editor->verticalScrollBar()->maximum(), 0);
    QCOMPARE(editor->horizontalScrollBar()->maximum(), 0);
}

void tst_NoteWindow::newNoteClosedEmptyIsRemoved_data()
{
    QTest::addColumn<QByteArray>("file"); // none: a note New made
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("removed");
    QTest::newRow("new, nothing typed") << QByteArray() << QString() << true;
    QTest::newRow("new, typed and erased") << QByteArray() << u"x\b"_qs << true;
    QTest::newRow("new, with text") << QByteArray() << u"milk"_qs << false;
    QTest::newRow("emptied on purpose") << QByteArray("old text") << u"\x7f"_qs << false;
    QTest::newRow("empty file") << QByteArray("") << QString() << false;
}

void tst_NoteWindow::newNoteClosedEmptyIsRemoved()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(bool, removed);
    QPointer<TNoteFrame> frame = new TNoteFrame(*m_host, &m_host->window);
    if (!file.isNull())
        frame->LoadLines(u"/nowhere/QelNotes_0.rtf"_qs, file);
    frame->Panel1DblClick();
    TJvRichEdit *editor = frame->Frm()->editor();
    editor->setFocus();
    if (typed == u"\x7f"_qs) {
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
    } else {
        for (const QChar c : typed) {
            if (c == u'\b')
                QTest::keyClick(editor, Qt::Key_Backspace);
            else
                QTest::keyClicks(editor, QString(c));
        }
    }
    frame->Frm()->close();
    QCoreApplication::processEvents();

    QCOMPARE(frame.isNull(), removed);
    QCOMPARE(m_host->deleted, removed ? QStringList{u"...."_qs} : QStringList());
    delete frame.data();
}

QTEST_MAIN(tst_NoteWindow)
#include "tst_notewindow.moc"
