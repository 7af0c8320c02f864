#include "links/linktarget.h"

#include "links/linktext.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include <optional>

namespace {

// Files of these kinds (and of kinds derived from them) start programs when
// the desktop opens them.
const char *const LauncherTypes[] = {
    "application/x-desktop",      "application/x-executable",  "application/x-pie-executable",
    "application/x-sharedlib",    "application/x-shellscript", "application/x-ms-dos-executable",
    "application/x-msdownload",   "application/x-msi",         "application/x-ms-shortcut",
    "application/x-java-archive", "application/vnd.appimage",  "application/x-flatpak-ref",
};

bool hasBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

LinkTarget fileTarget(const QString &path)
{
    const QFileInfo file(path);
    LinkTarget target;
    if (!file.isDir() && isLauncher(file)) {
        target.kind = LinkTarget::Kind::ShowInFolder;
        target.path = file.absoluteFilePath();
        return target;
    }
    target.kind = LinkTarget::Kind::Open;
    target.url = QUrl::fromLocalFile(file.absoluteFilePath());
    return target;
}

LinkTarget mailTarget(const QString &address)
{
    LinkTarget target;
    target.kind = LinkTarget::Kind::Mail;
    target.address = address;
    return target;
}

LinkTarget webTarget(const QUrl &url)
{
    LinkTarget target;
    if (url.isValid() && !url.host().isEmpty()) {
        target.kind = LinkTarget::Kind::Open;
        target.url = url;
    }
    return target;
}

// A URL that names its scheme; those of other schemes are never opened.
std::optional<LinkTarget> urlTarget(const QString &token)
{
    const QUrl url(token, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().size() < 2) // "c:" is no scheme
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return webTarget(url);
    if (scheme == u"mailto")
        return url.path().isEmpty() ? LinkTarget() : mailTarget(url.path());
    if (scheme == u"file" && url.isLocalFile() && QFileInfo::exists(url.toLocalFile()))
        return fileTarget(url.toLocalFile());
    return LinkTarget();
}

} // namespace

bool namesExistingPath(const QString &token)
{
    return !token.isEmpty() && QFileInfo(token).isAbsolute() && QFileInfo::exists(token);
}

bool isLauncher(const QFileInfo &file)
{
    if (file.isExecutable())
        return true;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    for (const char *launcher : LauncherTypes) {
        if (type.inherits(QLatin1String(launcher)))
            return true;
    }
    return false;
}

LinkTarget LinkTarget::resolve(const QString &token)
{
    if (namesExistingPath(token))
        return fileTarget(token);
    if (!hasBlank(token) && token.contains(u':')) {
        if (const std::optional<LinkTarget> target = urlTarget(token))
            return *target;
    }
    if (IsMailAddress(token))
        return mailTarget(token);
    if (!hasBlank(token) && token.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return webTarget(QUrl(QStringLiteral("http://") + token, QUrl::StrictMode));
    return {};
}
