#pragma once

#include <QStringView>

// Receives a note's text as a document read from its data holds it, piece by piece and in
// order, from a reader that builds no document (RtfReader::readText).
class TextSink
{
public:
    virtual ~TextSink() = default;

    // Characters of one paragraph; a line break inside it is U+2028.
    virtual void text(QStringView text) = 0;
    // One U+FFFC: a picture or an object, or a piece of hidden text.
    virtual void object(bool hidden) = 0;
    // The break between two paragraphs (U+2029).
    virtual void paragraphBreak() = 0;
    // A table begins: the paragraph break before its first row follows; and the table ends,
    // after its last cell.
    virtual void tableBegins() {}
    virtual void tableEnds() {}
};
