#pragma once

#include "richtext/notequery.h"

#include <QLineEdit>

class QKeyEvent;

// The small field at the top of the pinned board that narrows its rows to the
// notes holding every typed word. It comes up with the first key typed on the
// board; Esc, or emptying it, hides it and shows all rows again.
class BoardFilter : public QLineEdit
{
    Q_OBJECT

public:
    explicit BoardFilter(QWidget *parent = nullptr);

    NoteQuery query() const { return m_query; }
    // A key typed on the board: a printable one opens the field with it and
    // is taken (true); any other is left to the board.
    bool takeKey(const QKeyEvent *event);
    // Empties and hides the field.
    void dismiss();

Q_SIGNALS:
    void queryChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    NoteQuery m_query{QString()};
};
