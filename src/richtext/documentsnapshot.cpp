#include "richtext/documentsnapshot.h"

#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

DocumentSnapshot DocumentSnapshot::take(const QTextDocument &document)
{
    DocumentSnapshot snapshot;
    snapshot.m_chunks.reserve(document.blockCount() / ChunkSize + 1);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (snapshot.m_chunks.isEmpty() || snapshot.m_chunks.constLast().size() == ChunkSize)
            snapshot.m_chunks.append(Chunk());
        snapshot.m_chunks.last().append(Paragraph::of(block));
    }
    snapshot.takeFormats(document);
    return snapshot;
}

DocumentSnapshot::Paragraph DocumentSnapshot::Paragraph::of(const QTextBlock &block)
{
    Paragraph paragraph;
    paragraph.blockFormat = block.blockFormatIndex();
    paragraph.charFormat = block.charFormatIndex();
    if (const QTextList *list = block.textList()) {
        paragraph.list = list->formatIndex();
        // Stays the list's own while it lives, however the paragraphs
        // before it change.
        paragraph.listNumber = list->objectIndex();
    }
    paragraph.text = block.text();
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        paragraph.runs.append({fragment.length(), fragment.charFormatIndex()});
    }
    return paragraph;
}

qsizetype DocumentSnapshot::paragraphCount() const
{
    qsizetype count = 0;
    for (const Chunk &chunk : m_chunks)
        count += chunk.size();
    return count;
}

void DocumentSnapshot::resetParagraphs(qsizetype count)
{
    m_chunks.clear();
    for (qsizetype done = 0; done < count; done += ChunkSize)
        m_chunks.append(Chunk(std::min(ChunkSize, count - done)));
}

std::pair<qsizetype, qsizetype> DocumentSnapshot::locate(qsizetype index) const
{
    qsizetype chunk = 0;
    for (; chunk + 1 < m_chunks.size() && index >= m_chunks.at(chunk).size(); ++chunk)
        index -= m_chunks.at(chunk).size();
    return {chunk, index};
}

void DocumentSnapshot::insertParagraphs(qsizetype index, qsizetype count)
{
    if (m_chunks.isEmpty())
        m_chunks.append(Chunk());
    const auto [chunk, offset] = locate(index);
    m_chunks[chunk].insert(offset, count, Paragraph());
    if (m_chunks.at(chunk).size() <= 2 * ChunkSize)
        return;
    const Chunk grown = m_chunks.takeAt(chunk);
    for (qsizetype done = 0, at = chunk; done < grown.size(); done += ChunkSize, ++at)
        m_chunks.insert(at, grown.mid(done, ChunkSize));
}

void DocumentSnapshot::removeParagraphs(qsizetype index, qsizetype count)
{
    auto [chunk, offset] = locate(index);
    while (count > 0 && chunk < m_chunks.size()) {
        const qsizetype removed = std::min(count, m_chunks.at(chunk).size() - offset);
        m_chunks[chunk].remove(offset, removed);
        count -= removed;
        if (m_chunks.at(chunk).isEmpty())
            m_chunks.removeAt(chunk);
        else
            ++chunk;
        offset = 0;
    }
}

void DocumentSnapshot::retakeParagraphs(const QTextDocument &document, std::vector<bool> &stale)
{
    qsizetype start = 0;
    for (qsizetype c = 0; c < m_chunks.size(); ++c) {
        const qsizetype size = m_chunks.at(c).size();
        const auto first = stale.begin() + start;
        const auto marked = std::find(first, first + size, true);
        if (marked != first + size) {
            // Only a chunk with a changed paragraph is copied from the
            // snapshots that share it.
            Chunk &chunk = m_chunks[c];
            QTextBlock block = document.findBlockByNumber(int(marked - stale.begin()));
            for (qsizetype i = marked - first; i < size; ++i, block = block.next()) {
                if (stale[start + i]) {
                    chunk[i] = Paragraph::of(block);
                    stale[start + i] = false;
                }
            }
        }
        start += size;
    }
}

void DocumentSnapshot::takeFormats(const QTextDocument &document)
{
    // A document's formats are only ever added to, so an index a paragraph
    // was taken with means the same format in a later list.
    m_formats = document.allFormats();
    takeTables(document);
    m_defaultFont = document.defaultFont();
    m_images.clear();
    for (const QTextFormat &format : std::as_const(m_formats)) {
        if (!format.isImageFormat())
            continue;
        const QString name = format.toImageFormat().name();
        if (m_images.contains(name))
            continue;
        QVariant image = document.resource(QTextDocument::ImageResource, QUrl(name));
        // A picture the editor has drawn is held as a QPixmap, which only the
        // interface thread may touch; the snapshot is written on another.
        if (image.typeId() == QMetaType::QPixmap)
            image = image.value<QPixmap>().toImage();
        m_images.insert(name, image);
    }
}

void DocumentSnapshot::takeTables(const QTextDocument &document)
{
    m_tables.clear();
    const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
    for (const QTextFrame *frame : frames) {
        const auto *table = qobject_cast<const QTextTable *>(frame);
        if (!table)
            continue;
        Table taken{document.findBlock(table->firstPosition()).blockNumber(),
                    table->formatIndex(),
                    table->rows(),
                    table->columns(),
                    {}};
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column)
                    continue;
                const int paragraphs = document.findBlock(cell.lastPosition()).blockNumber()
                                       - document.findBlock(cell.firstPosition()).blockNumber() + 1;
                taken.cells.append({row, column, cell.rowSpan(), cell.columnSpan(), paragraphs});
            }
        }
        m_tables.append(taken);
    }
}

std::unique_ptr<QTextDocument> DocumentSnapshot::toDocument() const
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(m_defaultFont);
    for (auto image = m_images.cbegin(); image != m_images.cend(); ++image)
        document->addResource(QTextDocument::ImageResource, QUrl(image.key()), image.value());

    std::vector<const Paragraph *> paragraphs;
    paragraphs.reserve(size_t(paragraphCount()));
    for (const Chunk &chunk : m_chunks) {
        for (const Paragraph &paragraph : chunk)
            paragraphs.push_back(&paragraph);
    }
    QTextCursor cursor(document.get());
    QHash<int, QTextList *> lists;
    auto table = m_tables.cbegin();
    Into into = Into::CursorBlock;
    const Paragraph *const *next = paragraphs.data();
    const Paragraph *const *const end = next + paragraphs.size();
    while (next < end) {
        if (table != m_tables.cend() && next - paragraphs.data() == table->firstParagraph) {
            next = addTable(cursor, *table++, next, end, lists);
            into = Into::CursorBlock;
            continue;
        }
        addParagraph(cursor, **next++, into, lists);
        into = Into::NewBlock;
    }
    return document;
}

const DocumentSnapshot::Paragraph *const *
DocumentSnapshot::addTable(QTextCursor &cursor, const Table &table, const Paragraph *const *next,
                           const Paragraph *const *end, QHash<int, QTextList *> &lists) const
{
    QTextTable *made = cursor.insertTable(table.rows, table.columns,
                                          m_formats.value(table.format).toTableFormat());
    for (const Table::Cell &cell : table.cells) {
        if (cell.rowSpan > 1 || cell.columnSpan > 1)
            made->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    }
    for (const Table::Cell &cell : table.cells) {
        cursor.setPosition(made->cellAt(cell.row, cell.column).firstPosition());
        for (int i = 0; i < cell.paragraphs && next < end; ++i)
            addParagraph(cursor, **next++, i == 0 ? Into::CellBlock : Into::NewBlock, lists);
    }
    cursor.setPosition(made->lastPosition() + 1);
    return next;
}

void DocumentSnapshot::addParagraph(QTextCursor &cursor, const Paragraph &paragraph, Into into,
                                    QHash<int, QTextList *> &lists) const
{
    QTextBlockFormat blockFormat = m_formats.value(paragraph.blockFormat).toBlockFormat();
    // The list the original's format points to is made anew below.
    blockFormat.clearProperty(QTextFormat::ObjectIndex);
    const QTextCharFormat markFormat = m_formats.value(paragraph.charFormat).toCharFormat();
    switch (into) {
    case Into::CursorBlock:
        cursor.setBlockFormat(blockFormat);
        cursor.setBlockCharFormat(markFormat);
        break;
    case Into::CellBlock:
        cursor.setBlockFormat(blockFormat);
        break;
    case Into::NewBlock:
        cursor.insertBlock(blockFormat, markFormat);
        break;
    }
    if (paragraph.list >= 0) {
        QTextList *&list = lists[paragraph.listNumber];
        if (list)
            list->add(cursor.block());
        else
            list = cursor.createList(m_formats.value(paragraph.list).toListFormat());
    }
    qsizetype position = 0;
    for (const Run &run : paragraph.runs) {
        cursor.insertText(paragraph.text.mid(position, run.length),
                          m_formats.value(run.format).toCharFormat());
        position += run.length;
    }
}
