#include "spell/spellchecker.h"

#include "crypt/cryptmarker.h"
#include "spell/spelldictionary.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTextBoundaryFinder>

namespace {

// Short words frequent in any text of a language and rare in the others.
const QHash<QLocale::Language, QSet<QString>> &commonWords()
{
    static const QHash<QLocale::Language, QSet<QString>> words{
        {QLocale::English,
         {"the",  "and", "is",  "are", "of",   "to", "that", "it", "with", "for",
          "this", "was", "you", "not", "have", "be", "on",   "at", "from", "what"}},
        {QLocale::German,
         {"der", "die", "das", "und", "ist", "nicht", "ein",  "eine", "ich",  "mit",
          "den", "dem", "zu",  "auf", "für", "sich",  "auch", "wir",  "sind", "noch"}},
        {QLocale::French, {"le", "la",  "les", "et",   "est",  "un",  "une",  "des", "du", "pas",
                           "je", "que", "qui", "dans", "pour", "sur", "avec", "ce",  "il", "sont"}},
    };
    return words;
}

// The words looked at to tell a note's language.
constexpr int GuessSampleWords = 2000;

bool isApostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

bool isChecked(QStringView word, QChar next)
{
    if (word.size() < 2 || next == QLatin1Char('('))
        return false;
    bool lower = false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        if (c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('_'))
            return false;
        if (c.isUpper() && i > 0 && !isApostrophe(word[i - 1]))
            return false;
        lower = lower || c.isLower();
    }
    return lower;
}

} // namespace

SpellChecker::SpellChecker(QStringList dictionaryFolders, const QString &personalWordsPath)
    : m_personal(personalWordsPath)
{
    // A dictionary that is only a link to another one (de_BE to de_DE) is
    // offered under the name of the file it links to.
    QHash<QString, QString> languageOfFile;
    for (const QString &folder : dictionaryFolders) {
        const QFileInfoList files
            = QDir(folder).entryInfoList({QStringLiteral("*.aff")}, QDir::Files, QDir::Name);
        for (const QFileInfo &aff : files) {
            const QString language = aff.completeBaseName();
            if (m_affFiles.contains(language)
                || !QFileInfo::exists(aff.path() + QLatin1Char('/') + language
                                      + QStringLiteral(".dic")))
                continue;
            m_affFiles.insert(language, aff.filePath());
            const QString target = aff.canonicalFilePath();
            if (!languageOfFile.contains(target) || !aff.isSymLink())
                languageOfFile.insert(target, language);
        }
    }
    m_languages = languageOfFile.values();
    m_languages.sort();
}

SpellChecker::~SpellChecker() = default;

QStringList SpellChecker::systemDictionaryFolders()
{
    QStringList folders
        = qEnvironmentVariable("DICPATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders
        += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                     QStringLiteral("hunspell"), QStandardPaths::LocateDirectory);
    return folders;
}

QString SpellChecker::guessLanguage(const QString &text, const QLocale &locale) const
{
    if (m_languages.isEmpty())
        return {};
    QHash<QLocale::Language, int> hits;
    int seen = 0;
    for (const Word &word : checkedWords(text)) {
        const QString lower = text.mid(word.position, word.length).toLower();
        for (auto it = commonWords().cbegin(); it != commonWords().cend(); ++it) {
            if (it->contains(lower))
                ++hits[it.key()];
        }
        if (++seen == GuessSampleWords)
            break;
    }
    // The installed dictionary of a language, the locale's country first.
    const auto installed = [&](QLocale::Language language) {
        QString found;
        for (const QString &name : m_languages) {
            const QLocale dictionary(name);
            if (dictionary.language() != language)
                continue;
            if (dictionary.territory() == locale.territory())
                return name;
            if (found.isEmpty())
                found = name;
        }
        return found;
    };
    QLocale::Language best = QLocale::AnyLanguage;
    int bestHits = 0;
    for (auto it = hits.cbegin(); it != hits.cend(); ++it) {
        if (it.value() > bestHits && !installed(it.key()).isEmpty()) {
            best = it.key();
            bestHits = it.value();
        }
    }
    for (const QLocale::Language language : {best, locale.language(), QLocale::English}) {
        const QString name = installed(language);
        if (!name.isEmpty())
            return name;
    }
    return m_languages.first();
}

QList<SpellChecker::Word> SpellChecker::checkedWords(const QString &text)
{
    QList<Word> words;
    // Encrypted markers and web and mail addresses, in the order of the text.
    static const QRegularExpression addresses(
        CryptMarker::Prefix + QStringLiteral("[#0-9]*|\\S*(?:://|@|www\\.)\\S*"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Word> markers;
    for (auto it = addresses.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        markers.append({int(match.capturedStart()), int(match.capturedLength())});
    }
    auto marker = markers.cbegin();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    for (qsizetype start = 0, end; (end = finder.toNextBoundary()) >= 0; start = end) {
        if (!(finder.boundaryReasons() & QTextBoundaryFinder::EndOfItem))
            continue;
        qsizetype from = start;
        qsizetype to = end;
        while (from < to && isApostrophe(text[from]))
            ++from;
        while (to > from && isApostrophe(text[to - 1]))
            --to;
        if (from == to || !text[from].isLetter())
            continue;
        while (marker != markers.cend() && marker->position + marker->length <= from)
            ++marker;
        if (marker != markers.cend() && marker->position < to)
            continue;
        const QChar next = end < text.size() ? text[end] : QChar();
        if (isChecked(QStringView(text).mid(from, to - from), next))
            words.append({int(from), int(to - from)});
    }
    return words;
}

SpellDictionary *SpellChecker::dictionary(const QString &language)
{
    auto loaded = m_dictionaries.find(language);
    if (loaded == m_dictionaries.end()) {
        std::unique_ptr<SpellDictionary> opened
            = m_affFiles.contains(language) ? SpellDictionary::open(m_affFiles.value(language))
                                            : nullptr;
        if (opened) {
            for (const QString &word : m_personal.words())
                opened->add(word);
        }
        loaded = m_dictionaries.emplace(language, std::move(opened)).first;
    }
    return loaded->second.get();
}

bool SpellChecker::isCorrect(const QString &language, const QString &word)
{
    QHash<QString, bool> &verdicts = m_verdicts[language];
    const auto known = verdicts.constFind(word);
    if (known != verdicts.cend())
        return *known;
    SpellDictionary *words = dictionary(language);
    const bool correct = !words || m_personal.contains(word) || words->isCorrect(word);
    verdicts.insert(word, correct);
    return correct;
}

QList<SpellChecker::Word> SpellChecker::misspelledWords(const QString &language,
                                                        const QString &text)
{
    QList<Word> misspelled;
    for (const Word &word : checkedWords(text)) {
        if (!isCorrect(language, text.mid(word.position, word.length)))
            misspelled.append(word);
    }
    return misspelled;
}

QStringList SpellChecker::suggestions(const QString &language, const QString &word)
{
    SpellDictionary *words = dictionary(language);
    return words ? words->suggestions(word) : QStringList();
}

bool SpellChecker::addWord(const QString &word, QString *error)
{
    const bool written = m_personal.add(word, error);
    for (auto &[language, words] : m_dictionaries) {
        if (words)
            words->add(word);
    }
    for (QHash<QString, bool> &verdicts : m_verdicts)
        verdicts.remove(word);
    return written;
}
