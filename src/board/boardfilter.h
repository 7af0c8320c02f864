#pragma once

#include "richtext/notequery.h"

#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QTextDocument>

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
    // True when document holds every word, or nothing is typed.
    bool matches(const QTextDocument *document);
    // The same for a note not read into a document yet: its text is read from its file's
    // data, which stay as they are until it is.
    bool matches(const QObject *note, const QByteArray &data);
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
    // A note's text, taken from its document once per change rather than
    // once per keystroke.
    struct CachedText
    {
        QPointer<const QObject> owner; // the document, or the note of the file's data
        int revision = -1;             // of the document
        const char *data = nullptr;    // the file's data, shared with the note
        QString text;                  // folded for matching
        int missedQuery = 0;           // the last query found missing from text, 0 for none
    };
    // A query typed since the field opened, kept while later ones may narrow it.
    struct PastQuery
    {
        int id = 0;
        NoteQuery query{QString()};
    };

    void setQuery(const QString &text);
    // Matches the current query against a note's cached text, skipping the search when the
    // text has missed a query the current one narrows (typing on adds to a word or a word).
    bool matchesCached(CachedText &cached) const;

    NoteQuery m_query{QString()};
    int m_queryId = 0;
    QList<PastQuery> m_pastQueries;             // the latest last, a few at most
    QList<int> m_narrowedQueries;               // ids of the past queries the current one narrows
    QHash<const QObject *, CachedText> m_texts; // while the field is open
};
