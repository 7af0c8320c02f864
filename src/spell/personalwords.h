#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The user's own word list: a UTF-8 text file in the data folder with one
// word a line, which every spell-check language accepts. The folder may be
// kept in step with other machines, so adding a word reads the file afresh
// and keeps the words another copy of the program has written meanwhile.
class PersonalWords
{
public:
    explicit PersonalWords(QString path);

    QString path() const { return m_path; }
    // The words as the file held them when last read or written.
    QStringList words() const { return m_words.values(); }
    bool contains(const QString &word) const { return m_words.contains(word); }

    // Reads the file again; a missing file is an empty list. False, with
    // *error saying why, when the file is there but cannot be read.
    bool reload(QString *error);
    // Adds word and writes the list, sorted. On failure the file is
    // unchanged, the word is still accepted for this run and *error says why.
    bool add(const QString &word, QString *error);

private:
    QString m_path;
    QSet<QString> m_words;
};
