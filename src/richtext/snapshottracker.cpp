#include "richtext/snapshottracker.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

SnapshotTracker::SnapshotTracker(QTextDocument &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_snapshot(DocumentSnapshot::take(document))
    , m_stale(m_snapshot.paragraphCount(), false)
{
    // A document tells its changes only once it has a layout; an editor's
    // has one already.
    document.documentLayout();
    connect(&document, &QTextDocument::contentsChange, this, &SnapshotTracker::contentsChange);
}

DocumentSnapshot SnapshotTracker::snapshot()
{
    m_snapshot.retakeParagraphs(m_document, m_stale);
    m_snapshot.takeFormats(m_document);
    return m_snapshot;
}

void SnapshotTracker::contentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed)
    const QTextDocument &document = m_document;
    // The paragraphs before position are as they were, and as many follow the
    // change as followed it before: the ones between were changed, and their
    // count is what the document's count of paragraphs gained or lost.
    const int last = document.characterCount() - 1;
    const int first = document.findBlock(std::min(position, last)).blockNumber();
    const int changedEnd = document.findBlock(std::min(position + added, last)).blockNumber() + 1;
    const qsizetype oldCount = qsizetype(m_stale.size());
    const qsizetype oldEnd = changedEnd - (document.blockCount() - oldCount);
    if (first < 0 || oldEnd <= first || oldEnd > oldCount) {
        markAll();
        return;
    }
    const qsizetype changed = changedEnd - first;
    const qsizetype was = oldEnd - first;
    if (changed > was) {
        m_snapshot.insertParagraphs(oldEnd, changed - was);
        m_stale.insert(m_stale.begin() + oldEnd, changed - was, true);
    } else if (changed < was) {
        m_snapshot.removeParagraphs(first + changed, was - changed);
        m_stale.erase(m_stale.begin() + first + changed, m_stale.begin() + oldEnd);
    }
    std::fill(m_stale.begin() + first, m_stale.begin() + changedEnd, true);
}

void SnapshotTracker::markAll()
{
    m_snapshot.resetParagraphs(m_document.blockCount());
    m_stale.assign(m_document.blockCount(), true);
}
