#include "richtext/notetext.h"

#include "richtext/contenttext.h"
#include "richtext/textformat.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>

namespace {

// Gives the marks of the tables in frame (QTextBeginningOfFrame before each cell,
// QTextEndOfFrame after the table) and the breaks between a cell's paragraphs their meaning in
// a note's text.
void flattenTables(const QTextFrame &frame, QString &text)
{
    const QList<QTextFrame *> frames = frame.childFrames();
    for (const QTextFrame *child : frames) {
        const auto *table = qobject_cast<const QTextTable *>(child);
        if (!table) {
            flattenTables(*child, text);
            continue;
        }
        for (int row = 0; row < table->rows(); ++row) {
            bool first = true;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column)
                    continue; // covered by a merged cell
                text[cell.firstPosition() - 1] = first ? QChar::ParagraphSeparator : QChar(u'\t');
                first = false;
                for (int i = cell.firstPosition(); i < cell.lastPosition(); ++i) {
                    if (text[i] == QChar::ParagraphSeparator)
                        text[i] = QChar::LineSeparator;
                }
            }
        }
        flattenTables(*table, text);
        text[table->lastPosition()] = QChar::ParagraphSeparator;
    }
}

} // namespace

QString NoteText::textOf(const QTextDocument &document)
{
    QString text = document.toRawText();
    const QTextFrame &root = *document.rootFrame();
    if (root.childFrames().isEmpty())
        return text;
    flattenTables(root, text);
    // The paragraph the document keeps after a table that ends it.
    const auto *last = qobject_cast<const QTextTable *>(root.childFrames().constLast());
    if (last && last->lastPosition() == text.size() - 1)
        text.chop(1);
    return text;
}

void NoteTextBuilder::object(bool hidden)
{
    if (hidden)
        m_note.hidden.push_back(m_note.text.size());
    m_note.text += QChar::ObjectReplacementCharacter;
}

QString NoteText::inserted(QStringView text)
{
    NoteText note;
    NoteTextBuilder builder(note);
    ContentText::insert(builder, text);
    return note.text;
}

NoteText NoteText::ofDocument(const QTextDocument &document)
{
    NoteText note;
    note.text = textOf(document);
    const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
    for (const QTextFrame *frame : frames) {
        if (qobject_cast<const QTextTable *>(frame))
            note.tables.push_back({frame->firstPosition() - 1, frame->lastPosition()});
    }
    // A note has few formats: one without hidden text (almost every note) is not searched.
    const QList<QTextFormat> formats = document.allFormats();
    if (std::none_of(formats.cbegin(), formats.cend(), [](const QTextFormat &format) {
            return format.objectType() == TextFormat::HiddenTextType;
        }))
        return note;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().objectType() != TextFormat::HiddenTextType)
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                note.hidden.push_back(fragment.position() + i);
        }
    }
    return note;
}

QString NoteText::plainText() const &
{
    return NoteText(*this).plainText();
}

QString NoteText::plainText() &&
{
    if (text.isEmpty())
        return {};
    // In place: the text only shrinks, but for the line feed that ends it.
    text.reserve(text.size() + 1);
    QChar *const data = text.data();
    auto left = hidden.cbegin();
    qsizetype used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (left != hidden.cend() && *left == i) {
            ++left;
            continue;
        }
        const QChar c = data[i];
        // Every break lies at or above the line separator: one comparison passes over almost
        // every character.
        data[used++] = c >= QChar::LineSeparator && TextFormat::isBreak(c) ? QChar(u'\n') : c;
    }
    text.resize(used);
    text += u'\n';
    hidden.clear();
    return std::move(text);
}

QString NoteText::withCrLf(const QString &text)
{
    const qsizetype breaks = std::count_if(text.cbegin(), text.cend(), TextFormat::isBreak);
    QString result(text.size() + breaks, Qt::Uninitialized);
    QChar *out = result.data();
    for (const QChar c : text) {
        if (c >= QChar::LineSeparator && TextFormat::isBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return result;
}

QString NoteText::withCrLf() const
{
    return withCrLf(text);
}
