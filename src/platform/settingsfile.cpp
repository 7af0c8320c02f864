#include "platform/settingsfile.h"

#include <algorithm>
#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringDecoder>
#include <QStringEncoder>

#include "platform/wholefile.h"

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_WIN
const QByteArray NativeLineEnd = "\r\n";
#else
const QByteArray NativeLineEnd = "\n";
#endif

const QByteArray Utf8Bom = "\xEF\xBB\xBF";
const QByteArray Utf16Bom = "\xFF\xFE"; // the platform's Unicode INI files: UTF-16LE

// Files that are not UTF-8 come from the platform's 8-bit code page.
const char *const LegacyEncoding = "windows-1252";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && isBlank(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && isBlank(bytes.back()))
        bytes.chop(1);
    return bytes;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// The contents of a settings file as bytes to scan. Reading a key touches
// only the lines up to it and decodes only what is not plain ASCII, so that a
// thousand reads of a file with a thousand sections stay cheap.
class Contents
{
public:
    explicit Contents(QByteArray fileBytes)
        : bytes(std::move(fileBytes))
    {
        if (bytes.startsWith(Utf16Bom)) {
            // Worked on as UTF-8 and turned back on writing: the same text.
            QStringDecoder decoder(QStringDecoder::Utf16LE);
            bytes = QString(decoder(QByteArrayView(bytes).sliced(Utf16Bom.size()))).toUtf8();
            m_utf16 = true;
            m_utf8 = 1;
        }
    }

    QString decode(QByteArrayView text) const
    {
        if (isAscii(text))
            return QString::fromLatin1(text);
        if (isUtf8())
            return QString::fromUtf8(text);
        QStringDecoder decoder(LegacyEncoding);
        return decoder.isValid() ? QString(decoder(text)) : QString::fromLatin1(text);
    }

    // A legacy file that cannot hold text becomes UTF-8 as a whole; true
    // when it did.
    bool makeRoomFor(const QString &text)
    {
        if (isUtf8() || encodeLegacy(text))
            return false;
        bytes = decode(bytes).toUtf8();
        m_utf8 = 1;
        return true;
    }

    QByteArray encode(const QString &text) const
    {
        return isUtf8() ? text.toUtf8() : encodeLegacy(text).value_or(text.toUtf8());
    }

    QByteArray fileBytes() const
    {
        if (!m_utf16)
            return bytes;
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return Utf16Bom + QByteArray(encoder(QString::fromUtf8(bytes)));
    }

    QByteArray lineEnd() const
    {
        const qsizetype newline = bytes.indexOf('\n');
        if (newline < 0)
            return NativeLineEnd;
        return newline > 0 && bytes[newline - 1] == '\r' ? QByteArray("\r\n") : QByteArray("\n");
    }

    QByteArray bytes;

private:
    bool isUtf8() const
    {
        if (m_utf8 < 0) {
            QStringDecoder probe(QStringDecoder::Utf8);
            (void)QString(probe(bytes));
            m_utf8 = probe.hasError() ? 0 : 1;
        }
        return m_utf8 == 1;
    }

    static std::optional<QByteArray> encodeLegacy(const QString &text)
    {
        QStringEncoder encoder(LegacyEncoding);
        if (!encoder.isValid())
            return std::nullopt;
        QByteArray encoded = encoder(text);
        if (encoder.hasError())
            return std::nullopt;
        return encoded;
    }

    mutable int m_utf8 = -1; // unknown until something non-ASCII needs decoding
    bool m_utf16 = false;
};

// A section or key name as the caller gives it, ready for cheap comparisons.
class Name
{
public:
    explicit Name(const QString &name)
        : m_name(name.trimmed())
        , m_ascii(isAscii(m_name.toUtf8()) ? m_name.toLatin1() : QByteArray())
        , m_isAscii(isAscii(m_name.toUtf8()))
    {}

    bool isAsciiName() const { return m_isAscii; }
    QByteArray asciiLower() const { return m_ascii.toLower(); }

    bool matches(const Contents &contents, QByteArrayView bytes) const
    {
        if (isAscii(bytes)) {
            return m_isAscii && bytes.size() == m_ascii.size()
                   && bytes.compare(m_ascii, Qt::CaseInsensitive) == 0;
        }
        return contents.decode(bytes).trimmed().compare(m_name, Qt::CaseInsensitive) == 0;
    }

    QString text() const { return m_name; }

private:
    QString m_name;
    QByteArray m_ascii;
    bool m_isAscii;
};

struct Found
{
    bool section = false;
    qsizetype keyStart = -1; // the key's line, without its line end
    qsizetype keyEnd = -1;
    QByteArrayView keyName; // as spelt in the file
    QByteArrayView value;
    qsizetype insertAt = -1;  // just behind the section's last entry
    bool insertAtEnd = false; // that entry is the file's last line, without a line end
};

qsizetype firstLine(const Contents &contents)
{
    return contents.bytes.startsWith(Utf8Bom) ? Utf8Bom.size() : 0;
}

// The name in a section's header line, without its brackets and blanks.
QByteArrayView sectionName(QByteArrayView header)
{
    const qsizetype close = header.indexOf(']');
    return trimmed(header.sliced(1, (close < 0 ? header.size() : close) - 1));
}

// The first section of that name and its first key of that name, as the
// platform's reader finds them, scanning from the line at start on, which
// must lie before that section. Lines starting with ';' or '#' are comments.
Found findEntry(const Contents &contents, const Name &section, const Name &key, qsizetype start)
{
    Found found;
    const QByteArrayView bytes(contents.bytes);
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline;
        const qsizetype next = newline < 0 ? bytes.size() : newline + 1;
        const QByteArrayView line = trimmed(bytes.sliced(start, end - start));
        if (line.startsWith('[')) {
            if (found.section)
                break;
            found.section = section.matches(contents, sectionName(line));
        }
        if (found.section && !line.isEmpty()) {
            found.insertAt = next;
            found.insertAtEnd = newline < 0;
        }
        const qsizetype equals = line.indexOf('=');
        if (found.section && equals > 0 && !line.startsWith('[') && !line.startsWith(';')
            && !line.startsWith('#')) {
            const QByteArrayView name = trimmed(line.first(equals));
            if (key.matches(contents, name)) {
                found.keyStart = start;
                found.keyEnd = end > start && bytes[end - 1] == '\r' ? end - 1 : end;
                found.keyName = name;
                found.value = trimmed(line.sliced(equals + 1));
                break;
            }
        }
        start = next;
    }
    return found;
}

// A settings file's contents with the place where each section name is first
// given: a read goes straight to its section instead of scanning every line
// before it, which a board of thousands of notes, reading a record for each,
// would pay for with time growing as the square of their number.
class ParsedFile
{
public:
    explicit ParsedFile(Contents contents)
        : m_contents(std::move(contents))
    {
        const QByteArrayView bytes(m_contents.bytes);
        qsizetype start = firstLine(m_contents);
        while (start < bytes.size()) {
            const qsizetype newline = bytes.indexOf('\n', start);
            const qsizetype end = newline < 0 ? bytes.size() : newline;
            const QByteArrayView line = trimmed(bytes.sliced(start, end - start));
            if (line.startsWith('[')) {
                const QByteArrayView name = sectionName(line);
                if (!isAscii(name)) {
                    if (m_firstOtherSection < 0)
                        m_firstOtherSection = start;
                } else if (const QByteArray lower = name.toByteArray().toLower();
                           !m_asciiSections.contains(lower)) {
                    m_asciiSections.insert(lower, start);
                }
            }
            start = newline < 0 ? bytes.size() : newline + 1;
        }
    }

    const Contents &contents() const { return m_contents; }

    // As findEntry() over the whole file. An ASCII name matches only a
    // section spelt the same but for case, or one spelt otherwise (compared
    // by findEntry()); any other name only one spelt otherwise.
    Found find(const Name &section, const Name &key) const
    {
        qsizetype start = m_firstOtherSection;
        if (section.isAsciiName()) {
            const qsizetype same = m_asciiSections.value(section.asciiLower(), -1);
            if (same >= 0 && (start < 0 || same < start))
                start = same;
        }
        return start < 0 ? Found() : findEntry(m_contents, section, key, start);
    }

private:
    Contents m_contents;
    QHash<QByteArray, qsizetype> m_asciiSections; // lower case: the first header of that name
    qsizetype m_firstOtherSection = -1;           // the first header of a name not in ASCII
};

// What shows that a file changed. A change of the same size within one tick
// of the file system's clock leaves all of it as it was: a file changed that
// recently is compared byte for byte before its parsed copy is trusted.
struct FileStamp
{
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0; // its metadata, which no program can set back
    bool operator==(const FileStamp &) const = default;
};

// Taken before every read: on Linux straight from stat(), as QFileInfo would
// turn each time into a local date and back.
std::optional<FileStamp> stampOf(const QString &path)
{
#ifdef Q_OS_LINUX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    const auto milliseconds
        = [](const timespec &time) { return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000; };
    return FileStamp{qint64(status.st_size), milliseconds(status.st_mtim),
                     milliseconds(status.st_ctim)};
#else
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return FileStamp{info.size(), info.lastModified().toMSecsSinceEpoch(),
                     info.metadataChangeTime().toMSecsSinceEpoch()};
#endif
}

// Coarser than the clock of any file system: some keep time in two seconds.
// One whose stamps show fractions of a second ticks in milliseconds, and a
// tenth of a second covers that; a stamp on a whole second may be either.
constexpr qint64 CoarseClockTick = 2000;
constexpr qint64 FineClockTick = 100;

qint64 clockTickOf(const FileStamp &stamp)
{
    return stamp.modified % 1000 != 0 && stamp.changed % 1000 != 0 ? FineClockTick
                                                                   : CoarseClockTick;
}

struct CachedFile
{
    std::shared_ptr<const ParsedFile> parsed;
    QByteArray fileBytes;
    FileStamp stamp;
    qint64 knownAt = 0; // when the file last held fileBytes, before it was looked at

    // Changed within a tick of when it was known: a later change in that
    // tick may have left its stamp as it was.
    bool recent() const
    {
        return std::max(stamp.modified, stamp.changed) > knownAt - clockTickOf(stamp);
    }
};

// Every settings file this process read or wrote, as it last saw it. The
// files are few (the program's one or two), and each access runs whole under
// the lock.
QMutex cacheLock;

QHash<QString, CachedFile> &cachedFiles()
{
    static QHash<QString, CachedFile> files;
    return files;
}

// The file as it is now; nothing when it exists but cannot be read (then
// *error says why). A missing file is empty. Only a regular file is read, and
// opening it never waits: a FIFO in its place must not hang the program.
std::shared_ptr<const ParsedFile> currentFile(const QString &path, QString *error = nullptr)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QHash<QString, CachedFile> &files = cachedFiles();
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp) {
        files.remove(path);
        return std::make_shared<const ParsedFile>(Contents(QByteArray()));
    }
    const auto cached = files.find(path);
    const bool sameStamp = cached != files.end() && cached->stamp == *stamp;
    if (sameStamp && !cached->recent())
        return cached->parsed;
    QString reason;
    const std::optional<QByteArray> read
        = readWholeFile(path, FileSizeLimits::Settings, error ? error : &reason);
    if (!read) {
        files.remove(path);
        return nullptr;
    }
    const QByteArray &bytes = *read;
    if (sameStamp && bytes == cached->fileBytes) {
        cached->knownAt = now;
        return cached->parsed;
    }
    auto parsed = std::make_shared<const ParsedFile>(Contents(bytes));
    files.insert(path, {parsed, bytes, *stamp, now});
    return parsed;
}

// A write of this process replaced the file with contents, from writtenAt on.
void remember(const QString &path, Contents contents, qint64 writtenAt)
{
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp) {
        cachedFiles().remove(path);
        return;
    }
    const QByteArray fileBytes = contents.fileBytes();
    cachedFiles().insert(path, {std::make_shared<const ParsedFile>(std::move(contents)), fileBytes,
                                *stamp, writtenAt});
}

// Writes contents over the file that held before, unless they are the same:
// storing unchanged records rewrites nothing.
bool writeChanged(const QString &path, const ParsedFile &before, Contents contents,
                  qint64 writtenAt)
{
    if (contents.bytes == before.contents().bytes)
        return true;
    if (!writeWholeFile(path, contents.fileBytes(), nullptr))
        return false;
    remember(path, std::move(contents), writtenAt);
    return true;
}

std::optional<QString> lookup(const QString &path, const QString &section, const QString &key)
{
    const QMutexLocker lock(&cacheLock);
    const std::shared_ptr<const ParsedFile> file = currentFile(path);
    if (!file)
        return std::nullopt;
    const Found found = file->find(Name(section), Name(key));
    if (found.keyStart < 0)
        return std::nullopt;
    QString value = file->contents().decode(found.value);
    // As the platform's reader does: one pair of enclosing quotes is dropped.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

std::optional<int> parseInteger(const QString &text)
{
    QStringView digits(text);
    int base = 10;
    if (digits.startsWith(u'$')) {
        digits = digits.mid(1);
        base = 16;
    } else if (digits.size() >= 3 && digits.startsWith(u"0x", Qt::CaseInsensitive)) {
        digits = digits.mid(2);
        base = 16;
    }
    bool ok = false;
    if (base == 16) {
        // Eight hex digits are a 32-bit pattern: "$FFFFFFFF" is -1.
        if (digits.isEmpty() || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        const qulonglong value = digits.toULongLong(&ok, 16);
        if (!ok || value > 0xFFFFFFFFull)
            return std::nullopt;
        return int(quint32(value));
    }
    const int value = digits.toInt(&ok, 10);
    if (!ok || digits.isEmpty() || digits.front().isSpace())
        return std::nullopt;
    return value;
}

// A value that would lose its outer blanks or quotes on reading is quoted.
QString quotedForWriting(const QString &value)
{
    const bool blankEdges = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
                        && value.back() == value.front();
    return blankEdges || quoted ? u'"' + value + u'"' : value;
}

// The file a write replaces. A symbolic link is written through, as editing
// the file would, but only to a file in the same folder: settings are never
// written anywhere else.
std::optional<QString> writableTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QFileInfo target(info.symLinkTarget());
    const QString folder = info.absoluteDir().canonicalPath();
    if (folder.isEmpty() || target.absoluteDir().canonicalPath() != folder || target.isSymLink())
        return std::nullopt;
    return target.absoluteFilePath();
}

// The file before a write changes it; nothing when it must not be written:
// a file that cannot be read must not be replaced by a file of one key.
std::shared_ptr<const ParsedFile> fileToChange(const QString &target, QString *error)
{
    const QFileInfo info(target);
    if (info.exists() && !info.isWritable())
        return nullptr;
    return currentFile(target, error);
}

// Where a section lies in the file: its header line, then its lines up to
// the next header.
struct SectionSpan
{
    QString name; // case-folded, for lookups
    qsizetype headerStart = 0;
    qsizetype bodyStart = 0;
    qsizetype end = 0;
};

QString foldedName(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

QList<SectionSpan> sectionSpans(const Contents &contents)
{
    QList<SectionSpan> spans;
    const QByteArrayView bytes(contents.bytes);
    qsizetype start = firstLine(contents);
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype next = newline < 0 ? bytes.size() : newline + 1;
        const QByteArrayView line = trimmed(bytes.sliced(start, next - start));
        if (line.startsWith('[')) {
            if (!spans.isEmpty())
                spans.last().end = start;
            const qsizetype close = line.indexOf(']');
            const QByteArrayView name
                = trimmed(line.sliced(1, (close < 0 ? line.size() : close) - 1));
            spans.append({foldedName(contents.decode(name)), start, next, bytes.size()});
        }
        start = next;
    }
    return spans;
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path))
{}

int SettingsFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const std::optional<QString> text = lookup(m_path, section, key);
    if (!text)
        return defaultValue;
    return parseInteger(*text).value_or(defaultValue);
}

bool SettingsFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QString SettingsFile::readString(const QString &section, const QString &key,
                                 const QString &defaultValue) const
{
    std::optional<QString> text = lookup(m_path, section, key);
    if (!text)
        return defaultValue;
    if (text->size() > MaxValueLength) {
        text->truncate(MaxValueLength);
        if (text->back().isHighSurrogate())
            text->chop(1);
    }
    return *text;
}

bool SettingsFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool SettingsFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SettingsFile::writeString(const QString &section, const QString &key, const QString &value)
{
    m_error.clear();
    const Name sectionName(section);
    const Name keyName(key);
    if (keyName.text().isEmpty() || keyName.text().contains(u'=')
        || sectionName.text().contains(u']') || holdsLineBreak(section) || holdsLineBreak(key)
        || holdsLineBreak(value)) {
        return refuse();
    }

    const QMutexLocker lock(&cacheLock);
    const qint64 writtenAt = QDateTime::currentMSecsSinceEpoch();
    const std::optional<QString> target = writableTarget(m_path);
    QString unreadable;
    const std::shared_ptr<const ParsedFile> file
        = target ? fileToChange(*target, &unreadable) : nullptr;
    if (!file) {
        return refuse(unreadable);
    }
    Contents contents = file->contents();
    const QString entry = quotedForWriting(value);
    const Found found = contents.makeRoomFor(sectionName.text() + keyName.text() + entry)
                            ? findEntry(contents, sectionName, keyName, firstLine(contents))
                            : file->find(sectionName, keyName);
    const QByteArray end = contents.lineEnd();
    QByteArray &bytes = contents.bytes;
    if (found.keyStart >= 0) {
        const QString written = contents.decode(found.keyName) + u'=' + entry;
        bytes.replace(found.keyStart, found.keyEnd - found.keyStart, contents.encode(written));
    } else if (found.section) {
        const QByteArray line = contents.encode(keyName.text() + u'=' + entry) + end;
        bytes.insert(found.insertAt, found.insertAtEnd ? end + line : line);
    } else {
        if (!bytes.isEmpty() && bytes != Utf8Bom && !bytes.endsWith('\n'))
            bytes += end;
        bytes += contents.encode(u'[' + sectionName.text() + u']') + end
                 + contents.encode(keyName.text() + u'=' + entry) + end;
    }

    return writeChanged(*target, *file, std::move(contents), writtenAt) || refuse();
}

bool SettingsFile::copySections(const QList<std::pair<QString, QString>> &copies)
{
    m_error.clear();
    const QMutexLocker lock(&cacheLock);
    const qint64 writtenAt = QDateTime::currentMSecsSinceEpoch();
    const std::optional<QString> target = writableTarget(m_path);
    QString unreadable;
    const std::shared_ptr<const ParsedFile> file
        = target ? fileToChange(*target, &unreadable) : nullptr;
    const bool validNames = std::all_of(copies.cbegin(), copies.cend(), [](const auto &copy) {
        return !copy.second.trimmed().isEmpty() && !copy.second.contains(u']')
               && !holdsLineBreak(copy.second);
    });
    if (!file || !validNames) {
        return refuse(unreadable);
    }
    Contents contents = file->contents();
    for (const auto &copy : copies)
        contents.makeRoomFor(copy.second);
    const QByteArray &bytes = contents.bytes;
    const QByteArray end = contents.lineEnd();
    const QList<SectionSpan> spans = sectionSpans(contents);
    QHash<QString, qsizetype> first; // a section given twice is found at its first place
    for (qsizetype i = spans.size() - 1; i >= 0; --i)
        first.insert(spans[i].name, i);

    // Every body is taken before any is replaced, so sections may trade places.
    QHash<QString, QByteArray> bodies;
    QList<std::pair<QString, QByteArray>> appended;
    for (const auto &[source, targetName] : copies) {
        QByteArray body;
        if (const auto found = first.constFind(foldedName(source)); found != first.cend()) {
            const SectionSpan &span = spans[*found];
            body = bytes.mid(span.bodyStart, span.end - span.bodyStart);
            if (!body.isEmpty() && !body.endsWith('\n'))
                body += end;
        }
        if (first.contains(foldedName(targetName)))
            bodies.insert(foldedName(targetName), body);
        else if (!body.isEmpty())
            appended.append({targetName.trimmed(), body});
    }

    QByteArray result = bytes.left(spans.isEmpty() ? bytes.size() : spans.first().headerStart);
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const SectionSpan &span = spans[i];
        const auto body = bodies.constFind(span.name);
        if (first.value(span.name) != i || body == bodies.cend()) {
            result += bytes.mid(span.headerStart, span.end - span.headerStart);
            continue;
        }
        result += bytes.mid(span.headerStart, span.bodyStart - span.headerStart);
        if (!result.endsWith('\n') && !body->isEmpty())
            result += end;
        result += *body;
    }
    for (const auto &[name, body] : appended) {
        if (!result.isEmpty() && result != Utf8Bom && !result.endsWith('\n'))
            result += end;
        result += contents.encode(u'[' + name + u']') + end + body;
    }
    contents.bytes = result;
    return writeChanged(*target, *file, std::move(contents), writtenAt) || refuse();
}

bool SettingsFile::refuse(const QString &unreadable)
{
    m_error = QCoreApplication::translate("SettingsFile", "Unable to write to %1").arg(m_path);
    if (!unreadable.isEmpty())
        m_error += QCoreApplication::translate("SettingsFile", ": it could not be read (%1)")
                       .arg(unreadable);
    return false;
}
