#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextFormat>
#include <QVariant>

#include <memory>

class QTextBlock;
class QTextDocument;

// A note document's contents as plain data: its paragraphs (each with its
// text, runs and formats by index) and the formats and pictures they use.
// Taking it costs a walk over the paragraphs and runs, far less than writing
// the document out; the document it makes again, on any thread, writes the
// same RTF as the original. Copies share their paragraphs, so that a snapshot
// kept up to date (SnapshotTracker) is handed over at the cost of a list.
class DocumentSnapshot
{
public:
    // On the thread that owns document.
    static DocumentSnapshot take(const QTextDocument &document);

    // A document of its own, for the thread that calls it.
    std::unique_ptr<QTextDocument> toDocument() const;

private:
    friend class SnapshotTracker;

    struct Run
    {
        int length = 0;
        int format = 0; // index into m_formats
    };
    struct Paragraph
    {
        int blockFormat = 0;
        int charFormat = 0; // the format of the paragraph mark
        int list = -1;      // the list format's index, -1 outside a list
        int listNumber = 0; // tells lists of the same format apart
        QString text;
        QList<Run> runs;

        static Paragraph of(const QTextBlock &block);
    };

    // What the paragraphs refer to: on the thread that owns document.
    void takeFormats(const QTextDocument &document);

    QList<Paragraph> m_paragraphs;
    QList<QTextFormat> m_formats;
    QHash<QString, QVariant> m_images; // by name
    QFont m_defaultFont;
};
