#pragma once

#include <QObject>
#include <QTextEdit>

#include <functional>

class QAction;
class QMenu;
class SpellService;

// Underlines the misspelled words of a note's editor with a purple wave, as
// extra selections of the editor: nothing is written into the note, and the
// marks look unlike the calculator's red error underline. Only the blocks in
// view are checked, after each change or scroll, so typing in a long note
// costs no more than in a short one. Text the skip test names (calculator
// results and errors), links, encrypted markers and the word being typed are
// not marked.
//
// The language is guessed from the note's text (and the locale) until the
// user chooses one for the note.
class SpellMarks : public QObject
{
    Q_OBJECT

public:
    using FormatTest = std::function<bool(const QTextCharFormat &format)>;
    SpellMarks(QTextEdit *editor, SpellService &service, FormatTest skip, QObject *parent);

    SpellService &service() const { return m_service; }
    QString language() const { return m_language; }
    // The user's choice for this note; no more guessing.
    void setLanguage(const QString &language);

    // Checks the blocks in view now; changes ask for it on their own, after
    // the event that made them.
    void refresh();
    static bool isSpellMark(const QTextEdit::ExtraSelection &selection);

    // The entries for the marked word at position: its suggestions, each
    // replacing the word, and "Add to Dictionary"; none when no word there
    // is marked. The actions belong to parent.
    QList<QAction *> corrections(int position, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();
    void contentsChange(int position, int removed, int added);
    void guessLanguage();
    QList<QTextEdit::ExtraSelection> marksInView();

    QTextEdit *m_editor;
    SpellService &m_service;
    FormatTest m_skip;
    QString m_language;
    bool m_languageChosen = false;
    // The guess is made again while the note holds few words.
    int m_wordsGuessedFrom = -1;
    bool m_scheduled = false;
    // The first block in view when last looked.
    int m_firstInView = 0;
    // Where the last insertion ended: a word ending there while the caret
    // stays there is still being typed.
    int m_typingAt = -1;
};
