#include "crypt/cryptmarker.h"

#include "crypt/blowfish.h"
#include "crypt/textroutines.h"
#include "crypt/wipe.h"
#include "richtext/codepage.h"

#include <QHash>
#include <QMessageAuthenticationCode>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF");

// Markers written now follow their text's terminating zero with a check value
// of this many bytes and say so by a count written with a leading zero; every
// reader takes the text up to the zero and reads the count as a number, so
// earlier versions still read them.
constexpr qsizetype CheckSize = 8;

// The length Encrypt makes of length bytes: 1 to 8 zeros up to whole blocks.
qsizetype paddedSize(qsizetype length)
{
    return (length / TBlowfish::BlockSize + 1) * TBlowfish::BlockSize;
}

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

// A decrypted character no text the program encrypted holds.
bool isForeign(QChar c)
{
    if (c == u'\t' || c == u'\n' || c == u'\r')
        return false;
    return c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter;
}

enum class Trust { Checked, Unchecked };

// The text of the bytes before the terminating zero. Bytes no check value
// vouches for must be text as the program encrypts it: no control characters,
// no bytes the code page lacks, no broken UTF-8 behind its mark.
std::optional<QString> plainText(QByteArrayView bytes, Trust trust)
{
    QString text;
    if (bytes.startsWith(Utf8Mark)) {
        // A text may itself begin with U+FEFF: only our own mark is dropped.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        text = utf8(bytes.sliced(Utf8Mark.size()));
        if (utf8.hasError() && trust == Trust::Unchecked)
            return std::nullopt;
    } else {
        text = CodePage::decode(bytes, CodePage::System);
    }
    if (trust == Trust::Unchecked && std::any_of(text.cbegin(), text.cend(), isForeign))
        return std::nullopt;
    return text;
}

// The check that follows the text's terminating zero in the markers written
// now: a key the cipher takes for this one (only its first 72 bytes count, and
// cyclically) is not taken for it, and any other key matches once in 2^64.
QByteArray checkValue(QByteArrayView text, const QByteArray &key)
{
    return QMessageAuthenticationCode::hash(text.toByteArray(), key, QCryptographicHash::Sha256)
        .first(CheckSize);
}

struct Listed
{
    TCharArray bytes;
    bool checked = false; // written with a check value
};

// The encrypted bytes a marker lists, or nothing when it is damaged. A
// count must be a positive multiple of the block size; fields missing at
// the end of the last block read as zero, but a count beyond that is refused
// (it could ask for any amount of memory).
std::optional<Listed> markerBytes(const QString &marker)
{
    QString rest = marker.mid(CryptMarker::Prefix.size());
    if (!rest.startsWith(u'#'))
        return std::nullopt;
    rest.remove(0, 1);
    Listed listed;
    listed.checked = rest.startsWith(u'0');
    int count = 0;
    if (!NextIntToken(rest, u'#', count) || count <= 0 || count % TBlowfish::BlockSize != 0)
        return std::nullopt;
    TCharArray &bytes = listed.bytes;
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
    return listed;
}

bool allZero(QByteArrayView bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char byte) { return byte == '\0'; });
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
    QByteArray key = CryptMarker::key(password);
    const WipeOnExit wipedKey(key);
    TBlowfish cipher;
    cipher.Set_Passwd(key);
    QByteArray text = plainBytes(plainText);
    const WipeOnExit wipedText(text);
    TCharArray bytes = text + '\0' + checkValue(text, key);
    cipher.Encrypt(bytes);
    QString marker = Prefix + QLatin1String("#0") + QString::number(bytes.size());
    for (char byte : std::as_const(bytes))
        marker += u'#' + QString::number(quint8(byte));
    return marker;
}

CryptMarker::Decrypted CryptMarker::decrypt(const QString &marker, const QString &password)
{
    std::optional<Listed> listed = markerBytes(marker);
    QByteArray key = CryptMarker::key(password);
    const WipeOnExit wipedKey(key);
    TBlowfish cipher;
    if (!listed || !cipher.Set_Passwd(key) || !cipher.Decrypt(listed->bytes))
        return {Decrypted::Damaged, {}};
    const WipeOnExit wipedBytes(listed->bytes);
    const QByteArrayView bytes = listed->bytes;
    const qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        return {Decrypted::WrongPassword, {}};
    const QByteArrayView text = bytes.first(end);
    const QByteArrayView rest = bytes.sliced(end + 1);
    if (bytes.size() == paddedSize(end + 1 + CheckSize) && allZero(rest.sliced(CheckSize))
        && rest.first(CheckSize) == checkValue(text, key)) {
        return {Decrypted::Ok, plainText(text, Trust::Checked).value_or(QString())};
    }
    // A marker without a check value can only be told by what its bytes hold:
    // text as the program encrypts it, then the padding as Encrypt wrote it.
    if (listed->checked || bytes.size() != paddedSize(end) || !allZero(rest))
        return {Decrypted::WrongPassword, {}};
    const std::optional<QString> plain = plainText(text, Trust::Unchecked);
    if (!plain)
        return {Decrypted::WrongPassword, {}};
    return {Decrypted::Ok, *plain};
}
