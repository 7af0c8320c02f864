#include "commands/commandmodule.h"
#include "commands/linkcommands.h"
#include "links/marklinks.h"
#include "note/noteeditorpane.h"
#include "recordingdesktop.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

class tst_NoteLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void doubleClickOpensTheTokenAtTheSelection_data();
    void doubleClickOpensTheTokenAtTheSelection();
    void doubleClickMarksTheLinks();
    void addressesAreMarkedOnceTyped();
    void ctrlClickOpensTheLink_data();
    void ctrlClickOpensTheLink();
    void pointerAndToolTipShowALinkWhileCtrlIsHeld();
    void droppedFilesArriveAsMarkedLinesAndTypingGoesOn();
    void droppedPlainTextIsInsertedAsUsual();
    void pastedCopiedFilesArriveAsMarkedLines();
    void sendNoteMailsTheNoteUnderItsTitle_data();
    void sendNoteMailsTheNoteUnderItsTitle();
    void mailProgramFailureIsReported();
    void sendMailAndBrowseUrlFollowTheSelection();

private:
    void useDesktop(const QString &mailFailure = QString());
    QString inFolder(QString text) const { return text.replace(u"%dir%"_qs, m_folder.path()); }
    // The middle of word's first occurrence, in the viewport.
    QPoint pointAt(const QString &word) const;
    void focusEditor();
    void dropOnEditor(const QMimeData &data, const QPoint &point);

    QTemporaryDir m_folder;
    NoteEditorPane *m_pane = nullptr;
    TJvRichEdit *m_edit = nullptr;
    QStringList m_log;
    QStringList m_errors;
};

void tst_NoteLinks::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(QDir(m_folder.path()).mkdir(u"My Folder"_qs));
    QFile script(m_folder.filePath(u"run.sh"_qs));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner | QFile::ExeUser));
    TDM::instance()->links().setErrorReporter([this](const QString &text) { m_errors << text; });
}

void tst_NoteLinks::init()
{
    useDesktop();
    m_pane = new NoteEditorPane(nullptr, nullptr);
    m_edit = m_pane->edit();
    m_pane->resize(500, 300);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane));
}

void tst_NoteLinks::cleanup()
{
    delete m_pane;
    m_log.clear();
    m_errors.clear();
}

void tst_NoteLinks::useDesktop(const QString &mailFailure)
{
    TDM::instance()->links().setDesktop(std::make_unique<RecordingOpener>(m_log),
                                        std::make_unique<RecordingComposer>(m_log, mailFailure));
}

QPoint tst_NoteLinks::pointAt(const QString &word) const
{
    QTextCursor found = m_edit->document()->find(word);
    if (found.isNull())
        return {};
    found.setPosition(found.selectionStart() + int(word.size()) / 2);
    return m_edit->cursorRect(found).center();
}

void tst_NoteLinks::focusEditor()
{
    QApplication::setActiveWindow(m_pane);
    m_edit->setFocus();
    QVERIFY(m_edit->hasFocus());
}

void tst_NoteLinks::dropOnEditor(const QMimeData &data, const QPoint &point)
{
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_edit->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_edit->viewport(), &drop);
    QVERIFY(drop.isAccepted());
}

void tst_NoteLinks::doubleClickOpensTheTokenAtTheSelection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("quoted folder, as a drop leaves it")
        << u"Files:\r\n\"%dir%/My Folder\"\r\n"_qs << u"Folder"_qs
        << QStringList{u"open file://%dir%/My Folder"_qs};
    QTest::newRow("www address alone on its line")
        << u"x\r\nwww.example.org\r\nmore"_qs << u"example"_qs
        << QStringList{u"open http://www.example.org"_qs};
    QTest::newRow("www address in a sentence") << u"see www.example.org.\r\n"_qs << u"example"_qs
                                               << QStringList{u"open http://www.example.org"_qs};
    QTest::newRow("mail address in a sentence: the address alone")
        << u"write to bob@example.com\r\n"_qs << u"example"_qs
        << QStringList{u"mail bob@example.com||"_qs};
    QTest::newRow("a word beside a mail address")
        << u"write to bob@example.com\r\n"_qs << u"write"_qs << QStringList();
    QTest::newRow("web address on a later line")
        << u"one\r\ntwo\r\nhttps://example.org/x\r\n"_qs << u"example"_qs
        << QStringList{u"open https://example.org/x"_qs};
    QTest::newRow("mail address") << u"a@b.c\r\n"_qs << u"b"_qs << QStringList{u"mail a@b.c||"_qs};
    QTest::newRow("script with run bit: its folder")
        << u"\"%dir%/run.sh\"\r\n"_qs << u"run"_qs << QStringList{u"folder %dir%/run.sh"_qs};
    QTest::newRow("other scheme") << u"javascript:alert(1)\r\n"_qs << u"alert"_qs << QStringList();
}

void tst_NoteLinks::doubleClickOpensTheTokenAtTheSelection()
{
    QFETCH(QString, text);
    QFETCH(QString, word);
    QFETCH(QStringList, log);
    m_edit->setText(inFolder(text));

    QTest::mouseDClick(m_edit->viewport(), Qt::LeftButton, {}, pointAt(word));

    for (QString &entry : log)
        entry = inFolder(entry);
    QCOMPARE(m_log, log);
}

void tst_NoteLinks::doubleClickMarksTheLinks()
{
    m_edit->setText(u"plain words\r\nsee www.example.org now"_qs);
    QTest::mouseDClick(m_edit->viewport(), Qt::LeftButton, {}, pointAt(u"plain"_qs));

    QCOMPARE(m_edit->SelText(), u"plain"_qs);
    m_edit->setSelStart(16);
    m_edit->setSelLength(15);
    QCOMPARE(m_edit->SelText(), u"www.example.org"_qs);
    QCOMPARE(m_edit->SelAttributes().Color(), QColor(0, 0, 255));
    QCOMPARE(m_edit->SelAttributes().Style(), TFontStyle::fsUnderline);
}

void tst_NoteLinks::addressesAreMarkedOnceTyped()
{
    m_edit->setText(u"Notes:\r\n"_qs);
    m_edit->setSelStart(7);
    focusEditor();
    QTest::keyClicks(m_edit, u"see www.example.org/a"_qs);
    QCoreApplication::processEvents();
    m_edit->setSelStart(11);
    m_edit->setSelLength(1);
    QVERIFY2(!m_edit->SelAttributes().Underline(), "an address was marked while typed");

    m_edit->setSelStart(28);
    QTest::keyClicks(m_edit, u". Mail bob@example.com"_qs);
    QCoreApplication::processEvents();
    QTest::keyClick(m_edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    QTest::keyClicks(m_edit, u"next"_qs);
    QCOMPARE(m_edit->Text(), u"Notes:\r\nsee www.example.org/a. Mail bob@example.com\r\nnext"_qs);

    for (const auto &[start, length, marked] :
         {std::tuple{11, 17, true}, std::tuple{28, 1, false}, std::tuple{35, 15, true},
          std::tuple{51, 4, false}}) {
        m_edit->setSelStart(start);
        m_edit->setSelLength(length);
        QCOMPARE(m_edit->SelAttributes().Underline(), marked);
        QCOMPARE(m_edit->SelAttributes().Color() == QColor(0, 0, 255), marked);
    }
}

void tst_NoteLinks::ctrlClickOpensTheLink_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("link text") << u"example"_qs << Qt::KeyboardModifiers(Qt::ControlModifier)
                               << QStringList{u"open https://example.org/a"_qs};
    QTest::newRow("link text of another scheme")
        << u"alert"_qs << Qt::KeyboardModifiers(Qt::ControlModifier) << QStringList();
    QTest::newRow("mail address in a sentence")
        << u"bob"_qs << Qt::KeyboardModifiers(Qt::ControlModifier)
        << QStringList{u"mail bob@example.com||"_qs};
    QTest::newRow("web address in a sentence")
        << u"page"_qs << Qt::KeyboardModifiers(Qt::ControlModifier)
        << QStringList{u"open https://example.com/page"_qs};
    QTest::newRow("a word beside them")
        << u"write"_qs << Qt::KeyboardModifiers(Qt::ControlModifier) << QStringList();
    QTest::newRow("plain click on a link")
        << u"page"_qs << Qt::KeyboardModifiers(Qt::NoModifier) << QStringList();
}

void tst_NoteLinks::ctrlClickOpensTheLink()
{
    QFETCH(QString, word);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QTextCursor cursor(m_edit->document());
    cursor.insertHtml(u"<a href=\"x\">https://example.org/a</a> or "
                      "<a href=\"y\">javascript:alert(1)</a>"_qs);
    cursor.insertBlock();
    cursor.insertText(u"write to bob@example.com, see https://example.com/page."_qs,
                      QTextCharFormat());
    MarkLinks(*m_edit);

    QTest::mouseClick(m_edit->viewport(), Qt::LeftButton, modifiers, pointAt(word));

    QTEST(m_log, "log");
}

void tst_NoteLinks::pointerAndToolTipShowALinkWhileCtrlIsHeld()
{
    m_edit->setText(u"write to bob@example.com or see www.example.org"_qs);
    focusEditor();
    const auto moveTo = [this](const QString &word, Qt::KeyboardModifiers modifiers) {
        const QPoint point = pointAt(word);
        QMouseEvent move(QEvent::MouseMove, point, m_edit->viewport()->mapToGlobal(point),
                         Qt::NoButton, Qt::NoButton, modifiers);
        QApplication::sendEvent(m_edit->viewport(), &move);
        return m_edit->viewport()->cursor().shape();
    };
    QCOMPARE(moveTo(u"example.org"_qs, Qt::ControlModifier), Qt::PointingHandCursor);
    QCOMPARE(moveTo(u"example.org"_qs, Qt::NoModifier), Qt::IBeamCursor);
    QCOMPARE(moveTo(u"write"_qs, Qt::ControlModifier), Qt::IBeamCursor);

    const auto tipAt = [this](const QString &word) {
        const QPoint point = pointAt(word);
        QHelpEvent help(QEvent::ToolTip, point, m_edit->viewport()->mapToGlobal(point));
        QApplication::sendEvent(m_edit->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // A tip goes only after a while: none is asked for first.
    QCOMPARE(tipAt(u"write"_qs), QString());
    QCOMPARE(tipAt(u"example.org"_qs), u"http://www.example.org"_qs);
    QCOMPARE(tipAt(u"bob"_qs), u"mailto:bob@example.com"_qs);
}

void tst_NoteLinks::droppedFilesArriveAsMarkedLinesAndTypingGoesOn()
{
    // The drop point's format is the text's in front of it.
    m_edit->setText(u"Files: "_qs);
    m_edit->setSelLength(7);
    m_edit->SelAttributes().setColor(Qt::red);
    m_edit->SelAttributes().setStyle(TFontStyle::fsItalic);
    m_edit->setSelStart(7);
    focusEditor();

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(m_folder.filePath(u"My Folder"_qs)),
                   QUrl::fromLocalFile(m_folder.filePath(u"run.sh"_qs))});
    dropOnEditor(files, m_edit->cursorRect().center());
    QTest::keyClicks(m_edit, u"typed"_qs);

    QCOMPARE(m_edit->Text(),
             inFolder(u"Files: \"%dir%/My Folder\"\r\n\"%dir%/run.sh\"\r\ntyped"_qs));
    m_edit->setSelStart(7);
    m_edit->setSelLength(int(m_folder.path().size()) + 26);
    QCOMPARE(m_edit->SelAttributes().Color(), QColor(0, 0, 255));
    QCOMPARE(m_edit->SelAttributes().Style(), TFontStyle::fsUnderline);
    m_edit->setSelStart(int(m_edit->document()->characterCount()) - 3);
    m_edit->setSelLength(1);
    QCOMPARE(m_edit->SelAttributes().Color(), QColor(Qt::red));
    QCOMPARE(m_edit->SelAttributes().Style(), TFontStyle::fsItalic);
}

void tst_NoteLinks::droppedPlainTextIsInsertedAsUsual()
{
    m_edit->setText(u"Text: "_qs);
    QMimeData text;
    text.setText(u"\"/tmp\" and more"_qs);
    dropOnEditor(text, pointAt(u": "_qs) + QPoint(20, 0));

    QCOMPARE(m_edit->Text(), u"Text: \"/tmp\" and more"_qs);
    m_edit->setSelStart(6);
    m_edit->setSelLength(6);
    QVERIFY(!m_edit->SelAttributes().Underline());
}

void tst_NoteLinks::pastedCopiedFilesArriveAsMarkedLines()
{
    auto *copied = new QMimeData;
    copied->setData(u"x-special/gnome-copied-files"_qs,
                    "copy\n" + QUrl::fromLocalFile(m_folder.path()).toEncoded());
    QApplication::clipboard()->setMimeData(copied);
    m_edit->paste();

    QCOMPARE(m_edit->Text(), inFolder(u"\"%dir%\"\r\n"_qs));
    m_edit->setSelStart(0);
    m_edit->setSelLength(int(m_folder.path().size()) + 2);
    QVERIFY(m_edit->SelAttributes().Underline());
}

void tst_NoteLinks::sendNoteMailsTheNoteUnderItsTitle_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("subject");
    QTest::newRow("one word") << u"Milk"_qs << u"Milk.."_qs;
    QTest::newRow("one line of 30")
        << u"Thirty characters on one line."_qs << u"Thirty charact.."_qs;
    QTest::newRow("first of two lines") << u"Shopping list\r\nmilk"_qs << u"Shopping list.."_qs;
}

void tst_NoteLinks::sendNoteMailsTheNoteUnderItsTitle()
{
    QFETCH(QString, text);
    QFETCH(QString, subject);
    m_edit->setText(text);
    focusEditor();

    QTest::keyClick(m_edit, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);

    QCOMPARE(m_edit->Title(), subject);
    QCOMPARE(m_log, QStringList{u"mail |"_qs + subject + u'|' + text});
}

void tst_NoteLinks::mailProgramFailureIsReported()
{
    useDesktop(u"No mail program is set up on this desktop."_qs);
    m_edit->setText(u"write to a@b.c"_qs);
    focusEditor();
    m_pane->SendNote1()->trigger();
    QCOMPARE(m_errors, QStringList{u"The mail could not be handed to the mail program.\n"
                                   "No mail program is set up on this desktop."_qs});
}

void tst_NoteLinks::sendMailAndBrowseUrlFollowTheSelection()
{
    TDM *dm = TDM::instance();
    m_edit->setText(inFolder(u"a@b.c\r\nhttps://example.org/\r\nplain\r\n\"%dir%\"\r\n"_qs));
    focusEditor();

    m_edit->setSelStart(2);
    QVERIFY(dm->action(CommandId::acSendMail)->isEnabled());
    QVERIFY(!dm->action(CommandId::BrowseURL1)->isEnabled());
    dm->action(CommandId::acSendMail)->trigger();

    m_edit->setSelStart(10);
    QVERIFY(!dm->action(CommandId::acSendMail)->isEnabled());
    QVERIFY(dm->action(CommandId::BrowseURL1)->isEnabled());
    dm->action(CommandId::BrowseURL1)->trigger();

    for (const int start : {28, 33}) {
        m_edit->setSelStart(start);
        QVERIFY(!dm->action(CommandId::acSendMail)->isEnabled());
        QVERIFY(!dm->action(CommandId::BrowseURL1)->isEnabled());
    }
    QCOMPARE(m_log, (QStringList{u"mail a@b.c||"_qs, u"open https://example.org/"_qs}));
}

QTEST_MAIN(tst_NoteLinks)
#include "tst_notelinks.moc"
