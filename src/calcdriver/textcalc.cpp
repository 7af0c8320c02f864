#include "calcdriver/textcalc.h"

#include "calcdriver/writtenfont.h"
#include "richtext/richdocument.h"
#include "richtext/textformat.h"

#include <QImage>

#include <algorithm>

namespace {

// A cell's paragraphs are lines of its row.
QString breaksAsLines(QString text)
{
    std::replace(text.begin(), text.end(), QChar(QChar::ParagraphSeparator),
                 QChar(QChar::LineSeparator));
    return text;
}

} // namespace

TextCalc::TextCalc()
{
    m_parser.OnDisplayResult = [this](TStrParser &, int StartPos, int, const QString &AResult) {
        m_pending.push_back({StartPos, AResult});
    };
    m_parser.OnDisplayError = [this](TStrParser &, int APos, const QString &AnError) {
        m_pending.push_back({APos, AnError});
    };
    m_parser.OnPlot = [this](const TPlotData &data, int position) { return plot(data, position); };
}

NoteText::FormatFilter TextCalc::earlierResults()
{
    // A document's default face and size, as a new note editor has them.
    const TextFont standard = TextFont::standard();
    const QString family = standard.font.family();
    const int size = standard.font.pointSize();
    return
        [result = WrittenFont(WrittenFont::result(), family, size),
         error = WrittenFont(WrittenFont::error(), family, size)](const QTextCharFormat &format) {
            return result.matches(format) || error.matches(format);
        };
}

void TextCalc::run(NoteText &note)
{
    m_note = &note;
    m_parser.Run(note.withCrLf());
    writePending();
    m_note = nullptr;
}

void TextCalc::writePending()
{
    if (m_pending.empty())
        return;
    QString &text = m_note->text;
    std::vector<QString> texts;
    texts.reserve(m_pending.size());
    // Where each text goes in the text as it is now; a run writes down the note, each text after
    // the one before it: then all are spliced in one pass.
    std::vector<qsizetype> at;
    at.reserve(m_pending.size());
    bool ordered = true;
    qsizetype length = text.size();
    qsizetype grown = 0;
    qsizetype end = 0; // of the text before, as the note has grown so far
    for (const Insertion &pending : m_pending) {
        QString inserted = NoteText::inserted(pending.text);
        const qsizetype position = std::clamp<qsizetype>(pending.position, 0, length);
        ordered = ordered && position >= end;
        end = position + inserted.size();
        length += inserted.size();
        at.push_back(position - grown);
        grown += inserted.size();
        texts.push_back(std::move(inserted));
    }
    if (!ordered) {
        for (size_t i = 0; i < m_pending.size(); ++i) {
            const qsizetype position = std::clamp<qsizetype>(m_pending[i].position, 0, text.size());
            insert(position, inTable(position) ? breaksAsLines(texts[i]) : texts[i]);
        }
        m_pending.clear();
        return;
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        if (inTable(at[i]))
            texts[i] = breaksAsLines(std::move(texts[i]));
    }
    // A text inserted at a table's first break goes before the table, one at its end into it.
    for (auto &[first, last] : m_note->tables) {
        qsizetype firstGrown = first, lastGrown = last;
        for (size_t i = 0; i < texts.size(); ++i) {
            firstGrown += at[i] <= first ? texts[i].size() : 0;
            lastGrown += at[i] <= last ? texts[i].size() : 0;
        }
        first = firstGrown;
        last = lastGrown;
    }
    QString spliced;
    spliced.reserve(text.size() + grown);
    auto hidden = m_note->hidden.begin();
    qsizetype from = 0;
    qsizetype shift = 0;
    const auto copyUpTo = [&](qsizetype to) {
        spliced += QStringView(text).sliced(from, to - from);
        for (; hidden != m_note->hidden.end() && *hidden < to; ++hidden)
            *hidden += shift;
        from = to;
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        copyUpTo(at[i]);
        spliced += texts[i];
        shift += texts[i].size();
    }
    copyUpTo(text.size());
    text = std::move(spliced);
    m_pending.clear();
}

int TextCalc::plot(const TPlotData &data, int position)
{
    writePending();
    if (!m_plotRenderer)
        return 0;
    const QImage picture = m_plotRenderer(
        data, TCalcDriver::PlotSize(RichDocument::DefaultEditorSize), TextFont::standard().font);
    if (picture.isNull())
        return 0;
    const QString &text = m_note->text;
    qsizetype at = std::max(0, position);
    int growth = 0;
    // A call on the note's last line gets a line of its own for the picture.
    if (at > text.size()) {
        at = text.size();
        insert(at, QString(QChar::ParagraphSeparator));
        ++at;
        ++growth;
    }
    // The picture an earlier run put there, with its line break, is replaced.
    if (at + 1 < text.size() && text.at(at) == QChar::ObjectReplacementCharacter
        && TextFormat::isBreak(text.at(at + 1))) {
        remove(at, 2);
        growth -= 2;
    }
    insert(at, QString(QChar::ObjectReplacementCharacter)
                   + QChar(inTable(at) ? QChar::LineSeparator : QChar::ParagraphSeparator));
    return growth + 2;
}

bool TextCalc::inTable(qsizetype position) const
{
    return std::any_of(m_note->tables.cbegin(), m_note->tables.cend(), [&](const auto &table) {
        return table.first < position && position <= table.second;
    });
}

void TextCalc::insert(qsizetype position, const QString &inserted)
{
    m_note->text.insert(position, inserted);
    for (auto &[first, last] : m_note->tables) {
        first += position <= first ? inserted.size() : 0;
        last += position <= last ? inserted.size() : 0;
    }
    for (qsizetype &hidden : m_note->hidden) {
        if (hidden >= position)
            hidden += inserted.size();
    }
}

void TextCalc::remove(qsizetype position, qsizetype count)
{
    m_note->text.remove(position, count);
    for (auto &[first, last] : m_note->tables) {
        for (qsizetype *end : {&first, &last})
            *end -= std::clamp<qsizetype>(*end - position, 0, count);
    }
    auto &hidden = m_note->hidden;
    hidden.erase(std::remove_if(hidden.begin(), hidden.end(),
                                [&](qsizetype h) { return h >= position && h < position + count; }),
                 hidden.end());
    for (qsizetype &h : hidden) {
        if (h >= position + count)
            h -= count;
    }
}
