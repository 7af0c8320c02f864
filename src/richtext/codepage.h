#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

// The Windows and Mac code pages of 8-bit text: RTF documents name theirs by \ansicpg
// and by each font's \fcharset, and plain-text notes are in the system's
// 8-bit code page.
class CodePage
{
public:
    // The system's 8-bit code page of plain text.
    static constexpr int System = 1252;
    // Symbol fonts: every byte is its own character code.
    static constexpr int Symbol = 42;

    // The code page of an RTF font character set (\fcharset), or fallback for
    // the default character set and for sets without a code page of their own.
    static int fromCharset(int charset, int fallback);

    // True for the East Asian code pages and UTF-8, where a character can take more than one
    // byte.
    static bool isMultiByte(int codePage);

    // The characters of the 256 bytes of a single-byte code page; unknown code
    // pages give the table of the system code page. Tables are built once.
    using Table = std::array<char16_t, 256>;
    static const Table &table(int codePage);

    // Text of bytes in codePage (single- or multi-byte).
    static QString decode(QByteArrayView bytes, int codePage);

    // The text of a plain-text file: a byte-order mark says what it is
    // (UTF-8, UTF-16 LE or BE); bytes that are valid UTF-8 are UTF-8, as
    // today's editors write; anything else is in the system code page.
    static QString decodePlainText(QByteArrayView bytes);
};
