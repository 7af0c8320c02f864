#pragma once

#include <QByteArrayView>

// One piece of an RTF document.
struct RtfToken
{
    enum Type { GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text };

    Type type = Text;
    qsizetype offset = 0; // where the token starts in the data
    QByteArrayView text;  // a control word's name, or the bytes of a text run
    int param = 0;        // a control word's parameter, clamped to int
    bool hasParam = false;
    char symbol = 0; // a control symbol's character
    uchar byte = 0;  // the value of \'hh
};

// Splits RTF bytes into groups, control words and symbols, \'hh bytes and runs
// of plain text. Line breaks and NUL bytes between tokens are dropped, as RTF
// wants; every other byte of a text run is passed on.
class RtfTokenizer
{
public:
    explicit RtfTokenizer(QByteArrayView data);

    // The next token; false at the end of the data.
    bool next(RtfToken &token);
    // Skips the rest of the group whose opening brace was just read, up to and
    // including its closing brace, without looking at its content (\bin data
    // included). False when the data ends first.
    bool skipGroup();
    // The next length bytes as \bin data; false when fewer remain.
    bool takeBinary(qsizetype length, QByteArrayView *bytes);
    // Where the next token starts.
    qsizetype position() const { return m_pos; }

private:
    bool readControl(RtfToken &token);

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};
