#pragma once

#include "spell/personalwords.h"

#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class SpellDictionary;

// Spell checking of note text, shared by every note: the installed
// dictionaries (each read once, when a note first needs it), the user's own
// word list, which words of a text are checked, and which of them are
// misspelled. Languages are named like the dictionary files ("de_DE",
// "en_US", "fr").
class SpellChecker
{
public:
    SpellChecker(QStringList dictionaryFolders, const QString &personalWordsPath);
    ~SpellChecker();
    SpellChecker(const SpellChecker &) = delete;
    SpellChecker &operator=(const SpellChecker &) = delete;

    // The folders where the system keeps Hunspell dictionaries, those named by
    // DICPATH first.
    static QStringList systemDictionaryFolders();

    // The languages with an installed dictionary, each dictionary once
    // (variants that only link to another are left out), sorted.
    QStringList languages() const { return m_languages; }

    // The language a text is written in, told by its most frequent short
    // words; where the text does not tell, the locale's language, else
    // English, else the first installed. Empty when none is installed.
    QString guessLanguage(const QString &text, const QLocale &locale) const;

    struct Word
    {
        int position;
        int length;
        bool operator==(const Word &) const = default;
    };
    // The words of text that are checked: runs of letters (apostrophes
    // between letters included), except single letters, words with digits,
    // dots or capitals inside (abbreviations, names in code), words in
    // capitals only, function names before "(", web and mail addresses and
    // encrypted markers.
    static QList<Word> checkedWords(const QString &text);

    bool isCorrect(const QString &language, const QString &word);
    QList<Word> misspelledWords(const QString &language, const QString &text);
    QStringList suggestions(const QString &language, const QString &word);

    // Accepts word in every language from now on and keeps it in the user's
    // word list. False, with *error saying why, when the list could not be
    // written (the word is accepted for this run all the same).
    bool addWord(const QString &word, QString *error);

private:
    // The language's dictionary, read on first use; none when it cannot be.
    SpellDictionary *dictionary(const QString &language);

    QHash<QString, QString> m_affFiles; // language -> .aff path
    QStringList m_languages;
    std::map<QString, std::unique_ptr<SpellDictionary>> m_dictionaries;
    // Each language's verdicts on the words seen so far: the same words come
    // back each time the visible part of a note is checked.
    QHash<QString, QHash<QString, bool>> m_verdicts;
    PersonalWords m_personal;
};
