#include "board/boardfilter.h"

#include "richtext/rtfreader.h"

#include <QKeyEvent>

BoardFilter::BoardFilter(QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(tr("Search notes"));
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        setQuery(text);
        if (text.isEmpty())
            hide();
        Q_EMIT queryChanged();
    });
    hide();
}

void BoardFilter::setQuery(const QString &text)
{
    // Enough to take back a word typed and keep the misses of the one before it.
    constexpr qsizetype PastQueriesKept = 32;
    m_query = NoteQuery(text);
    m_queryId += 1;
    m_narrowedQueries.clear();
    for (const PastQuery &past : std::as_const(m_pastQueries)) {
        if (m_query.narrows(past.query))
            m_narrowedQueries.append(past.id);
    }
    if (m_pastQueries.size() == PastQueriesKept)
        m_pastQueries.removeFirst();
    m_pastQueries.append({m_queryId, m_query});
}

bool BoardFilter::matchesCached(CachedText &cached) const
{
    if (cached.missedQuery != 0 && m_narrowedQueries.contains(cached.missedQuery))
        return false;
    const bool found = m_query.matchesFolded(cached.text);
    if (!found)
        cached.missedQuery = m_queryId;
    return found;
}

bool BoardFilter::takeKey(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    show();
    setFocus(Qt::OtherFocusReason);
    insert(text);
    return true;
}

bool BoardFilter::matches(const QTextDocument *document)
{
    if (m_query.isEmpty())
        return true;
    CachedText &cached = m_texts[document];
    // A document made where a deleted one was is another note.
    if (cached.owner != document || cached.revision != document->revision()) {
        cached.owner = document;
        cached.revision = document->revision();
        cached.text = NoteQuery::folded(NoteText::textOf(*document));
        cached.missedQuery = 0;
    }
    return matchesCached(cached);
}

bool BoardFilter::matches(const QObject *note, const QByteArray &data)
{
    if (m_query.isEmpty())
        return true;
    CachedText &cached = m_texts[note];
    // The note keeps its file's data until it is read: the same bytes have the same text.
    if (cached.owner != note || cached.data != data.constData()) {
        cached.owner = note;
        cached.revision = -1;
        cached.data = data.constData();
        // The text a document read from the data would hold, without making one.
        cached.text = NoteQuery::folded(RtfReader::readText(data).text);
        cached.missedQuery = 0;
    }
    return matchesCached(cached);
}

void BoardFilter::dismiss()
{
    clear();
    hide();
    m_texts.clear();
    m_pastQueries.clear();
}

void BoardFilter::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
