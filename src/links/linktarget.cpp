#include "links/linktarget.h"

#include "links/linktext.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

// Plain text opens in an editor when its name says text or nothing at all:
// scripts and launchers are plain text too, and a desktop may know a name
// (".bat", ".ps1", ".url") this program's type list does not.
const char *const TextSuffixes[] = {"txt", "text", "md", "markdown", "csv", "tsv", "log", "rtf"};

// Other documents the desktop opens in a viewer, by their exact type.
const char *const DocumentTypes[] = {
    "application/pdf",
    "application/vnd.oasis.opendocument.text",
    "application/vnd.oasis.opendocument.spreadsheet",
    "application/vnd.oasis.opendocument.presentation",
    "application/vnd.oasis.opendocument.graphics",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
    "application/vnd.openxmlformats-officedocument.presentationml.presentation",
    "application/msword",
    "application/vnd.ms-excel",
    "application/vnd.ms-powerpoint",
};

// Whole families of documents; drawings that may carry scripts are left out.
const char *const DocumentFamilies[] = {"image/", "audio/", "video/"};
const char *const ScriptedTypes[] = {"image/svg+xml", "image/svg+xml-compressed"};

// Contents that start programs when the desktop opens them, whatever the
// file's name says.
const char *const LauncherContents[] = {
    "application/x-desktop",      "application/x-executable",  "application/x-pie-executable",
    "application/x-sharedlib",    "application/x-shellscript", "application/x-ms-dos-executable",
    "application/x-msdownload",   "application/x-msi",         "application/x-ms-shortcut",
    "application/x-java-archive", "application/vnd.appimage",  "application/x-flatpak-ref",
};

bool isDocument(const QFileInfo &file, const QMimeType &type)
{
    if (type.inherits(QStringLiteral("text/plain"))) {
        const QString suffix = file.suffix().toLower();
        return suffix.isEmpty()
               || std::any_of(
                   std::begin(TextSuffixes), std::end(TextSuffixes),
                   [&suffix](const char *text) { return suffix == QLatin1String(text); });
    }
    const auto named = [&type](const char *name) {
        return type.name() == QLatin1String(name) || type.aliases().contains(QLatin1String(name));
    };
    if (std::any_of(std::begin(ScriptedTypes), std::end(ScriptedTypes), named))
        return false;
    if (std::any_of(std::begin(DocumentTypes), std::end(DocumentTypes), named))
        return true;
    return std::any_of(
        std::begin(DocumentFamilies), std::end(DocumentFamilies),
        [&type](const char *family) { return type.name().startsWith(QLatin1String(family)); });
}

bool hasLauncherContent(const QMimeType &type)
{
    return std::any_of(
        std::begin(LauncherContents), std::end(LauncherContents),
        [&type](const char *launcher) { return type.inherits(QLatin1String(launcher)); });
}

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
    if (!file.isDir() && !opensAsDocument(file)) {
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

bool opensAsDocument(const QFileInfo &file)
{
    if (!file.isFile() || file.isExecutable())
        return false;
    const QMimeDatabase types;
    return isDocument(file, types.mimeTypeForFile(file))
           && !hasLauncherContent(types.mimeTypeForFile(file, QMimeDatabase::MatchContent));
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
