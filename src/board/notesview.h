#pragma once

#include <QList>
#include <QPoint>
#include <QWidget>

class NoteItem;
class QKeyEvent;
class NotesModel;
class TNoteFrame;

// The board's rows: one widget painting a 16-pixel header per note of a
// NotesModel (the caption over the note colour, or the highlight, and the
// close picture at the right end, at the screen's pixel ratio) and handing
// the pointer's doings on a row to that note's frame. A press on a row
// that moves up or down and is let go moves the note there. A filter may
// narrow the rows shown; the view is as tall as they are and lies in the
// board's scroll area.
class NotesView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 16;
    // The colour of the highlighted row.
    static constexpr QColor Highlight{166, 202, 240};

    // The notes of model must be TNoteFrames.
    explicit NotesView(NotesModel &model, QWidget *parent = nullptr);

    // Shows just the given model rows, in ascending order; every row is shown
    // again once the list changes.
    void setShownRows(QList<int> rows);
    // The rows shown, top to bottom, and where they lie.
    int shownCount() const { return int(m_shown.size()); }
    TNoteFrame *shownNote(int shown) const;
    // The place of note among the rows shown; -1 when it is not shown.
    int shownIndexOf(const NoteItem *note) const;
    QRect rowRect(int shown) const { return {0, shown * RowHeight, width(), RowHeight}; }
    int rowsHeight() const { return shownCount() * RowHeight; }
    // Where the close picture lies in a row.
    static QRect closeRect(const QRect &row);

    // The row shown in the highlight colour; none by default.
    void setHighlighted(TNoteFrame *note);
    TNoteFrame *highlighted() const { return m_highlighted; }
    // Up, Down, Home, End, PgUp and PgDn (pageRows rows) highlight another
    // row shown, Enter opens the highlighted note, Delete asks to delete it:
    // true when the key was one of them.
    bool takeKey(const QKeyEvent *event, int pageRows);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // The row shown at y, -1 when none.
    int shownAt(int y) const;
    void showAllRows();
    void hover(int shown, const QPoint &position, const QPoint &globalPos);
    // Moves the pressed note to the row shown nearest to y.
    void drop(TNoteFrame &note, int y);

    NotesModel &m_model;
    QList<int> m_shown; // model rows shown, ascending
    // Both are forgotten once their note leaves the list.
    TNoteFrame *m_highlighted = nullptr;
    // The last pointer position over a row, in that row's coordinates: a
    // move to the same coordinates over another row is no move.
    QPoint m_lastRowPosition{0, 0};
    // The note whose row the left button went down on, while it is held.
    TNoteFrame *m_pressed = nullptr;
    QPoint m_pressPoint;
    bool m_dragging = false;
    // The button went down on a close picture: its release is the picture's.
    bool m_pressOnClose = false;
    // The release that ends a double click is no click of its own.
    bool m_doubleClicked = false;
};
