#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextFormat>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;
class QTextList;
class QTextTable;

// A note document's contents as plain data: its paragraphs (each with its
// text, runs and formats by index) and the formats and pictures they use.
// Taking it costs a walk over the paragraphs and runs, far less than writing
// the document out; the document it makes again, on any thread, writes the
// same RTF as the original. Copies share their paragraphs, so that a snapshot
// kept up to date (SnapshotTracker) is handed over at the cost of a short list.
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

    // A table of the document's top level; its cells' paragraphs are paragraphs of the snapshot.
    struct Table
    {
        struct Cell
        {
            int row;
            int column;
            int rowSpan;
            int columnSpan;
            int paragraphs;
        };
        qsizetype firstParagraph; // of its first cell
        int format;               // index into m_formats
        int rows;
        int columns;
        QList<Cell> cells; // row by row, but those covered by a merged cell
    };

    // Paragraphs in chunks that copies share one by one: changing a paragraph
    // of a snapshot handed over copies its chunk, not every paragraph.
    using Chunk = QList<Paragraph>;
    static constexpr qsizetype ChunkSize = 256;

    qsizetype paragraphCount() const;
    // count empty paragraphs, to be taken, in place of every paragraph.
    void resetParagraphs(qsizetype count);
    // count empty paragraphs, to be taken, before paragraph index.
    void insertParagraphs(qsizetype index, qsizetype count);
    void removeParagraphs(qsizetype index, qsizetype count);
    // Takes the paragraphs marked in stale again from document, and clears
    // the marks; one mark for each paragraph.
    void retakeParagraphs(const QTextDocument &document, std::vector<bool> &stale);
    // The chunk holding paragraph index and the index within it; past the
    // end, the last chunk and its end.
    std::pair<qsizetype, qsizetype> locate(qsizetype index) const;
    // What the paragraphs refer to, and the tables they are in: on the thread that owns document.
    void takeFormats(const QTextDocument &document);
    void takeTables(const QTextDocument &document);
    // Where a paragraph goes: into a block of its own after the cursor's, or into the cursor's
    // block (the empty document's, the one after a table), or into a cell's first block,
    // whose mark holds the cell's format.
    enum class Into { NewBlock, CursorBlock, CellBlock };
    // Adds paragraph at cursor. lists: the lists made so far, by list number.
    void addParagraph(QTextCursor &cursor, const Paragraph &paragraph, Into into,
                      QHash<int, QTextList *> &lists) const;
    // Adds table behind cursor, its cells made of the paragraphs from next on (up to end);
    // returns the paragraph after them.
    const Paragraph *const *addTable(QTextCursor &cursor, const Table &table,
                                     const Paragraph *const *next, const Paragraph *const *end,
                                     QHash<int, QTextList *> &lists) const;

    QList<Chunk> m_chunks;
    QList<QTextFormat> m_formats;
    QList<Table> m_tables;
    QHash<QString, QVariant> m_images; // by name; QImage or the bytes, never a QPixmap
    QFont m_defaultFont;
};
