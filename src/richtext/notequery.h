#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// What the user looks for across the notes: the words of a typed text, every
// one of which a note must contain, in any letter case, to match.
class NoteQuery
{
public:
    explicit NoteQuery(const QString &text); // words are separated by white space

    bool isEmpty() const { return m_words.isEmpty(); }
    QStringList words() const { return m_words; }

    bool matches(QStringView text) const;
    // The first line of text (lines end at any line or paragraph break) that
    // holds one of the words; empty when none does.
    QStringView firstMatchingLine(QStringView text) const;

private:
    QStringList m_words;
};
