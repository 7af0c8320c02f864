#include "richtext/documentsnapshot.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

DocumentSnapshot DocumentSnapshot::take(const QTextDocument &document)
{
    DocumentSnapshot snapshot;
    snapshot.m_formats = document.allFormats();
    snapshot.m_defaultFont = document.defaultFont();
    snapshot.m_paragraphs.reserve(document.blockCount());
    snapshot.m_text.reserve(document.characterCount());
    QHash<const QTextList *, int> listNumbers;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        Paragraph paragraph{block.blockFormatIndex(), block.charFormatIndex()};
        if (const QTextList *list = block.textList()) {
            paragraph.list = list->formatIndex();
            auto number = listNumbers.constFind(list);
            if (number == listNumbers.cend())
                number = listNumbers.insert(list, int(listNumbers.size()));
            paragraph.listNumber = number.value();
        }
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            snapshot.m_runs.append({fragment.length(), fragment.charFormatIndex()});
            ++paragraph.runCount;
        }
        snapshot.m_paragraphs.append(paragraph);
    }
    // One copy of the text, cut into runs in order.
    snapshot.m_text = document.toRawText();
    snapshot.m_text.remove(QChar::ParagraphSeparator);
    for (const QTextFormat &format : std::as_const(snapshot.m_formats)) {
        if (!format.isImageFormat())
            continue;
        const QString name = format.toImageFormat().name();
        if (!snapshot.m_images.contains(name))
            snapshot.m_images.insert(name,
                                     document.resource(QTextDocument::ImageResource, QUrl(name)));
    }
    return snapshot;
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
    qsizetype run = 0;
    qsizetype position = 0;
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
        for (int r = 0; r < paragraph.runCount; ++r, ++run) {
            const Run &piece = m_runs.at(run);
            cursor.insertText(m_text.mid(position, piece.length),
                              m_formats.value(piece.format).toCharFormat());
            position += piece.length;
        }
    }
    return document;
}
