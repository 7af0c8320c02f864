#include "platform/settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace {

#ifdef Q_OS_WIN
const QByteArray NativeLineEnd = "\r\n";
#else
const QByteArray NativeLineEnd = "\n";
#endif

// Files that are not UTF-8 come from the platform's 8-bit code page.
const char *const LegacyEncoding = "windows-1252";

struct Line
{
    QByteArray raw; // as in the file, without its line end
    QByteArray end; // "\r\n", "\n" or empty for a last line without one
    QString text;   // raw decoded and trimmed
};

struct Document
{
    QList<Line> lines;
    bool utf8 = true;
    bool utf16 = false; // the platform's Unicode INI files: UTF-16LE with a BOM
};

const QByteArray Utf16Bom = "\xFF\xFE";

QString decode(const QByteArray &bytes, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(LegacyEncoding);
    return decoder.isValid() ? QString(decoder(bytes)) : QString::fromLatin1(bytes);
}

Document parse(QByteArray bytes)
{
    Document document;
    if (bytes.startsWith(Utf16Bom)) {
        // Worked on as UTF-8 and turned back on writing: the same text.
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        bytes = QString(decoder(bytes.mid(Utf16Bom.size()))).toUtf8();
        document.utf16 = true;
    }
    QStringDecoder probe(QStringDecoder::Utf8);
    (void)QString(probe(bytes));
    document.utf8 = !probe.hasError();

    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype newline = bytes.indexOf('\n', start);
        Line line;
        if (newline < 0) {
            line.raw = bytes.mid(start);
            start = bytes.size();
        } else {
            line.raw = bytes.mid(start, newline - start);
            line.end = "\n";
            start = newline + 1;
        }
        if (line.raw.endsWith('\r')) {
            line.raw.chop(1);
            line.end.prepend('\r');
        }
        line.text = decode(line.raw, document.utf8).trimmed();
        document.lines.append(line);
    }
    if (!document.lines.isEmpty() && document.lines.first().text.startsWith(QChar(0xFEFF)))
        document.lines.first().text = document.lines.first().text.mid(1).trimmed();
    return document;
}

std::optional<QString> sectionName(const QString &text)
{
    if (!text.startsWith(u'['))
        return std::nullopt;
    qsizetype close = text.indexOf(u']');
    return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

bool isComment(const QString &text)
{
    return text.startsWith(u';') || text.startsWith(u'#');
}

// The key of a "key = value" line, or nothing.
std::optional<QString> keyOf(const QString &text)
{
    qsizetype equals = text.indexOf(u'=');
    if (equals <= 0 || isComment(text) || text.startsWith(u'['))
        return std::nullopt;
    return text.left(equals).trimmed();
}

QString valueOf(const QString &text)
{
    QString value = text.mid(text.indexOf(u'=') + 1).trimmed();
    // As the platform's reader does: one pair of enclosing quotes is dropped.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Position
{
    qsizetype section = -1;   // line of the section header
    qsizetype key = -1;       // line of the key
    qsizetype lastEntry = -1; // last non-blank line of the section
};

Position find(const Document &document, const QString &section, const QString &key)
{
    Position position;
    for (qsizetype i = 0; i < document.lines.size(); ++i) {
        const QString &text = document.lines[i].text;
        if (auto name = sectionName(text)) {
            if (position.section >= 0)
                break;
            if (sameName(*name, section))
                position.section = position.lastEntry = i;
            continue;
        }
        if (position.section < 0 || text.isEmpty())
            continue;
        position.lastEntry = i;
        if (auto name = keyOf(text); name && sameName(*name, key)) {
            position.key = i;
            break;
        }
    }
    return position;
}

std::optional<QString> lookup(const QString &path, const QString &section, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const Document document = parse(file.readAll());
    const Position position = find(document, section, key);
    if (position.key < 0)
        return std::nullopt;
    return valueOf(document.lines[position.key].text);
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

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// The bytes of text in the document's encoding; a legacy file that cannot
// hold the text is turned into UTF-8 as a whole.
QByteArray encodeLine(Document &document, const QString &text)
{
    if (document.utf8)
        return text.toUtf8();
    QStringEncoder encoder(LegacyEncoding);
    if (encoder.isValid()) {
        QByteArray bytes = encoder(text);
        if (!encoder.hasError())
            return bytes;
    }
    for (Line &line : document.lines)
        line.raw = decode(line.raw, false).toUtf8();
    document.utf8 = true;
    return text.toUtf8();
}

QByteArray serialize(const Document &document)
{
    QByteArray bytes;
    for (const Line &line : document.lines)
        bytes += line.raw + line.end;
    if (!document.utf16)
        return bytes;
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return Utf16Bom + QByteArray(encoder(QString::fromUtf8(bytes)));
}

QByteArray lineEnd(const Document &document)
{
    for (const Line &line : document.lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return NativeLineEnd;
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
    const QString failure = QStringLiteral("Unable to write to %1").arg(m_path);
    const QString trimmedKey = key.trimmed();
    const QString trimmedSection = section.trimmed();
    if (trimmedKey.isEmpty() || trimmedKey.contains(u'=') || trimmedSection.contains(u']')
        || holdsLineBreak(section) || holdsLineBreak(key) || holdsLineBreak(value)) {
        m_error = failure;
        return false;
    }

    // Write through a symbolic link to its target, as editing the file would.
    const QFileInfo info(m_path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : m_path;

    Document document;
    if (QFileInfo::exists(target)) {
        QFile file(target);
        // A file that cannot be read must not be replaced by a file of one key.
        if (!QFileInfo(target).isWritable() || !file.open(QIODevice::ReadOnly)) {
            m_error = failure;
            return false;
        }
        document = parse(file.readAll());
    }

    const Position position = find(document, trimmedSection, trimmedKey);
    const QByteArray end = lineEnd(document);
    auto newLine = [&](const QString &text) {
        Line line;
        line.raw = encodeLine(document, text);
        line.end = end;
        return line;
    };
    const QString entry = quotedForWriting(value);
    if (position.key >= 0) {
        const QString written = *keyOf(document.lines[position.key].text);
        document.lines[position.key].raw = encodeLine(document, written + u'=' + entry);
    } else {
        qsizetype at = position.lastEntry + 1;
        if (position.section < 0) {
            if (!document.lines.isEmpty() && document.lines.last().end.isEmpty())
                document.lines.last().end = end;
            document.lines.append(newLine(u'[' + trimmedSection + u']'));
            at = document.lines.size();
        } else if (document.lines[at - 1].end.isEmpty()) {
            document.lines[at - 1].end = end;
        }
        document.lines.insert(at, newLine(trimmedKey + u'=' + entry));
    }

    const QByteArray bytes = serialize(document);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = failure;
        return false;
    }
    return true;
}
