#include "richtext/notequery.h"

#include <QRegularExpression>

#include <algorithm>

NoteQuery::NoteQuery(const QString &text)
    : m_words(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
{
    for (const QString &word : std::as_const(m_words))
        m_foldedWords << folded(word);
}

bool NoteQuery::matches(QStringView text) const
{
    return std::all_of(m_words.cbegin(), m_words.cend(), [text](const QString &word) {
        return text.contains(word, Qt::CaseInsensitive);
    });
}

bool NoteQuery::matchesFolded(QStringView foldedText) const
{
    return std::all_of(m_foldedWords.cbegin(), m_foldedWords.cend(),
                       [foldedText](const QString &word) { return foldedText.contains(word); });
}

bool NoteQuery::narrows(const NoteQuery &wider) const
{
    return std::all_of(wider.m_foldedWords.cbegin(), wider.m_foldedWords.cend(),
                       [this](const QString &widerWord) {
                           return std::any_of(m_foldedWords.cbegin(), m_foldedWords.cend(),
                                              [&widerWord](const QString &word) {
                                                  return word.contains(widerWord);
                                              });
                       });
}

QStringView NoteQuery::firstMatchingLine(QStringView text) const
{
    const auto isBreak = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator
               || c == QChar::LineSeparator;
    };
    qsizetype begin = 0;
    while (begin <= text.size()) {
        qsizetype end = begin;
        while (end < text.size() && !isBreak(text.at(end)))
            ++end;
        const QStringView line = text.sliced(begin, end - begin);
        for (const QString &word : m_words) {
            if (line.contains(word, Qt::CaseInsensitive))
                return line;
        }
        begin = end + 1;
    }
    return {};
}
