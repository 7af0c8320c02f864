#pragma once

#include "richtext/documentsnapshot.h"

#include <QObject>

#include <vector>

class QTextDocument;

// Keeps a DocumentSnapshot of a document while it is edited: a change marks
// the paragraphs it touched, and snapshot() takes again only those, so that
// the periodic save of a long note costs what was typed since the last one,
// not the note's size. Qt does not report a change made by a handler of
// QTextDocument::contentsChange: such handlers must leave the document alone.
class SnapshotTracker : public QObject
{
    Q_OBJECT

public:
    // Takes the whole document at once, on the thread that owns it. The
    // tracker must not outlive document: a child of it, for one.
    explicit SnapshotTracker(QTextDocument &document, QObject *parent = nullptr);

    // What DocumentSnapshot::take(document) would give now.
    DocumentSnapshot snapshot();

private:
    void contentsChange(int position, int removed, int added);
    void markAll();

    QTextDocument &m_document;
    DocumentSnapshot m_snapshot;
    // One entry per paragraph of m_snapshot: to be taken again.
    std::vector<bool> m_stale;
};
