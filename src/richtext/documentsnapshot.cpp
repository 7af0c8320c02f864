#include "richtext/documentsnapshot.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

DocumentSnapshot DocumentSnapshot::take(const QTextDocument &document)
{
    DocumentSnapshot snapshot;
    snapshot.m_paragraphs.reserve(document.blockCount());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        snapshot.m_paragraphs.append(Paragraph::of(block));
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

void DocumentSnapshot::takeFormats(const QTextDocument &document)
{
    // A document's formats are only ever added to, so an index a paragraph
    // was taken with means the same format in a later list.
    m_formats = document.allFormats();
    m_defaultFont = document.defaultFont();
    m_images.clear();
    for (const QTextFormat &format : std::as_const(m_formats)) {
        if (!format.isImageFormat())
            continue;
        const QString name = format.toImageFormat().name();
        if (!m_images.contains(name))
            m_images.insert(name, document.resource(QTextDocument::ImageResource, QUrl(name)));
    }
}

std::unique_ptr<QTextDocument> DocumentSnapshot::toDocument() const
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(m_defaultFont);
    for (auto image = m_images.cbegin(); image != m_images.cend(); ++image)
        document->addResource(QTextDocument::ImageResource, QUrl(image.key()), image.value());

    QTextCursor cursor(document.get());
    QHash<int, QTextList *> lists;
    for (qsizetype i = 0; i < m_paragraphs.size(); ++i) {
        const Paragraph &paragraph = m_paragraphs.at(i);
        QTextBlockFormat blockFormat = m_formats.value(paragraph.blockFormat).toBlockFormat();
        // The list the original's format points to is made anew below.
        blockFormat.clearProperty(QTextFormat::ObjectIndex);
        const QTextCharFormat markFormat = m_formats.value(paragraph.charFormat).toCharFormat();
        if (i == 0) {
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(markFormat);
        } else {
            cursor.insertBlock(blockFormat, markFormat);
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
    return document;
}
