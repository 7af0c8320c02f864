#include "cli/exportcontent.h"

#include "cli/notefile.h"

#include "richtext/richdocument.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
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

// Links that would run something when clicked keep their text only.
void unlinkUnsafeLinks(QTextDocument &document)
{
    forEachFragment(document, [](QTextCursor &cursor, const QTextFragment &fragment) {
        QTextCharFormat format = fragment.charFormat();
        if (!format.isAnchor() || ExportContent::isSafeLink(format.anchorHref()))
            return;
        // The Markdown writer takes a link wherever its target is set at all.
        format.clearProperty(QTextFormat::IsAnchor);
        format.clearProperty(QTextFormat::AnchorHref);
        format.clearProperty(QTextFormat::AnchorName);
        cursor.setCharFormat(format);
    });
}

// Backslash-escapes what Markdown would read as HTML, an entity, a link or an
// escape of its own. Code spans are written verbatim, where an escape would
// show.
void escapeMarkdownText(QTextDocument &document)
{
    forEachFragment(document, [](QTextCursor &cursor, const QTextFragment &fragment) {
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat() || format.fontFixedPitch())
            return;
        const QString text = fragment.text();
        QString escaped;
        for (QChar c : text) {
            if (c == u'\\' || c == u'<' || c == u'>' || c == u'&' || c == u'[' || c == u']')
                escaped += u'\\';
            escaped += c;
        }
        if (escaped.size() != text.size())
            cursor.insertText(escaped, format);
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

QByteArray ExportContent::render(RichDocument &note, Format format, const QString &title)
{
    QTextDocument &document = *note.textDocument();
    switch (format) {
    case Format::PlainText:
        return NoteFile::plainText(document);
    case Format::Markdown:
        inlinePictures(document);
        unlinkUnsafeLinks(document);
        escapeMarkdownText(document);
        return document.toMarkdown().toUtf8();
    case Format::Html:
        inlinePictures(document);
        unlinkUnsafeLinks(document);
        // The page's title is written as it is given: markup in a note's
        // first line must stay text.
        document.setMetaInformation(QTextDocument::DocumentTitle, title.toHtmlEscaped());
        return document.toHtml().toUtf8();
    }
    return {};
}
