#include "richtext/richdocument.h"

#include "richtext/notetext.h"

#include "richtext/textformat.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPalette>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// CR LF, CR and LF each become one paragraph break for QTextCursor::insertText.
QString paragraphsOf(const QString &text)
{
    if (!text.contains(u'\r'))
        return text;
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

// A format for text: the object properties of a picture next to the insertion
// point must not spread to the characters typed after it.
QTextCharFormat textFormatOf(QTextCharFormat format)
{
    if (format.objectType() != QTextFormat::NoObject || format.isImageFormat()) {
        for (int property : {int(QTextFormat::ObjectType), int(QTextFormat::ImageName),
                             int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight),
                             int(QTextFormat::ImageQuality), int(TextFormat::RawRtfObject),
                             int(TextFormat::ObjectPreview), int(TextFormat::ObjectSize),
                             int(TextFormat::PictureFixedSize)})
            format.clearProperty(property);
    }
    return format;
}

// Copies the content of source's range to the start of target's empty document.
// An empty range copies nothing, yet the one paragraph of an empty document
// holds formats (the font of the first text typed, a bullet), which
// QTextDocument::clone() also keeps.
void insertContent(const QTextCursor &range, QTextCursor target)
{
    if (range.hasSelection()) {
        target.insertFragment(QTextDocumentFragment(range));
        return;
    }
    // A list is an object of its own document: the copy makes its own.
    QTextBlockFormat paragraph = range.blockFormat();
    paragraph.setObjectIndex(-1);
    target.setBlockFormat(paragraph);
    target.setBlockCharFormat(range.blockCharFormat());
    if (const QTextList *list = range.currentList())
        target.createList(list->format());
}

// Pictures live in a document's resources, which copying its content leaves
// behind.
void copyPictures(const QTextDocument &source, QTextDocument &target)
{
    for (QTextBlock block = target.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            target.addResource(QTextDocument::ImageResource, name,
                               source.resource(QTextDocument::ImageResource, name));
        }
    }
}

// A copy of the paragraphs of document up to the one holding position end,
// with the document's settings, as QTextDocument::clone() makes of them all.
std::unique_ptr<QTextDocument> beginningOf(const QTextDocument &document, int end)
{
    const QTextBlock last = document.findBlock(end);
    // The cursor only reads the document.
    QTextCursor range(const_cast<QTextDocument *>(&document));
    range.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);

    auto copy = std::make_unique<QTextDocument>();
    copy->setDefaultFont(document.defaultFont());
    copy->setDefaultTextOption(document.defaultTextOption());
    copy->setIndentWidth(document.indentWidth());
    copy->rootFrame()->setFrameFormat(document.rootFrame()->frameFormat());
    insertContent(range, QTextCursor(copy.get()));
    copyPictures(document, *copy);
    return copy;
}

// The height of the document's beginning laid out width pixels wide on
// surface: the whole document's where that is less than limit, else at least
// limit.
qreal heightUpTo(const QTextDocument &document, qreal width, QPaintDevice *surface, qreal limit)
{
    // A screen of text at a note's width holds fewer characters than the
    // first portion; each further portion is four times as long, so that a
    // document a little taller than a screen is not laid out again and again.
    const int end = document.characterCount() - 1;
    for (int portion = 4096;; portion *= 4) {
        const std::unique_ptr<QTextDocument> copy = beginningOf(document, qMin(portion, end));
        copy->setDocumentMargin(0);
        if (surface)
            copy->documentLayout()->setPaintDevice(surface);
        copy->setTextWidth(width);
        const qreal height = copy->documentLayout()->documentSize().height();
        if (portion >= end || height >= limit)
            return height;
    }
}

} // namespace

RichDocument::RichDocument()
    : m_ownDocument(std::make_unique<QTextDocument>())
    , m_document(m_ownDocument.get())
    , m_cursor(m_document)
    , m_selAttributes(*this, TJvTextAttributes::Kind::Selection)
    , m_defAttributes(*this, TJvTextAttributes::Kind::Default)
    , m_paragraph(*this)
    , m_lines(*this)
{
    configure();
}

RichDocument::RichDocument(QTextDocument *document)
    : m_document(document)
    , m_cursor(m_document)
    , m_selAttributes(*this, TJvTextAttributes::Kind::Selection)
    , m_defAttributes(*this, TJvTextAttributes::Kind::Default)
    , m_paragraph(*this)
    , m_lines(*this)
{
    configure();
}

RichDocument::~RichDocument() = default;

void RichDocument::configure()
{
    m_document->setUndoRedoEnabled(true);
    m_color = standardColor();
    QTextCharFormat standard;
    TJvTextAttributes::applyFont(standard, TextFont::standard());
    setDefaultFormat(standard);
}

QColor RichDocument::standardColor()
{
    return QGuiApplication::palette().color(QPalette::ToolTipBase);
}

QString RichDocument::Text() const
{
    return NoteText::withCrLf(NoteText::textOf(*m_document));
}

void RichDocument::setText(const QString &text)
{
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    // Text arrives as plain text: no paragraph or character formatting survives.
    if (QTextList *list = cursor.currentList())
        list->remove(cursor.block());
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(m_defaultFormat);
    cursor.insertText(paragraphsOf(text), m_defaultFormat);
    cursor.endEditBlock();
    cursor.setPosition(0);
    applyCursor(cursor);
}

int RichDocument::SelStart() const
{
    return currentCursor().selectionStart();
}

void RichDocument::setSelStart(int position)
{
    QTextCursor cursor = currentCursor();
    cursor.setPosition(qBound(0, position, endPosition()));
    applyCursor(cursor);
}

int RichDocument::SelLength() const
{
    const QTextCursor cursor = currentCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichDocument::setSelLength(int length)
{
    QTextCursor cursor = currentCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(qBound(0, start + length, endPosition()), QTextCursor::KeepAnchor);
    applyCursor(cursor);
}

QString RichDocument::SelText() const
{
    QString text = currentCursor().selectedText();
    for (QChar &c : text) {
        if (TextFormat::isBreak(c))
            c = QLatin1Char('\r');
    }
    return text;
}

void RichDocument::setSelText(const QString &text)
{
    QTextCursor cursor = currentCursor();
    const QTextCharFormat format = insertionFormat();
    cursor.beginEditBlock();
    if (text.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(paragraphsOf(text), format);
    cursor.endEditBlock();
    cursor.clearSelection();
    applyCursor(cursor);
}

QByteArray RichDocument::toRtf() const
{
    return m_lines.save(false, false);
}

bool RichDocument::setRtf(const QByteArray &data, QString *error)
{
    return m_lines.load(data, false, false, error);
}

void RichDocument::setContent(const RichDocument &source)
{
    QTextCursor content(source.m_document);
    content.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    // The insertion would carry a caret at the start to the end, and an
    // editor moving it back would lay out the whole document to repaint the
    // caret's old place: the document has none while it is filled.
    applyCursor(QTextCursor());
    // Nothing of the old document, nor the copying, is to be undone.
    m_document->setUndoRedoEnabled(false);
    // Emptied and filled in one step, the document is new as a whole, which
    // an editor lays out lazily: what it shows at once, the rest when idle.
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    m_document->clear();
    insertContent(content, cursor);
    copyPictures(*source.m_document, *m_document);
    cursor.endEditBlock();
    m_document->setUndoRedoEnabled(m_undoLimit > 0);
    m_document->setModified(false);
    cursor.setPosition(0);
    applyCursor(cursor);
}

void RichDocument::InsertFormatText(int index, const QString &text, const TextFont &font)
{
    if (text.isEmpty())
        return;
    const QTextCursor selection = currentCursor();
    const int start = selection.selectionStart();
    const int length = selection.selectionEnd() - start;

    QTextCursor insertion(m_document);
    insertion.setPosition(index < 0 ? start : qBound(0, index, endPosition()));
    insertion.insertText(insertedText(text), insertedFormat(insertion, font));

    // The selection goes back to the numbers it had, not to the text it covered.
    QTextCursor restored = currentCursor();
    restored.setPosition(qMin(start, endPosition()));
    restored.setPosition(qMin(start + length, endPosition()), QTextCursor::KeepAnchor);
    applyCursor(restored);
}

QString RichDocument::insertedText(const QString &text)
{
    return paragraphsOf(text);
}

QTextCharFormat RichDocument::insertedFormat(const QTextCursor &at, const TextFont &font)
{
    QTextCharFormat format = textFormatOf(at.charFormat());
    TJvTextAttributes::applyFont(format, font);
    return format;
}

void RichDocument::InsertGraphic(const QImage &graphic, bool sizeable)
{
    const QString name = QStringLiteral("qelnotes-picture:%1").arg(graphic.cacheKey());
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), graphic);

    QTextImageFormat format;
    format.merge(insertionFormat());
    format.setObjectType(QTextFormat::ImageObject);
    format.setName(name);
    format.setWidth(graphic.width());
    format.setHeight(graphic.height());
    if (!sizeable)
        format.setProperty(TextFormat::PictureFixedSize, true);

    QTextCursor cursor = currentCursor();
    cursor.insertImage(format);
    const int end = cursor.position();
    cursor.setPosition(end - 1);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    applyCursor(cursor);
}

TSelectionTypes RichDocument::SelectionType() const
{
    const QString text = currentCursor().selectedText();
    const qsizetype objects = text.count(QChar::ObjectReplacementCharacter);
    TSelectionTypes types;
    if (text.size() > objects)
        types |= TSelectionType::stText;
    if (objects > 0)
        types |= TSelectionType::stObject;
    if (text.size() > 1)
        types |= TSelectionType::stMultiChar;
    if (objects > 1)
        types |= TSelectionType::stMultiObject;
    return types;
}

bool RichDocument::Modified() const
{
    return m_document->isModified();
}

void RichDocument::setModified(bool modified)
{
    m_document->setModified(modified);
}

void RichDocument::setColor(const QColor &color)
{
    m_color = color;
    colorChanged();
}

TextFont RichDocument::Font() const
{
    return m_defAttributes.toFont();
}

void RichDocument::setFont(const TextFont &font)
{
    m_defAttributes.Assign(font);
}

void RichDocument::setUndoLimit(int limit)
{
    m_undoLimit = qMax(0, limit);
    // QTextDocument keeps every step while undo is on; a limit of 0 turns it off.
    m_document->setUndoRedoEnabled(m_undoLimit > 0);
}

int RichDocument::MeasureTextHeight(int width, QPaintDevice *surface) const
{
    const int dpiX = surface ? surface->logicalDpiX() : 96;
    const int dpiY = surface ? surface->logicalDpiY() : 96;
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 0;

    // The layout rectangle in twips, as a printer-independent layout would take it.
    const int rightTwips = width * 1440 / dpiX;
    const int bottomLimitTwips = screenHeight * 1440 / dpiY;

    // Paragraphs below the screen cannot change the result.
    const qreal height
        = heightUpTo(*m_document, qreal(rightTwips) * dpiX / 1440, surface, screenHeight);
    const int bottomTwips = qMin(int(std::ceil(height)) * 1440 / dpiY, bottomLimitTwips);
    return dpiY * bottomTwips / 1440 + 10;
}

QTextCursor RichDocument::currentCursor() const
{
    return m_cursor;
}

void RichDocument::applyCursor(const QTextCursor &cursor)
{
    m_cursor = cursor;
}

QTextCharFormat RichDocument::insertionFormat() const
{
    const QTextCursor cursor = currentCursor();
    if (!cursor.hasSelection())
        return textFormatOf(cursor.charFormat());
    return textFormatOf(formatAt(cursor.selectionStart()));
}

QTextCharFormat RichDocument::formatAt(int position) const
{
    const QTextBlock block = m_document->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat();
    }
    return block.charFormat();
}

int RichDocument::endPosition() const
{
    return m_document->characterCount() - 1;
}

void RichDocument::setDefaultFormat(const QTextCharFormat &format)
{
    m_defaultFormat = format;
    m_document->setDefaultFont(format.font());
    if (m_document->isEmpty()) {
        // The first text typed into an empty document takes the defaults
        // explicitly, so that it keeps them when it is saved and read again.
        // This is no change of the content: nothing to undo, not modified.
        const bool modified = m_document->isModified();
        const bool undoable = m_document->isUndoAvailable();
        QTextCursor(m_document).setBlockCharFormat(format);
        if (!undoable)
            m_document->clearUndoRedoStacks(QTextDocument::UndoStack);
        m_document->setModified(modified);
    }
    defaultAttributesChanged();
}
