#pragma once

#include "richtext/rtfcontent.h"

#include <QByteArrayView>

// Reads a whole RTF document into RtfContent. The data must begin with "{\rtf".
class RtfParser
{
public:
    // Groups nested deeper than this are refused: real documents stay far below.
    static constexpr int MaxDepth = 1000;

    // False with an error message when the document cannot be read.
    static bool parse(QByteArrayView data, RtfContent *content, QString *error);
};
