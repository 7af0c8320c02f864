#include "spell/personalwords.h"
#include "spell/spellchecker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_SpellChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void checkedWords_data();
    void checkedWords();
    void misspelledWordsAndSuggestions_data();
    void misspelledWordsAndSuggestions();
    void guessesTheLanguage_data();
    void guessesTheLanguage();
    void addedWordIsKeptWithThoseOfAnotherCopy();
    void unreadableWordListIsNeverReplaced();

private:
    QString wordsPath() const { return m_folder.filePath(u"words.txt"_qs); }

    QTemporaryDir m_folder;
};

void tst_SpellChecker::initTestCase()
{
    const QStringList languages
        = SpellChecker(SpellChecker::systemDictionaryFolders(), wordsPath()).languages();
    for (const QString &needed : {u"de_DE"_qs, u"en_US"_qs, u"fr"_qs}) {
        if (!languages.contains(needed))
            QFAIL(qPrintable(needed + u" is not installed (scripts/packages brings it)"_qs));
    }
    // Variants that only link to another dictionary are not offered twice.
    QVERIFY(!languages.contains(u"de_BE"_qs));
}

void tst_SpellChecker::checkedWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("plain") << u"Ein kleiner Test"_qs
                           << QStringList{u"Ein"_qs, u"kleiner"_qs, u"Test"_qs};
    QTest::newRow("apostrophes") << u"don't 'quoted' l’homme"_qs
                                 << QStringList{u"don't"_qs, u"quoted"_qs, u"l’homme"_qs};
    QTest::newRow("calculation") << u"radius := 3\nsqrt(radius * 2) = 2.449"_qs
                                 << QStringList{u"radius"_qs, u"radius"_qs};
    QTest::newRow("not words")
        << u"a NASA abc123 snake_case camelCase www.example.org me@mail.example 3rd"_qs
        << QStringList();
    QTest::newRow("encrypted marker") << u"before QelCrypt:#016#35#75#122#186#121#18#33#13 after"_qs
                                      << QStringList{u"before"_qs, u"after"_qs};
}

void tst_SpellChecker::checkedWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QStringList found;
    for (const SpellChecker::Word &word : SpellChecker::checkedWords(text))
        found.append(text.mid(word.position, word.length));
    QCOMPARE(found, words);
}

void tst_SpellChecker::misspelledWordsAndSuggestions_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("misspelled");
    QTest::addColumn<QString>("suggestion");
    QTest::newRow("en_US") << u"en_US"_qs << u"This sentense isn't right."_qs << u"sentense"_qs
                           << u"sentence"_qs;
    QTest::newRow("de_DE") << u"de_DE"_qs << u"Die Straße ist nass, der Fehlr nicht."_qs
                           << u"Fehlr"_qs << u"Fehler"_qs;
    QTest::newRow("fr") << u"fr"_qs << u"L’été est très chaud, la maisonn aussi."_qs
                        << u"maisonn"_qs << u"maison"_qs;
}

void tst_SpellChecker::misspelledWordsAndSuggestions()
{
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, misspelled);
    QFETCH(QString, suggestion);
    SpellChecker checker(SpellChecker::systemDictionaryFolders(), wordsPath());
    const QList<SpellChecker::Word> found = checker.misspelledWords(language, text);
    QCOMPARE(found.size(), 1);
    QCOMPARE(text.mid(found[0].position, found[0].length), misspelled);
    QVERIFY2(checker.suggestions(language, misspelled).contains(suggestion),
             qPrintable(checker.suggestions(language, misspelled).join(u", ")));
    // A language without a dictionary marks nothing.
    QVERIFY(checker.misspelledWords(u"xx_XX"_qs, text).isEmpty());
}

void tst_SpellChecker::guessesTheLanguage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language");
    QTest::newRow("german text, english locale")
        << u"Einkaufen: Brot und Milch, die Katze ist auch noch da."_qs << u"en_US"_qs
        << u"de_DE"_qs;
    QTest::newRow("french text, german locale")
        << u"Réunion avec le client pour la facture et les devis."_qs << u"de_DE"_qs << u"fr"_qs;
    QTest::newRow("english text") << u"Call the bank and ask for the form."_qs << u"fr_FR"_qs
                                  << u"en_US"_qs;
    QTest::newRow("no words: the locale") << u"12 * 4 ="_qs << u"de_AT"_qs << u"de_DE"_qs;
    QTest::newRow("locale without dictionary: English") << QString() << u"ja_JP"_qs << u"en_US"_qs;
}

void tst_SpellChecker::guessesTheLanguage()
{
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(QString, language);
    SpellChecker checker(SpellChecker::systemDictionaryFolders(), wordsPath());
    QCOMPARE(checker.guessLanguage(text, QLocale(locale)), language);
}

void tst_SpellChecker::addedWordIsKeptWithThoseOfAnotherCopy()
{
    QFile::remove(wordsPath());
    SpellChecker checker(SpellChecker::systemDictionaryFolders(), wordsPath());
    QVERIFY(!checker.isCorrect(u"en_US"_qs, u"Qelbert"_qs));
    // Another machine's copy wrote the list meanwhile.
    {
        QFile other(wordsPath());
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("Zorbl\n");
    }
    QString error;
    QVERIFY2(checker.addWord(u"Qelbert"_qs, &error), qPrintable(error));
    QVERIFY(checker.isCorrect(u"en_US"_qs, u"Qelbert"_qs));
    QVERIFY(checker.isCorrect(u"de_DE"_qs, u"Qelbert"_qs));

    QFile file(wordsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Qelbert\nZorbl\n"));
    SpellChecker next(SpellChecker::systemDictionaryFolders(), wordsPath());
    QVERIFY(next.misspelledWords(u"fr"_qs, u"Qelbert et Zorbl"_qs).isEmpty());
}

void tst_SpellChecker::unreadableWordListIsNeverReplaced()
{
    const QString path = m_folder.filePath(u"big.txt"_qs);
    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(9 * 1024 * 1024));
    big.close();
    PersonalWords words(path);
    QString error;
    QVERIFY(!words.add(u"Qelbert"_qs, &error));
    QVERIFY(error.startsWith(path));
    QCOMPARE(QFileInfo(path).size(), 9 * 1024 * 1024);
    QVERIFY(words.contains(u"Qelbert"_qs));
}

QTEST_APPLESS_MAIN(tst_SpellChecker)
#include "tst_spellchecker.moc"
