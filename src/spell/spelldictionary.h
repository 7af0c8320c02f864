#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

// One installed Hunspell dictionary (a .aff and a .dic file), read in its own
// character encoding. Dictionaries in an encoding other than UTF-8 or
// ISO-8859-1 are not opened.
class SpellDictionary
{
public:
    // The dictionary whose files are affPath and the .dic beside it, or none
    // when they cannot be read.
    static std::unique_ptr<SpellDictionary> open(const QString &affPath);
    ~SpellDictionary();

    bool isCorrect(const QString &word) const;
    QStringList suggestions(const QString &word) const;
    // Accepts word as correct for the rest of the run.
    void add(const QString &word);

private:
    SpellDictionary(std::unique_ptr<Hunspell> hunspell, bool utf8);
    std::string encode(const QString &word) const;
    QString decode(const std::string &word) const;

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_utf8;
};
