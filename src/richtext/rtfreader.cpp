#include "richtext/rtfreader.h"

#include "richtext/codepage.h"
#include "richtext/rtfparser.h"
#include "richtext/textformat.h"

#include <QAtomicInteger>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

namespace {

// Resource names of pictures stay unique across every document of the process.
QString newImageName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("rtfimage:%1").arg(++counter);
}

void readPlainText(const QByteArray &data, QTextCursor &cursor)
{
    QString text = CodePage::decodePlainText(data);
    // QTextCursor::insertText breaks paragraphs at CR LF, CR and LF alike; the line ends are
    // made plain only where a NUL is dropped, so that a CR and an LF it stood between stay two.
    if (text.contains(QChar(0))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(u'\r', u'\n');
        text.remove(QChar(0));
    }
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
}

// Puts parsed content into the document at the cursor.
class ContentInserter
{
public:
    ContentInserter(RtfContent &content, QTextCursor &cursor)
        : m_content(content)
        , m_cursor(cursor)
    {}

    void insert();

private:
    // Gives the cursor's block the paragraph's formats, or a new block after it begun by a mark
    // of the given format.
    void formatBlock(const RtfContent::Paragraph &paragraph, const QTextCharFormat *newMark);
    void insertRuns(const RtfContent::Paragraph &paragraph);
    void insertObject(const RtfContent::Run &run);

    RtfContent &m_content;
    QTextCursor &m_cursor;
    // Every item added to a QTextList touches all its items: a long run of
    // list paragraphs is cut into lists of this many, which look the same.
    static constexpr int MaxListItems = 100;

    QTextList *m_list = nullptr;
    int m_listStyle = 0;
    int m_listItems = 0;
};

void ContentInserter::insert()
{
    auto &paragraphs = m_content.paragraphs;
    // What follows the last paragraph mark is no paragraph of its own.
    if (paragraphs.size() > 1 && !paragraphs.back().terminated && paragraphs.back().runCount == 0)
        paragraphs.pop_back();
    // At the end of the document the last paragraph mark becomes the document's own.
    if (m_cursor.atEnd() && paragraphs.back().terminated)
        paragraphs.back().terminated = false;

    const QTextBlockFormat hostFormat = m_cursor.blockFormat();
    const bool tailEmpty = m_cursor.atBlockEnd();
    // A paragraph takes over the block it lands in unless that block keeps
    // text of its own before or after the insertion.
    const auto ownsBlock = [&](size_t i) {
        const bool whole = paragraphs[i].terminated || tailEmpty;
        return i == 0 ? m_cursor.atBlockStart() && whole : whole;
    };

    if (ownsBlock(0))
        formatBlock(paragraphs[0], nullptr);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        insertRuns(paragraphs[i]);
        if (!paragraphs[i].terminated)
            break;
        // The mark ending paragraph i is the separator that begins the next block.
        const QTextCharFormat &markFormat = m_content.charFormats[paragraphs[i].markFormat];
        if (i + 1 < paragraphs.size() && ownsBlock(i + 1)) {
            formatBlock(paragraphs[i + 1], &markFormat);
        } else {
            m_cursor.insertBlock(hostFormat, markFormat);
            m_list = nullptr;
        }
    }
}

void ContentInserter::formatBlock(const RtfContent::Paragraph &paragraph,
                                  const QTextCharFormat *newMark)
{
    const QTextBlockFormat &format = m_content.blockFormats[paragraph.blockFormat];
    if (newMark) {
        m_cursor.insertBlock(format, *newMark);
    } else {
        // The first block has no mark before it: its own mark gives the format typed into it.
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(m_content.charFormats[paragraph.markFormat]);
    }
    const int style = m_content.listStyles[paragraph.blockFormat];
    if (!style) {
        m_list = nullptr;
    } else if (m_list && m_listStyle == style && m_listItems < MaxListItems) {
        m_list->add(m_cursor.block());
        ++m_listItems;
    } else {
        QTextListFormat listFormat;
        listFormat.setStyle(QTextListFormat::Style(style));
        listFormat.setIndent(1);
        m_list = m_cursor.createList(listFormat);
        m_listStyle = style;
        m_listItems = 1;
    }
}

void ContentInserter::insertRuns(const RtfContent::Paragraph &paragraph)
{
    for (int r = paragraph.firstRun; r < paragraph.firstRun + paragraph.runCount; ++r) {
        const RtfContent::Run &run = m_content.runs[r];
        const QTextCharFormat &format = m_content.charFormats[run.charFormat];
        // The document copies the characters: no string of their own is needed.
        const QString text
            = QString::fromRawData(m_content.text.constData() + run.start, run.length);
        if (run.object >= 0) {
            insertObject(run);
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

void ContentInserter::insertObject(const RtfContent::Run &run)
{
    RtfContent::Object &object = m_content.objects[run.object];
    const QTextCharFormat &style = m_content.charFormats[run.charFormat];
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

RtfReader::Result RtfReader::read(const QByteArray &data, QTextCursor &cursor, int paragraphLimit)
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
    RtfParser::parse(data, &content, paragraphLimit);
    result.message = content.damage;
    result.cut = content.cut;
    if (!content.damagedPicture.isEmpty())
        result.pictureMessage = QStringLiteral("a picture is damaged and kept as it was (%1)")
                                    .arg(content.damagedPicture);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    ContentInserter(content, cursor).insert();
    cursor.endEditBlock();
    return result;
}
