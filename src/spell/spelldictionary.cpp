#include "spell/spelldictionary.h"

#include <hunspell.hxx>

#include <QFile>
#include <QFileInfo>

std::unique_ptr<SpellDictionary> SpellDictionary::open(const QString &affPath)
{
    QString dicPath = affPath;
    dicPath.replace(dicPath.size() - 4, 4, QStringLiteral(".dic"));
    if (!QFileInfo(affPath).isReadable() || !QFileInfo(dicPath).isReadable())
        return nullptr;
    auto hunspell = std::make_unique<Hunspell>(QFile::encodeName(affPath).constData(),
                                               QFile::encodeName(dicPath).constData());
    const QString encoding
        = QString::fromStdString(hunspell->get_dict_encoding()).toUpper().remove(QLatin1Char('-'));
    if (encoding == QLatin1String("UTF8"))
        return std::unique_ptr<SpellDictionary>(new SpellDictionary(std::move(hunspell), true));
    if (encoding == QLatin1String("ISO88591"))
        return std::unique_ptr<SpellDictionary>(new SpellDictionary(std::move(hunspell), false));
    return nullptr;
}

SpellDictionary::SpellDictionary(std::unique_ptr<Hunspell> hunspell, bool utf8)
    : m_hunspell(std::move(hunspell))
    , m_utf8(utf8)
{}

SpellDictionary::~SpellDictionary() = default;

std::string SpellDictionary::encode(const QString &word) const
{
    return m_utf8 ? word.toStdString() : word.toLatin1().toStdString();
}

QString SpellDictionary::decode(const std::string &word) const
{
    return m_utf8 ? QString::fromStdString(word) : QString::fromLatin1(word);
}

bool SpellDictionary::isCorrect(const QString &word) const
{
    // A word the dictionary's encoding cannot hold is not its to judge.
    if (!m_utf8) {
        for (const QChar c : word) {
            if (c.unicode() > 0xff)
                return true;
        }
    }
    return m_hunspell->spell(encode(word));
}

QStringList SpellDictionary::suggestions(const QString &word) const
{
    QStringList result;
    for (const std::string &suggestion : m_hunspell->suggest(encode(word)))
        result.append(decode(suggestion));
    return result;
}

void SpellDictionary::add(const QString &word)
{
    m_hunspell->add(encode(word));
}
