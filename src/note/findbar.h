#pragma once

#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>

class QCheckBox;
class QLineEdit;

// The find bar under a note's editor: searches the editor's text as the user
// types, steps to the next or previous match with wrap-around, and marks
// every match with the editor's extra selections, so that nothing is written
// into the note. No match turns the field red. Closing it removes the marks
// and leaves the caret on the match.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QTextEdit *editor, QWidget *parent = nullptr);

    // Shows the bar with the keyboard focus in its field; a selection of one
    // line in the editor becomes the text to find.
    void open();
    void findNext();
    void findPrevious();
    // Hides the bar, drops its marks and gives the focus back to the editor.
    void close();

    QLineEdit *field() const { return m_field; }
    QCheckBox *matchCase() const { return m_matchCase; }
    // The text has no match in the note (and is not empty).
    bool notFound() const { return m_notFound; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Direction { Forward, Backward };
    // Selects the first match of the field's text from position on in
    // direction, wrapping around the note's ends.
    void find(int from, Direction direction);
    void markMatches();
    void clearMarks();
    void setNotFound(bool notFound);
    QTextDocument::FindFlags flags() const;

    QTextEdit *m_editor;
    QLineEdit *m_field;
    QCheckBox *m_matchCase;
    // Where the search as you type starts: the caret when the bar opened.
    int m_origin = 0;
    bool m_notFound = false;
};
