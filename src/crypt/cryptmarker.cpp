#include "crypt/cryptmarker.h"

#include "crypt/blowfish.h"
#include "crypt/textroutines.h"
#include "richtext/codepage.h"

#include <QHash>
#include <QStringDecoder>

#include <optional>

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF");

// The text's bytes in the system code page, or nothing when it lacks a character.
std::optional<QByteArray> toSystemCodePage(const QString &text)
{
    static const QHash<char16_t, char> bytes = [] {
        QHash<char16_t, char> table;
        const CodePage::Table &characters = CodePage::table(CodePage::System);
        for (int byte = 0; byte < 256; ++byte) {
            if (characters[byte] != 0xFFFD)
                table.insert(characters[byte], char(byte));
        }
        return table;
    }();
    QByteArray result;
    result.reserve(text.size());
    for (QChar c : text) {
        const auto found = bytes.constFind(c.unicode());
        if (found == bytes.constEnd())
            return std::nullopt;
        result.append(*found);
    }
    return result;
}

QByteArray plainBytes(const QString &text)
{
    const std::optional<QByteArray> bytes = toSystemCodePage(text);
    // Code-page text that happens to begin like the UTF-8 mark takes the
    // UTF-8 road too, so that it decrypts as it was.
    if (bytes && !bytes->startsWith(Utf8Mark))
        return *bytes;
    return Utf8Mark + text.toUtf8();
}

QString plainText(QByteArrayView bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes = bytes.first(end);
    if (bytes.startsWith(Utf8Mark)) {
        // A text may itself begin with U+FEFF: only our own mark is dropped.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8(bytes.sliced(Utf8Mark.size()));
    }
    return CodePage::decode(bytes, CodePage::System);
}

// The encrypted bytes a marker lists, or nothing when it is damaged. A
// count must be a positive multiple of the block size; fields missing at
// the end of the last block read as zero, but a count beyond that is refused
// (it could ask for any amount of memory).
std::optional<TCharArray> markerBytes(const QString &marker)
{
    QString rest = marker.mid(CryptMarker::Prefix.size());
    if (!rest.startsWith(u'#'))
        return std::nullopt;
    rest.remove(0, 1);
    int count = 0;
    if (!NextIntToken(rest, u'#', count) || count <= 0 || count % TBlowfish::BlockSize != 0)
        return std::nullopt;
    TCharArray bytes;
    while (!rest.isEmpty()) {
        int value = 0;
        if (!NextIntToken(rest, u'#', value) || bytes.size() == count)
            return std::nullopt;
        bytes.append(char(value & 0xFF));
    }
    const qsizetype blocks = (bytes.size() + TBlowfish::BlockSize - 1) / TBlowfish::BlockSize;
    if (count > blocks * TBlowfish::BlockSize)
        return std::nullopt;
    bytes.append(count - bytes.size(), '\0');
    return bytes;
}

} // namespace

bool CryptMarker::isMarked(const QString &text)
{
    return text.startsWith(Prefix, Qt::CaseInsensitive);
}

const QRegularExpression &CryptMarker::pattern()
{
    static const QRegularExpression marker(QStringLiteral("QelCrypt:#\\d+(?:#\\d+)*"),
                                           QRegularExpression::CaseInsensitiveOption);
    return marker;
}

QByteArray CryptMarker::key(const QString &password)
{
    return toSystemCodePage(password).value_or(password.toUtf8());
}

QString CryptMarker::encrypt(const QString &plainText, const QString &password)
{
    TBlowfish cipher;
    cipher.Set_Passwd(key(password));
    TCharArray bytes = plainBytes(plainText);
    cipher.Encrypt(bytes);
    QString marker = Prefix + u'#' + QString::number(bytes.size());
    for (char byte : std::as_const(bytes))
        marker += u'#' + QString::number(quint8(byte));
    return marker;
}

CryptMarker::Decrypted CryptMarker::decrypt(const QString &marker, const QString &password)
{
    std::optional<TCharArray> bytes = markerBytes(marker);
    TBlowfish cipher;
    if (!bytes || !cipher.Set_Passwd(key(password)) || !cipher.Decrypt(*bytes))
        return {Decrypted::Damaged, {}};
    // Encryption always ends in padding zeros: any other last byte means the
    // key was not the one the marker was made with.
    if (bytes->back() != '\0')
        return {Decrypted::WrongPassword, {}};
    return {Decrypted::Ok, plainText(*bytes)};
}
