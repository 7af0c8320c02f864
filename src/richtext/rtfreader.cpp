#include "richtext/rtfreader.h"

#include "platform/conditionwait.h"
#include "richtext/codepage.h"
#include "richtext/contenttext.h"
#include "richtext/rtfparser.h"
#include "richtext/rtftablelayout.h"
#include "richtext/textformat.h"

#include <QAtomicInteger>
#include <QMutex>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QThread>
#include <QUrl>
#include <QWaitCondition>

#include <algorithm>
#include <deque>
#include <memory>

namespace {

// Resource names of pictures stay unique across every document of the process.
QString newImageName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("rtfimage:%1").arg(++counter);
}

QString plainText(const QByteArray &data)
{
    QString text = CodePage::decodePlainText(data);
    // QTextCursor::insertText breaks paragraphs at CR LF, CR and LF alike; the line ends are
    // made plain only where a NUL is dropped, so that a CR and an LF it stood between stay two.
    if (text.contains(QChar(0))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(u'\r', u'\n');
        text.remove(QChar(0));
    }
    return text;
}

void readPlainText(const QByteArray &data, QTextCursor &cursor)
{
    cursor.beginEditBlock();
    cursor.insertText(plainText(data));
    cursor.endEditBlock();
}

// Whether the document breaks a paragraph or a line at c (QTextCursor::insertText
// also breaks at CR and LF).
bool breaksAt(QChar c)
{
    return c == u'\r' || c == u'\n' || TextFormat::isBreak(c);
}

// Puts parsed content into the document at the cursor, paragraph by paragraph as the content
// grows, or all of it at once.
class ContentInserter
{
public:
    explicit ContentInserter(QTextCursor &cursor)
        : m_cursor(cursor)
        , m_hostFormat(cursor.blockFormat())
        , m_tailEmpty(cursor.atBlockEnd())
    {}

    // Inserts the first count paragraphs of content and the marks that end them; content holds
    // at least one paragraph after them, and none of them is the document's last.
    void insertParagraphs(RtfContent &content, size_t count);
    // Inserts the paragraphs of content, which ends the document.
    void finish(RtfContent &content);

    const QTextBlockFormat &hostFormat() const { return m_hostFormat; }

private:
    bool ownsBlock(const RtfContent &content, size_t i) const;
    // Formats the block the first paragraph lands in, once.
    void begin(const RtfContent &content);
    // Inserts the first count paragraphs, and the marks that end them while the document goes on.
    void insert(RtfContent &content, size_t count);
    // Inserts paragraph i and the mark that ends it; false when the document ends with it.
    bool insertParagraph(RtfContent &content, size_t i);
    // Inserts the table beginning with paragraph first; returns the paragraph after it, which
    // goes into the block that follows the table.
    size_t insertTable(RtfContent &content, size_t first);
    static bool beginsTable(const RtfContent &content, size_t i)
    {
        return i < content.paragraphs.size()
               && content.paragraphs[i].inTable != RtfContent::InTable::No;
    }
    // Gives the cursor's block the paragraph's formats, or a new block after it begun by a mark
    // of the given format.
    void formatBlock(const RtfContent &content, const RtfContent::Paragraph &paragraph,
                     const QTextCharFormat *newMark);
    // Puts the cursor's block into the paragraph's list, if it has one.
    void joinList(const RtfContent &content, const RtfContent::Paragraph &paragraph);
    void insertRuns(RtfContent &content, const RtfContent::Paragraph &paragraph);
    void insertObject(RtfContent &content, const RtfContent::Run &run);

    QTextCursor &m_cursor;
    const QTextBlockFormat m_hostFormat;
    const bool m_tailEmpty;
    bool m_begun = false; // the first paragraph's block is formatted
    // Every item added to a QTextList touches all its items: a long run of
    // list paragraphs is cut into lists of this many, which look the same.
    static constexpr int MaxListItems = 100;

    QTextList *m_list = nullptr;
    QTextListFormat m_listFormat; // as read, of m_list and of the lists it was cut from
    int m_listItems = 0;
};

bool ContentInserter::ownsBlock(const RtfContent &content, size_t i) const
{
    const bool whole = content.paragraphs[i].terminated || m_tailEmpty;
    return i == 0 ? m_cursor.atBlockStart() && whole : whole;
}

void ContentInserter::insertParagraphs(RtfContent &content, size_t count)
{
    begin(content);
    insert(content, count);
}

void ContentInserter::insert(RtfContent &content, size_t count)
{
    for (size_t i = 0; i < count;) {
        if (beginsTable(content, i))
            i = insertTable(content, i);
        else if (insertParagraph(content, i))
            ++i;
        else
            break;
    }
}

void ContentInserter::finish(RtfContent &content)
{
    auto &paragraphs = content.paragraphs;
    // What follows the last paragraph mark is no paragraph of its own.
    if (paragraphs.size() > 1 && !paragraphs.back().terminated && paragraphs.back().runCount == 0)
        paragraphs.pop_back();
    // At the end of the document the last paragraph mark becomes the document's own.
    if (m_cursor.atEnd() && paragraphs.back().terminated)
        paragraphs.back().terminated = false;
    begin(content);
    insert(content, paragraphs.size());
}

void ContentInserter::begin(const RtfContent &content)
{
    if (m_begun)
        return;
    m_begun = true;
    // A table's first cell has a block of its own: the one before the table stays as it is.
    if (ownsBlock(content, 0) && !beginsTable(content, 0))
        formatBlock(content, content.paragraphs[0], nullptr);
}

bool ContentInserter::insertParagraph(RtfContent &content, size_t i)
{
    const auto &paragraphs = content.paragraphs;
    insertRuns(content, paragraphs[i]);
    if (!paragraphs[i].terminated)
        return false;
    // A table that follows begins a paragraph of its own.
    if (beginsTable(content, i + 1))
        return true;
    // The mark ending paragraph i is the separator that begins the next block.
    const QTextCharFormat &markFormat = content.charFormats[paragraphs[i].markFormat];
    if (i + 1 < paragraphs.size() && ownsBlock(content, i + 1)) {
        formatBlock(content, paragraphs[i + 1], &markFormat);
    } else {
        m_cursor.insertBlock(m_hostFormat, markFormat);
        m_list = nullptr;
    }
    return true;
}

void ContentInserter::formatBlock(const RtfContent &content, const RtfContent::Paragraph &paragraph,
                                  const QTextCharFormat *newMark)
{
    const QTextBlockFormat &format = content.blockFormats[paragraph.blockFormat];
    if (newMark) {
        m_cursor.insertBlock(format, *newMark);
    } else {
        // The first block has no mark before it: its own mark gives the format typed into it.
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(content.charFormats[paragraph.markFormat]);
    }
    joinList(content, paragraph);
}

size_t ContentInserter::insertTable(RtfContent &content, size_t first)
{
    const auto &paragraphs = content.paragraphs;
    const RtfTableLayout layout(content, first);
    QTextTable *table = m_cursor.insertTable(layout.rows(), layout.columns(), layout.format());
    for (const RtfTableLayout::Cell &cell : layout.cells()) {
        if (cell.merged || cell.first == cell.end)
            continue;
        m_list = nullptr;
        m_cursor.setPosition(table->cellAt(cell.row, cell.column).firstPosition());
        // The mark that begins a cell's first block holds the cell's own format.
        m_cursor.setBlockFormat(content.blockFormats[paragraphs[cell.first].blockFormat]);
        joinList(content, paragraphs[cell.first]);
        for (size_t i = cell.first; i < cell.end; ++i) {
            insertRuns(content, paragraphs[i]);
            if (i + 1 < cell.end)
                formatBlock(content, paragraphs[i + 1],
                            &content.charFormats[paragraphs[i].markFormat]);
        }
    }
    for (const RtfTableLayout::Cell &cell : layout.cells()) {
        if (!cell.merged && (cell.rowSpan > 1 || cell.columnSpan > 1))
            table->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    }
    m_list = nullptr;
    m_cursor.setPosition(table->lastPosition() + 1);
    if (layout.end() < paragraphs.size() && m_cursor.block().length() == 1)
        formatBlock(content, paragraphs[layout.end()], nullptr);
    return layout.end();
}

void ContentInserter::joinList(const RtfContent &content, const RtfContent::Paragraph &paragraph)
{
    const QTextListFormat &listFormat = content.listFormats[paragraph.blockFormat];
    const bool continues = m_list && m_listFormat == listFormat;
    if (!listFormat.style()) {
        m_list = nullptr;
    } else if (continues && m_listItems % MaxListItems != 0) {
        m_list->add(m_cursor.block());
        ++m_listItems;
    } else {
        // A list cut into pieces goes on counting where the piece before it ended.
        QTextListFormat piece = listFormat;
        const int start = listFormat.hasProperty(TextFormat::ListStart)
                              ? listFormat.intProperty(TextFormat::ListStart)
                              : 1;
        if (continues)
            piece.setProperty(TextFormat::ListStart, start + m_listItems);
        m_list = m_cursor.createList(piece);
        m_listFormat = listFormat;
        m_listItems = continues ? m_listItems + 1 : 1;
    }
}

void ContentInserter::insertRuns(RtfContent &content, const RtfContent::Paragraph &paragraph)
{
    for (int r = paragraph.firstRun; r < paragraph.firstRun + paragraph.runCount; ++r) {
        const RtfContent::Run &run = content.runs[r];
        const QTextCharFormat &format = content.charFormats[run.charFormat];
        // The document copies the characters: no string of their own is needed.
        const QString text = QString::fromRawData(content.text.constData() + run.start, run.length);
        if (run.object >= 0) {
            insertObject(content, run);
        } else if (format.objectType() == TextFormat::HiddenTextType) {
            QTextCharFormat hidden = format;
            // A copy of its own: copying the raw-data string would keep
            // pointing into the reader's buffer, freed when reading ends.
            hidden.setProperty(TextFormat::HiddenText, QString(text.constData(), text.size()));
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), hidden);
        } else {
            m_cursor.insertText(text, format);
        }
    }
}

void ContentInserter::insertObject(RtfContent &content, const RtfContent::Run &run)
{
    RtfContent::Object &object = content.objects[run.object];
    const QTextCharFormat &style = content.charFormats[run.charFormat];
    if (!object.image.isNull()) {
        const QString name = newImageName();
        m_cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), object.image);
        QTextImageFormat format;
        format.merge(style);
        format.setObjectType(QTextFormat::ImageObject);
        format.setName(name);
        if (!object.encoded.isEmpty())
            format.setProperty(TextFormat::PictureData, object.encoded);
        if (!object.size.isEmpty()) {
            format.setWidth(object.size.width());
            format.setHeight(object.size.height());
        }
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
        return;
    }
    QTextCharFormat format = style;
    format.setObjectType(TextFormat::ForeignObjectType);
    format.setProperty(TextFormat::RawRtfObject, object.raw);
    if (!object.preview.isNull())
        format.setProperty(TextFormat::ObjectPreview, object.preview);
    if (!object.size.isEmpty())
        format.setProperty(TextFormat::ObjectSize, object.size);
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

} // namespace

namespace {

// Batches of parsed content on their way from the parsing thread to the one building the document.
class BatchQueue
{
public:
    void push(RtfContent &&batch)
    {
        const QMutexLocker lock(&m_mutex);
        m_batches.push_back(std::move(batch));
        m_changed.wakeOne();
    }

    void close()
    {
        const QMutexLocker lock(&m_mutex);
        m_closed = true;
        m_changed.wakeOne();
    }

    // Waits for the next batch; false once the queue is closed and empty.
    bool pop(RtfContent *batch)
    {
        QMutexLocker lock(&m_mutex);
        while (m_batches.empty() && !m_closed)
            conditionWait(m_changed, m_mutex);
        if (m_batches.empty())
            return false;
        *batch = std::move(m_batches.front());
        m_batches.pop_front();
        return true;
    }

private:
    QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<RtfContent> m_batches;
    bool m_closed = false;
};

// Makes current hold the batch's text, runs and paragraphs, and the formats and objects of all
// batches so far.
void takeBatch(RtfContent &current, RtfContent &&batch)
{
    const auto append = [](auto &to, auto &from) {
        to.insert(to.end(), std::make_move_iterator(from.begin()),
                  std::make_move_iterator(from.end()));
    };
    current.text = std::move(batch.text);
    current.runs = std::move(batch.runs);
    current.paragraphs = std::move(batch.paragraphs);
    append(current.charFormats, batch.charFormats);
    append(current.blockFormats, batch.blockFormats);
    append(current.listFormats, batch.listFormats);
    append(current.objects, batch.objects);
    append(current.rows, batch.rows);
}

// Whether the formats handed over while parsing are those the whole document gives.
bool sameFormats(const RtfContent &early, const RtfContent &final)
{
    return std::equal(early.charFormats.begin(), early.charFormats.end(), final.charFormats.begin())
           && std::equal(early.blockFormats.begin(), early.blockFormats.end(),
                         final.blockFormats.begin())
           && std::equal(early.listFormats.begin(), early.listFormats.end(),
                         final.listFormats.begin());
}

// Parses on a second thread while the calling one builds the document from the paragraphs
// parsed so far. The document is empty: should a late part of the data change a format already
// used, it is emptied and built again.
void parseAndInsertAlongside(const QByteArray &data, RtfContent &content, QTextCursor &cursor)
{
    const QTextCharFormat hostCharFormat = cursor.blockCharFormat();
    BatchQueue queue;
    const std::unique_ptr<QThread> parser(QThread::create([&] {
        RtfParser::parse(data, &content, [&](RtfContent &&batch) { queue.push(std::move(batch)); });
        queue.close();
    }));
    parser->start();
    ContentInserter inserter(cursor);
    RtfContent current;
    for (RtfContent batch; queue.pop(&batch);) {
        takeBatch(current, std::move(batch));
        inserter.insertParagraphs(current, current.paragraphs.size() - 1);
    }
    parser->wait();
    if (sameFormats(current, content)) {
        inserter.finish(content);
        return;
    }
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    if (QTextList *list = cursor.currentList())
        list->remove(cursor.block());
    cursor.setBlockFormat(inserter.hostFormat());
    cursor.setBlockCharFormat(hostCharFormat);
    content = RtfContent();
    RtfParser::parse(data, &content);
    ContentInserter(cursor).finish(content);
}

} // namespace

RtfReader::Opening RtfReader::readOpening(const QByteArray &data, int paragraphs)
{
    Opening opening;
    if (!data.startsWith("{\\rtf")) {
        opening.text = plainText(data);
    } else {
        RtfContent content;
        RtfParser::parse(data, &content, paragraphs, RtfParser::Objects::Placeholders);
        opening.cut = content.cut;
        NoteText note;
        NoteTextBuilder builder(note);
        ContentText(builder, {}).finish(content);
        opening.text = std::move(note.text);
    }
    std::replace_if(opening.text.begin(), opening.text.end(), breaksAt, u'\r');
    return opening;
}

QString RtfReader::readText(const QByteArray &data, TextSink &sink,
                            const NoteText::FormatFilter &leaveOut)
{
    if (!data.startsWith("{\\rtf")) {
        ContentText::insert(sink, plainText(data));
        return {};
    }
    RtfContent content;
    RtfParser::parse(data, &content, 0, RtfParser::Objects::Placeholders);
    ContentText(sink, leaveOut).finish(content);
    return content.damage;
}

NoteText RtfReader::readText(const QByteArray &data, const NoteText::FormatFilter &leaveOut)
{
    NoteText note;
    NoteTextBuilder builder(note);
    note.damage = readText(data, builder, leaveOut);
    return note;
}

RtfReader::Result RtfReader::read(const QByteArray &data, QTextCursor &cursor, int paragraphLimit,
                                  Threads threads)
{
    Result result;
    if (cursor.isNull()) {
        result.message = QStringLiteral("There is no document to read into.");
        return result;
    }
    result.read = true;
    if (!data.startsWith("{\\rtf")) {
        readPlainText(data, cursor);
        return result;
    }
    RtfContent content;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (threads == Threads::UpToTwo && paragraphLimit <= 0 && data.size() >= StreamingSize
        && cursor.document()->isEmpty() && !cursor.currentList()) {
        parseAndInsertAlongside(data, content, cursor);
    } else {
        RtfParser::parse(data, &content, paragraphLimit);
        ContentInserter(cursor).finish(content);
    }
    cursor.endEditBlock();
    result.message = content.damage;
    if (!content.damagedPicture.isEmpty())
        result.pictureMessage = QStringLiteral("a picture is damaged and kept as it was (%1)")
                                    .arg(content.damagedPicture);
    return result;
}
