#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument (or part of it) as a complete RTF 1.x document that
// RtfReader and other RTF readers open with the same text and attributes.
class RtfWriter
{
public:
    // A complete RTF document of the positions [from, to) of document (to < 0: the end).
    static QByteArray write(const QTextDocument &document, int from = 0, int to = -1);
};
