#pragma once

#include "richtext/rtfcontent.h"

#include <QByteArrayView>

#include <functional>

// Reads an RTF document into RtfContent. The data must begin with "{\rtf".
class RtfParser
{
public:
    // Groups nested deeper than this share the state of the group at this
    // depth, so that hostile nesting costs no memory; real documents (mail
    // converted from HTML) nest a few thousand deep.
    static constexpr int MaxDepth = 10000;
    // Pictures decoded from one document take at most this many bytes of
    // pixels; the rest are kept as RTF like undecodable pictures.
    static constexpr qint64 MaxImageBytes = 512 * 1024 * 1024;

    // Every document is read: one cut short is read up to where it ends and
    // its content->damage says so. With a paragraph limit, reading stops once
    // that many paragraphs are complete (content->cut when more follow).
    static void parse(QByteArrayView data, RtfContent *content, int paragraphLimit = 0);

    // What becomes of the pictures and objects: for a reader that wants only the text, each is
    // an empty object, neither decoded nor copied.
    enum class Objects { Read, Placeholders };
    static void parse(QByteArrayView data, RtfContent *content, int paragraphLimit,
                      Objects objects);

    // Receives, while parsing goes on, a batch of paragraphs that are finished and followed by at
    // least two more: their text, runs and objects, and the formats known so far. The batch's
    // last paragraph is the one that follows, given without its runs. Text, runs and paragraphs
    // handed over leave the content, which ends up holding those after the last batch; indices
    // of objects and formats are those of the whole document. Later parts of the document may
    // still change a format handed over (a colour table after the text): the content's formats
    // are the final ones.
    using BatchSink = std::function<void(RtfContent &&batch)>;
    // The most paragraphs of a batch besides the one that follows.
    static constexpr int BatchParagraphs = 500;
    static void parse(QByteArrayView data, RtfContent *content, const BatchSink &sink);
};
