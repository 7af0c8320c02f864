// Any text as markers to decrypt (the first line is the password), and as
// plain text that must come back whole from its own marker.

#include "crypt/cryptmarker.h"
#include "crypt/textroutines.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf(u'\n');
    const QString password = lineEnd < 0 ? QStringLiteral("x") : input.left(lineEnd);
    const QString text = input.mid(lineEnd + 1);
    if (IsBlank(password))
        return 0;

    QRegularExpressionMatchIterator markers = CryptMarker::pattern().globalMatch(text);
    while (markers.hasNext()) {
        const QString marker = markers.next().captured();
        if (CryptMarker::isMarked(marker))
            CryptMarker::decrypt(marker, password);
    }
    if (CryptMarker::isMarked(text))
        CryptMarker::decrypt(text, password);

    // The cipher's plain text ends at its first zero byte (its padding), so a
    // text comes back up to its first NUL; a note never holds one.
    const QString plain = text.left(text.indexOf(QChar(0)));
    const CryptMarker::Decrypted back
        = CryptMarker::decrypt(CryptMarker::encrypt(plain, password), password);
    if (back.status != CryptMarker::Decrypted::Ok || back.text != plain)
        std::abort();
    return 0;
}
