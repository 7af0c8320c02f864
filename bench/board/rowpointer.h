#pragma once

#include "board/notesboard.h"
#include "board/notesview.h"
#include "note/noteframe.h"

#include <QCoreApplication>
#include <QMouseEvent>

// The pointer moves over note's row on the board, x pixels from its left.
inline void moveOver(const TFrmNote &board, const TNoteFrame *note, int x)
{
    NotesView *rows = board.rowsView();
    const QPointF position = rows->rowRect(rows->shownIndexOf(note)).topLeft() + QPointF(x, 5);
    QMouseEvent event(QEvent::MouseMove, position, rows->mapToGlobal(position), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &event);
}
