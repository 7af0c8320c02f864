#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>

class NoteItem;
class NotesStore;

// The notes of a NotesStore as a list model, one row per note in list order:
// the caption as the display text and the note colour as the background.
// It follows the store's list; notes tell it when their header changed.
class NotesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit NotesModel(NotesStore &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    NoteItem *note(int row) const { return m_notes.at(row); }
    // The row of note; -1 when it is not in the list.
    int rowOf(const NoteItem *note) const { return m_rows.value(note, -1); }
    // The caption or the colour of note changed.
    void noteChanged(const NoteItem *note);
    // Moves the note at from to to; the files follow at the next store.
    void moveNote(int from, int to);

private:
    // Takes the store's list anew after it changed.
    void takeList();

    NotesStore &m_store;
    // The list as the rows show it: the store tells of a change only once
    // it is made, and the views learn of it here, between begin and end.
    QList<NoteItem *> m_notes;
    QHash<const NoteItem *, int> m_rows;
};
