#include "note/noteeditorpane.h"
#include "note/spellmarks.h"
#include "note/spellservice.h"
#include "platform/settingsfile.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>

class tst_SpellMarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void marksMisspelledWordsButNotResultsOrLinks();
    void wordBeingTypedIsMarkedOnceLeft();
    void suggestionReplacesTheWord();
    void addedWordIsAcceptedInEveryNoteAndKept();
    void storedNoteIsTheSameWithAndWithoutMarks();
    void switchIsSharedAndStored();
    void languageFollowsTheTextUntilChosen();
    void onlyTheBlocksInViewAreChecked();

private:
    // The marked words, in the order of the note.
    QStringList marked(TJvRichEdit *edit = nullptr) const;
    static QAction *entry(const QMenu *menu, const QString &text);
    std::unique_ptr<NoteEditorPane> newPane();
    QString settingsPath() const { return m_folder.filePath(u"QelNotes.ini"_qs); }
    QString wordsPath() const { return m_folder.filePath(u"QelNotesWords.txt"_qs); }

    QTemporaryDir m_folder;
    std::unique_ptr<SpellService> m_service;
    std::unique_ptr<NoteEditorPane> m_pane;
    TJvRichEdit *m_edit = nullptr;
};

void tst_SpellMarks::init()
{
    QFile::remove(settingsPath());
    QFile::remove(wordsPath());
    m_service = std::make_unique<SpellService>(SpellChecker::systemDictionaryFolders(), wordsPath(),
                                               settingsPath());
    m_pane = newPane();
    m_edit = m_pane->edit();
}

void tst_SpellMarks::cleanup()
{
    m_pane.reset();
    m_service.reset();
}

std::unique_ptr<NoteEditorPane> tst_SpellMarks::newPane()
{
    auto pane = std::make_unique<NoteEditorPane>(nullptr, nullptr, nullptr, m_service.get());
    pane->resize(500, 300);
    pane->show();
    return pane;
}

QStringList tst_SpellMarks::marked(TJvRichEdit *edit) const
{
    edit = edit ? edit : m_edit;
    QStringList words;
    for (const QTextEdit::ExtraSelection &mark : edit->extraSelections()) {
        if (SpellMarks::isSpellMark(mark))
            words.append(mark.cursor.selectedText());
    }
    return words;
}

QAction *tst_SpellMarks::entry(const QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void tst_SpellMarks::marksMisspelledWordsButNotResultsOrLinks()
{
    m_pane->spellMarks()->setLanguage(u"de_DE"_qs);
    m_edit->setText(u"Der Fehlr ist hier.\r\nwww.exampel.org\r\n1/0 =\r\n"_qs);
    m_pane->tbCalcClick();
    QVERIFY(m_edit->Text().contains(u"Divide by 0"_qs));
    m_pane->spellMarks()->refresh();
    QCOMPARE(marked(), QStringList{u"Fehlr"_qs});

    // A look of its own, not the calculator's red wave.
    for (const QTextEdit::ExtraSelection &mark : m_edit->extraSelections()) {
        if (!SpellMarks::isSpellMark(mark))
            continue;
        QCOMPARE(mark.format.underlineStyle(), QTextCharFormat::WaveUnderline);
        QVERIFY(mark.format.underlineColor() != QColor(Qt::red));
    }
}

void tst_SpellMarks::wordBeingTypedIsMarkedOnceLeft()
{
    m_pane->spellMarks()->setLanguage(u"en_US"_qs);
    QApplication::setActiveWindow(m_pane.get());
    m_edit->setFocus();
    QTest::keyClicks(m_edit, u"The wrod"_qs);
    m_pane->spellMarks()->refresh();
    QCOMPARE(marked(), QStringList());
    QTest::keyClick(m_edit, Qt::Key_Space);
    m_pane->spellMarks()->refresh();
    QCOMPARE(marked(), QStringList{u"wrod"_qs});
}

void tst_SpellMarks::suggestionReplacesTheWord()
{
    m_pane->spellMarks()->setLanguage(u"en_US"_qs);
    m_edit->setText(u"A bold sentense here."_qs);
    m_pane->spellMarks()->refresh();
    const int position = int(m_edit->Text().indexOf(u"sentense"_qs)) + 3;
    QCOMPARE(m_pane->contextMenu(0), m_pane->PopupMenu1());

    QMenu *menu = m_pane->contextMenu(position);
    QVERIFY(menu != m_pane->PopupMenu1());
    // The note's own entries follow the corrections.
    QVERIFY(menu->actions().contains(m_pane->findAction()));
    QAction *suggestion = entry(menu, u"sentence"_qs);
    QVERIFY(suggestion);
    suggestion->trigger();
    delete menu;
    QCOMPARE(m_edit->Text(), u"A bold sentence here."_qs);
    m_pane->spellMarks()->refresh();
    QCOMPARE(marked(), QStringList());
}

void tst_SpellMarks::addedWordIsAcceptedInEveryNoteAndKept()
{
    m_pane->spellMarks()->setLanguage(u"en_US"_qs);
    m_edit->setText(u"Ask Qelbert."_qs);
    const std::unique_ptr<NoteEditorPane> other = newPane();
    other->spellMarks()->setLanguage(u"de_DE"_qs);
    other->edit()->setText(u"Frag Qelbert."_qs);
    QCoreApplication::processEvents();
    QCOMPARE(marked(), QStringList{u"Qelbert"_qs});
    QCOMPARE(marked(other->edit()), QStringList{u"Qelbert"_qs});

    QMenu *menu = m_pane->contextMenu(6);
    QAction *add = entry(menu, u"Add to Dictionary"_qs);
    QVERIFY(add);
    add->trigger();
    delete menu;
    QCoreApplication::processEvents();
    QCOMPARE(marked(), QStringList());
    QCOMPARE(marked(other->edit()), QStringList());

    QFile words(wordsPath());
    QVERIFY(words.open(QIODevice::ReadOnly));
    QCOMPARE(words.readAll(), QByteArray("Qelbert\n"));
}

void tst_SpellMarks::storedNoteIsTheSameWithAndWithoutMarks()
{
    m_pane->spellMarks()->setLanguage(u"en_US"_qs);
    m_edit->setText(u"Teh quick brwn fox.\r\nx := 3\r\nx * 2 =\r\n"_qs);
    m_pane->tbCalcClick();
    m_service->setEnabled(false);
    m_pane->spellMarks()->refresh();
    QCOMPARE(marked(), QStringList());
    const QByteArray without = m_edit->toRtf();
    m_service->setEnabled(true);
    m_pane->spellMarks()->refresh();
    QCOMPARE(marked(), (QStringList{u"Teh"_qs, u"brwn"_qs}));
    QCOMPARE(m_edit->toRtf(), without);
}

void tst_SpellMarks::switchIsSharedAndStored()
{
    const std::unique_ptr<NoteEditorPane> other = newPane();
    QVERIFY(m_pane->spellCheckAction()->isChecked());
    m_pane->spellCheckAction()->trigger();
    QVERIFY(!other->spellCheckAction()->isChecked());
    QCOMPARE(SettingsFile(settingsPath()).readString(u"Main"_qs, u"SpellCheck"_qs, {}), u"0"_qs);
    SpellService next(SpellChecker::systemDictionaryFolders(), wordsPath(), settingsPath());
    QVERIFY(!next.isEnabled());
    // No corrections while it is off.
    m_edit->setText(u"Teh"_qs);
    m_pane->spellMarks()->refresh();
    QCOMPARE(m_pane->contextMenu(1), m_pane->PopupMenu1());
}

void tst_SpellMarks::languageFollowsTheTextUntilChosen()
{
    m_edit->setText(u"Morgen: die Katze und der Hund sind noch nicht da."_qs);
    m_pane->spellMarks()->refresh();
    QCOMPARE(m_pane->spellMarks()->language(), u"de_DE"_qs);
    QAction *french = entry(m_pane->spellLanguageMenu(), u"français"_qs);
    QVERIFY(french);
    french->trigger();
    m_edit->setText(u"The cat and the dog are not there yet, and that is what it is."_qs);
    m_pane->spellMarks()->refresh();
    QCOMPARE(m_pane->spellMarks()->language(), u"fr"_qs);
}

void tst_SpellMarks::onlyTheBlocksInViewAreChecked()
{
    m_pane->spellMarks()->setLanguage(u"en_US"_qs);
    QStringList lines;
    for (int line = 0; line < 2000; ++line)
        lines.append(QStringLiteral("line %1 has a mistakke").arg(line));
    m_edit->setText(lines.join(u"\r\n"));
    m_pane->spellMarks()->refresh();
    const int inView = int(marked().size());
    QVERIFY(inView > 0);
    QVERIFY2(inView < 100, qPrintable(QString::number(inView)));
    m_edit->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    QVERIFY(m_edit->verticalScrollBar()->value() > 0);
    const QTextEdit::ExtraSelection last = [this] {
        const QList<QTextEdit::ExtraSelection> marks = m_edit->extraSelections();
        return marks.last();
    }();
    QCOMPARE(last.cursor.block().blockNumber(), 1999);
}

QTEST_MAIN(tst_SpellMarks)
#include "tst_spellmarks.moc"
