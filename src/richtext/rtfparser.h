#pragma once

#include "richtext/rtfcontent.h"

#include <QByteArrayView>

// Reads a whole RTF document into RtfContent. The data must begin with "{\rtf".
class RtfParser
{
public:
    // Groups nested deeper than this are refused: real documents stay far below.
    static constexpr int MaxDepth = 1000;
    // Pictures decoded from one document take at most this many bytes of
    // pixels; the rest are kept as RTF like undecodable pictures.
    static constexpr qint64 MaxImageBytes = 512 * 1024 * 1024;

    // False with an error message when the document cannot be read.
    static bool parse(QByteArrayView data, RtfContent *content, QString *error);
};
