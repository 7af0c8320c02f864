#pragma once

#include <QDialog>
#include <QKeySequence>

class QDialogButtonBox;
class QKeySequenceEdit;
class QLabel;

// Asks for the keys of "Show Board" and "New Note": one key each (with its
// modifiers), or none; the two must differ.
class GlobalKeysDialog : public QDialog
{
    Q_OBJECT

public:
    GlobalKeysDialog(const QKeySequence &showBoard, const QKeySequence &newNote,
                     QWidget *parent = nullptr);

    QKeySequence showBoardKey() const;
    QKeySequence newNoteKey() const;

private:
    QKeySequenceEdit *keyEdit(const QKeySequence &key);
    void check();

    QKeySequenceEdit *m_showBoard;
    QKeySequenceEdit *m_newNote;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};
