#pragma once

#include "spell/spellchecker.h"

#include <QObject>

// What every note window shares of spell checking: the checker with its
// dictionaries and the user's word list, and the "Spell Check" switch kept
// in the settings file ("SpellCheck" in [Main]). Windows follow its signals,
// so a switch or a word added in one note reaches all open notes.
class SpellService : public QObject
{
    Q_OBJECT

public:
    SpellService(const QStringList &dictionaryFolders, const QString &personalWordsPath,
                 QString settingsPath, QObject *parent = nullptr);

    // The program's own: the system's dictionaries, the word list
    // "QelNotesWords.txt" in the data folder and the program's settings file.
    static SpellService &instance();

    SpellChecker &checker() { return m_checker; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // See SpellChecker::addWord.
    bool addWord(const QString &word, QString *error);

Q_SIGNALS:
    void enabledChanged(bool enabled);
    void wordsChanged();

private:
    SpellChecker m_checker;
    QString m_settingsPath;
    bool m_enabled;
};
