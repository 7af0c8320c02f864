#pragma once

#include "richtext/textsink.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QTextCharFormat;
class QTextDocument;

// A note's text read straight from its file data, without a document: for
// whatever needs only the text (printing, searching, filtering, calculating
// for print). It is character for character what a document read from the
// same data holds.
struct NoteText
{
    // As QTextDocument::toRawText() gives it for a document read from the data:
    // paragraphs separated by U+2029, line breaks inside them U+2028, one U+FFFC
    // for each picture, object and piece of hidden text.
    QString text;
    // Where in text the U+FFFC that stand for hidden text are, ascending.
    std::vector<qsizetype> hidden;
    // Where the tables are in text, ascending: from the break before each one's first row to the
    // end of its last cell. A break inside a table is a line of its row (U+2028).
    std::vector<std::pair<qsizetype, qsizetype>> tables;
    // Why the data could be read only in part (a file cut short); empty for a
    // whole note.
    QString damage;

    // RtfReader::readText reads it. Text whose character format leaveOut accepts is left out, and
    // so is a paragraph break whose mark has such a format: the text the document holds once
    // everything in those formats is removed from it.
    using FormatFilter = std::function<bool(const QTextCharFormat &)>;
    // text as a document holds it once inserted (QTextCursor::insertText): every CR LF, CR, LF
    // and paragraph or frame mark a paragraph break.
    static QString inserted(QStringView text);

    // The text of a document, with its hidden text.
    static NoteText ofDocument(const QTextDocument &document);
    // QTextDocument::toRawText() with each table row one paragraph: its cells are separated by
    // tabs and a cell's paragraphs are lines. Every position stays the document's; only an
    // empty last paragraph after a table, which the document cannot do without, is left out.
    static QString textOf(const QTextDocument &document);

    // The text as printed: every paragraph followed by LF, line breaks as LF,
    // U+FFFC for each picture or object, hidden text left out; empty for an
    // empty note. Taken from a note that is not needed afterwards, the text is
    // made plain in place.
    QString plainText() const &;
    QString plainText() &&;
    // The text with every break CR LF, as RichDocument::Text() gives it.
    QString withCrLf() const;
    static QString withCrLf(const QString &text);
};

// Builds a note's text from what a reader hands over.
class NoteTextBuilder final : public TextSink
{
public:
    explicit NoteTextBuilder(NoteText &note)
        : m_note(note)
    {}

    void text(QStringView text) override { m_note.text += text; }
    void object(bool hidden) override;
    void paragraphBreak() override { m_note.text += QChar::ParagraphSeparator; }
    void tableBegins() override { m_note.tables.push_back({m_note.text.size(), 0}); }
    void tableEnds() override { m_note.tables.back().second = m_note.text.size(); }

private:
    NoteText &m_note;
};
