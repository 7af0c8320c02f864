#pragma once

#include "richtext/textsink.h"

#include <QString>
#include <QStringEncoder>

#include <cstdio>

// Prints a note's text as it comes from the reader, as NoteText::plainText
// gives it, in UTF-8 and a piece at a time: a long note is never held whole
// a second time.
class TextPrinter final : public TextSink
{
public:
    explicit TextPrinter(std::FILE *out)
        : m_out(out)
    {}

    void text(QStringView text) override;
    void object(bool hidden) override;
    void paragraphBreak() override;

    // Ends the text; false when writing failed.
    bool finish();

private:
    void add(QChar c);
    void flush();

    std::FILE *m_out;
    QString m_piece;
    QByteArray m_bytes;
    QStringEncoder m_utf8{QStringEncoder::Utf8};
    bool m_empty = true;
    bool m_failed = false;
};
