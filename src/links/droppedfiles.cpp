#include "links/droppedfiles.h"

#include "links/marklinks.h"
#include "richtext/richdocument.h"

#include <QMimeData>
#include <QTextCursor>
#include <QUrl>

namespace {

const QString GnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");
const QString KdeUriList = QStringLiteral("application/x-kde4-urilist");

// GNOME's list: "copy" or "cut" on the first line, then one URL a line.
QList<QUrl> gnomeCopiedFiles(const QByteArray &data)
{
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty())
        lines.removeFirst();
    QList<QUrl> urls;
    for (const QByteArray &line : std::as_const(lines)) {
        const QByteArray address = line.trimmed();
        if (!address.isEmpty())
            urls.append(QUrl::fromEncoded(address, QUrl::StrictMode));
    }
    return urls;
}

// A URI list: one URL a line, lines beginning with "#" are comments.
QList<QUrl> uriList(const QByteArray &data)
{
    QList<QUrl> urls;
    for (const QByteArray &line : data.split('\n')) {
        const QByteArray address = line.trimmed();
        if (!address.isEmpty() && !address.startsWith('#'))
            urls.append(QUrl::fromEncoded(address, QUrl::StrictMode));
    }
    return urls;
}

QList<QUrl> offeredUrls(const QMimeData &data)
{
    if (data.hasUrls())
        return data.urls();
    if (data.hasFormat(KdeUriList))
        return uriList(data.data(KdeUriList));
    if (data.hasFormat(GnomeCopiedFiles))
        return gnomeCopiedFiles(data.data(GnomeCopiedFiles));
    return {};
}

} // namespace

QStringList droppedFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : offeredUrls(data)) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            return {};
        files.append(url.toLocalFile());
    }
    return files;
}

void insertFileLines(RichDocument &document, const QStringList &files)
{
    if (files.isEmpty())
        return;
    QString lines;
    for (const QString &file : files)
        lines += u'"' + file + QLatin1String("\"\r\n");
    const QColor color = document.SelAttributes().Color();
    const TFontStyles style = document.SelAttributes().Style();

    QTextCursor step(document.textDocument());
    step.beginEditBlock();
    const int s0 = document.SelStart();
    document.setSelText(lines);
    const int s1 = document.SelStart();
    markLink(document, s0, s1 - s0);
    step.endEditBlock();

    document.setSelStart(s1);
    document.SelAttributes().setColor(color);
    document.SelAttributes().setStyle(style);
}
