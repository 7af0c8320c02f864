#include "richtext/snapshottracker.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

SnapshotTracker::SnapshotTracker(QTextDocument &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_snapshot(DocumentSnapshot::take(document))
    , m_stale(m_snapshot.m_paragraphs.size(), false)
{
    // A document tells its changes only once it has a layout; an editor's
    // has one already.
    document.documentLayout();
    connect(&document, &QTextDocument::contentsChange, this, &SnapshotTracker::contentsChange);
}

DocumentSnapshot SnapshotTracker::snapshot()
{
    const QTextDocument &document = m_document;
    auto stale = std::find(m_stale.begin(), m_stale.end(), true);
    if (stale != m_stale.end()) {
        QTextBlock block = document.findBlockByNumber(int(stale - m_stale.begin()));
        for (; stale != m_stale.end(); ++stale, block = block.next()) {
            if (*stale) {
                m_snapshot.m_paragraphs[stale - m_stale.begin()]
                    = DocumentSnapshot::Paragraph::of(block);
                *stale = false;
            }
        }
    }
    m_snapshot.takeFormats(document);
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
    const qsizetype oldCount = m_snapshot.m_paragraphs.size();
    const qsizetype oldEnd = changedEnd - (document.blockCount() - oldCount);
    if (first < 0 || oldEnd <= first || oldEnd > oldCount) {
        markAll();
        return;
    }
    const qsizetype changed = changedEnd - first;
    const qsizetype was = oldEnd - first;
    QList<DocumentSnapshot::Paragraph> &paragraphs = m_snapshot.m_paragraphs;
    if (changed > was) {
        paragraphs.insert(oldEnd, changed - was, {});
        m_stale.insert(m_stale.begin() + oldEnd, changed - was, true);
    } else if (changed < was) {
        paragraphs.remove(first + changed, was - changed);
        m_stale.erase(m_stale.begin() + first + changed, m_stale.begin() + oldEnd);
    }
    std::fill(m_stale.begin() + first, m_stale.begin() + changedEnd, true);
}

void SnapshotTracker::markAll()
{
    m_snapshot.m_paragraphs.resize(m_document.blockCount());
    m_stale.assign(m_snapshot.m_paragraphs.size(), true);
}
