#include "cli/exportcontent.h"

#include "cli/markdownwriter.h"
#include "cli/notefile.h"

#include "richtext/listlabel.h"
#include "richtext/richdocument.h"
#include "richtext/textformat.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <functional>

namespace {

// Calls change for every text fragment of document, last first, so that a
// change of length leaves the fragments still to come where they were.
void forEachFragment(QTextDocument &document,
                     const std::function<void(QTextCursor &, const QTextFragment &)> &change)
{
    QList<QTextFragment> fragments;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            fragments.append(it.fragment());
    }
    QTextCursor cursor(&document);
    for (auto it = fragments.crbegin(); it != fragments.crend(); ++it) {
        cursor.setPosition(it->position());
        cursor.setPosition(it->position() + it->length(), QTextCursor::KeepAnchor);
        change(cursor, *it);
    }
}

// Gives every picture of document a data URL as its name, so that the written
// file carries its pictures in itself.
void inlinePictures(QTextDocument &document)
{
    forEachFragment(document, [&document](QTextCursor &cursor, const QTextFragment &fragment) {
        QTextImageFormat format = fragment.charFormat().toImageFormat();
        if (!format.isValid() || format.name().startsWith(QLatin1String("data:")))
            return;
        const QImage image
            = document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
        if (image.isNull())
            return;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QString url
            = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
        document.addResource(QTextDocument::ImageResource, QUrl(url), image);
        format.setName(url);
        cursor.setCharFormat(format);
    });
}

// What a picture or object the note keeps only as RTF (a metafile, an embedded object) looks like
// in an export: the rendering it carries, else a framed box of its size.
QImage placeholderOf(const QTextCharFormat &format)
{
    const QImage preview = format.property(TextFormat::ObjectPreview).value<QImage>();
    if (!preview.isNull())
        return preview;
    QSize size = format.property(TextFormat::ObjectSize).toSizeF().toSize();
    if (size.isEmpty())
        size = QSize(32, 32);
    size = size.boundedTo(QSize(2000, 2000));
    QImage box(size, QImage::Format_RGB32);
    box.fill(Qt::white);
    QPainter painter(&box);
    painter.setPen(Qt::gray);
    painter.drawRect(box.rect().adjusted(0, 0, -1, -1));
    painter.drawLine(box.rect().topLeft(), box.rect().bottomRight());
    painter.drawLine(box.rect().bottomLeft(), box.rect().topRight());
    return box;
}

// Puts a picture in place of every object kept only as RTF; returns how many there were.
int replaceForeignObjects(QTextDocument &document)
{
    int count = 0;
    forEachFragment(document, [&](QTextCursor &cursor, const QTextFragment &fragment) {
        const QTextCharFormat format = fragment.charFormat();
        if (format.objectType() != TextFormat::ForeignObjectType)
            return;
        const QImage image = placeholderOf(format);
        const QString name = QStringLiteral("placeholder:%1").arg(++count);
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat picture;
        picture.setName(name);
        const QSizeF size = format.property(TextFormat::ObjectSize).toSizeF();
        picture.setWidth(size.isEmpty() ? image.width() : size.width());
        picture.setHeight(size.isEmpty() ? image.height() : size.height());
        QString pictures;
        pictures.fill(QChar::ObjectReplacementCharacter, fragment.length());
        cursor.insertText(pictures, picture);
        count += fragment.length() - 1;
    });
    return count;
}

// Qt writes the item's own style and its paragraph's as two style attributes of <li>, and
// browsers keep only the first; one attribute holds both.
QString joinListItemStyles(QString html)
{
    static const QRegularExpression twice(
        QStringLiteral("<li style=\"([^\"]*)\" style=\"([^\"]*)\""));
    return html.replace(twice, QStringLiteral("<li style=\"\\1\\2\""));
}

// Qt writes no first number for a list: a list counting from another than 1 gets the start
// attribute on the <ol> that Qt opens at the list's first item.
QString addListStarts(const QTextDocument &document, QString html)
{
    QList<const QTextList *> lists;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        if (list && list->itemNumber(block) == 0)
            lists.append(list);
    }
    static const QRegularExpression opening(QStringLiteral("<[ou]l\\b"));
    QList<qsizetype> places;
    for (auto it = opening.globalMatch(html); it.hasNext();)
        places.append(it.next().capturedEnd());
    if (places.size() != lists.size())
        return html; // not written as expected: better no start numbers than wrong ones
    for (qsizetype i = lists.size() - 1; i >= 0; --i) {
        const QTextListFormat format = lists[i]->format();
        const int start = format.intProperty(TextFormat::ListStart);
        if (format.hasProperty(TextFormat::ListStart) && ListLabel::bullet(format).isEmpty()
            && start != 1)
            html.insert(places[i], QStringLiteral(" start=\"%1\"").arg(start));
    }
    return html;
}

// Links that would run something when clicked keep their text only.
void unlinkUnsafeLinks(QTextDocument &document)
{
    forEachFragment(document, [](QTextCursor &cursor, const QTextFragment &fragment) {
        QTextCharFormat format = fragment.charFormat();
        if (!format.isAnchor() || ExportContent::isSafeLink(format.anchorHref()))
            return;
        format.clearProperty(QTextFormat::IsAnchor);
        format.clearProperty(QTextFormat::AnchorHref);
        format.clearProperty(QTextFormat::AnchorName);
        cursor.setCharFormat(format);
    });
}

} // namespace

bool ExportContent::isSafeLink(const QString &href)
{
    static const QStringList safe{QStringLiteral("http"), QStringLiteral("https"),
                                  QStringLiteral("mailto"), QStringLiteral("file")};
    const QUrl url(href.trimmed());
    return url.isValid() && safe.contains(url.scheme(), Qt::CaseInsensitive);
}

QByteArray ExportContent::render(RichDocument &note, Format format, const QString &title,
                                 QString *warning)
{
    QTextDocument &document = *note.textDocument();
    if (format != Format::PlainText) {
        const int placeholders = replaceForeignObjects(document);
        if (placeholders > 0 && warning)
            *warning = QStringLiteral("%1 picture(s) or object(s) of kinds an export cannot show "
                                      "are drawn as boxes of their size")
                           .arg(placeholders);
    }
    switch (format) {
    case Format::PlainText:
        return NoteFile::plainText(document);
    case Format::Markdown:
        inlinePictures(document);
        unlinkUnsafeLinks(document);
        return MarkdownWriter::write(document).toUtf8();
    case Format::Html:
        inlinePictures(document);
        unlinkUnsafeLinks(document);
        // The page's title is written as it is given: markup in a note's
        // first line must stay text.
        document.setMetaInformation(QTextDocument::DocumentTitle, title.toHtmlEscaped());
        return addListStarts(document, joinListItemStyles(document.toHtml())).toUtf8();
    }
    return {};
}
