#pragma once

#include <QRegularExpression>
#include <QString>

// The text that stands in a note for an encrypted piece of it:
// "QelCrypt:#" + the byte count + "#" + each encrypted byte in decimal, all
// "#"-separated, e.g. "QelCrypt:#8#35#75#122#186#121#18#33#13".
//
// The encrypted bytes are the text, a zero, and the padding zeros. Markers
// written now put a check value keyed by the password between the zero and
// the padding and write the count with a leading zero ("QelCrypt:#016#...");
// readers that take the text up to the zero still read them. A wrong password
// is told by the check value; for a marker without one, only by bytes no
// encrypted text can give.
//
// Text is encrypted as its Windows-1252 bytes where that code page holds it
// (so markers read by earlier versions stay the same), otherwise as its UTF-8
// bytes behind the three bytes EF BB BF. Passwords key the cipher with their
// Windows-1252 bytes, or with their UTF-8 bytes when that code page lacks one
// of their characters.
namespace CryptMarker {

inline constexpr QLatin1StringView Prefix{"QelCrypt:"};

// True when text begins with the marker's prefix in any mix of capital and
// small letters.
bool isMarked(const QString &text);

// Every marker in a text: the prefix followed by "#"-separated numbers.
const QRegularExpression &pattern();

// The key bytes of a password.
QByteArray key(const QString &password);

// The marker of plainText encrypted under password (which must not be blank).
QString encrypt(const QString &plainText, const QString &password);

struct Decrypted
{
    enum Status {
        Ok,
        Damaged,       // not a well-formed marker: the numbers cannot be the cipher's output
        WrongPassword, // the bytes did not decrypt to a text with its check value or padding
    };
    Status status;
    QString text; // the plain text when Ok
};

// The plain text of a marker, which isMarked() accepted.
Decrypted decrypt(const QString &marker, const QString &password);

} // namespace CryptMarker
