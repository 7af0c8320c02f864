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
    // The same for text already made folded(): what is matched again and again (the board's
    // filter at every keystroke) is folded once, and then compared as it is.
    bool matchesFolded(QStringView foldedText) const;
    // True when every text this query matches is also matched by wider: each word of
    // wider lies within a word of this one. A text wider misses, this one misses too.
    bool narrows(const NoteQuery &wider) const;
    static QString folded(const QString &text) { return text.toCaseFolded(); }
    // The first line of text (lines end at any line or paragraph break) that
    // holds one of the words; empty when none does.
    QStringView firstMatchingLine(QStringView text) const;

private:
    QStringList m_words;
    QStringList m_foldedWords;
};
