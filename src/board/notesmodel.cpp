#include "board/notesmodel.h"

#include "board/notesstore.h"
#include "note/noteitem.h"

#include <QColor>

NotesModel::NotesModel(NotesStore &store, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
{
    connect(&m_store, &NotesStore::listChanged, this, &NotesModel::takeList);
    takeList();
}

int NotesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_notes.size());
}

QVariant NotesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const NoteItem *note = m_notes.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return note->caption();
    case Qt::BackgroundRole:
        return note->color();
    default:
        return {};
    }
}

void NotesModel::noteChanged(const NoteItem *note)
{
    const int row = rowOf(note);
    if (row < 0)
        return;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::BackgroundRole});
}

void NotesModel::moveNote(int from, int to)
{
    if (from != to)
        m_store.move(from, to);
}

void NotesModel::takeList()
{
    beginResetModel();
    m_notes = m_store.notes();
    m_rows.clear();
    m_rows.reserve(m_notes.size());
    for (int row = 0; row < int(m_notes.size()); ++row)
        m_rows.insert(m_notes.at(row), row);
    endResetModel();
}
