#include "platform/interfacelanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

const QStringList TsFiles{u"qelnotes_de.ts"_qs, u"qelnotes_fr.ts"_qs};

const char *const HowToUpdate
    = "Bring the translations up to date with `cmake --build build/test --target "
      "update_translations`, then translate the new entries in translations/*.ts (README, "
      "\"Translations\").";

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or none
};

QList<Message> readTs(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + u": "_qs + file.errorString();
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            messages.append({context, {}, {}, {}});
        } else if (xml.name() == u"source" && !messages.isEmpty()) {
            messages.last().source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == u"translation" && !messages.isEmpty()) {
            messages.last().type = xml.attributes().value(QLatin1String("type")).toString();
            messages.last().translation
                = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    if (xml.hasError())
        *error = path + u": "_qs + xml.errorString();
    return messages;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(u"%L?\\d+"_qs);
    QStringList found;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        found.append(it.next().captured());
    found.sort();
    return found;
}

// The mnemonics of a menu text ("&&" is a plain ampersand).
qsizetype accelerators(QString text)
{
    return text.remove(u"&&"_qs).count(u'&');
}

QString describe(const Message &message)
{
    return u"  [%1] \"%2\" -> \"%3\""_qs.arg(message.context, message.source, message.translation);
}

} // namespace

class tst_Translations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void everyEntryIsTranslated_data();
    void everyEntryIsTranslated();
    void everyInterfaceTextIsInTheTranslations();
    void installsTheLanguageOfTheLocale_data();
    void installsTheLanguageOfTheLocale();
};

void tst_Translations::cleanup()
{
    for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

void tst_Translations::everyEntryIsTranslated_data()
{
    QTest::addColumn<QString>("file");
    for (const QString &file : TsFiles)
        QTest::newRow(qPrintable(file)) << file;
}

void tst_Translations::everyEntryIsTranslated()
{
    QFETCH(QString, file);
    QString error;
    const QList<Message> messages
        = readTs(QStringLiteral(QEL_SOURCE_DIR "/translations/") + file, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    QStringList faults;
    for (const Message &message : messages) {
        QString fault;
        if (!message.type.isEmpty() || message.translation.trimmed().isEmpty())
            fault = u"not translated"_qs;
        else if (placeholders(message.source) != placeholders(message.translation))
            fault = u"placeholders differ"_qs;
        else if (accelerators(message.source) != accelerators(message.translation))
            fault = u"accelerator lost or added"_qs;
        else if (message.source.count(u'|') != message.translation.count(u'|'))
            fault = u"the short and the long hint need their \"|\""_qs;
        if (!fault.isEmpty())
            faults.append(fault + u":\n"_qs + describe(message));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(file + u":\n"_qs + faults.join(u'\n') + u'\n'
                                          + QLatin1String(HowToUpdate)));
}

void tst_Translations::everyInterfaceTextIsInTheTranslations()
{
    QTemporaryDir folder;
    const QString scanned = folder.filePath(u"scanned_de.ts"_qs);
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(QEL_SOURCE_DIR));
    lupdate.start(QStringLiteral(QEL_LUPDATE),
                  {u"-silent"_qs, u"-no-obsolete"_qs, u"-locations"_qs, u"none"_qs,
                   u"-extensions"_qs, u"cpp,h"_qs, u"src"_qs, u"-ts"_qs, scanned});
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QCOMPARE(lupdate.exitCode(), 0);
    QString error;
    QSet<std::pair<QString, QString>> texts;
    for (const Message &message : readTs(scanned, &error))
        texts.insert({message.context, message.source});
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(texts.size() > 100);

    for (const QString &file : TsFiles) {
        QSet<std::pair<QString, QString>> translated;
        for (const Message &message :
             readTs(QStringLiteral(QEL_SOURCE_DIR "/translations/") + file, &error))
            translated.insert({message.context, message.source});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList faults;
        for (const auto &[context, source] : texts - translated)
            faults.append(u"  missing [%1] \"%2\""_qs.arg(context, source));
        for (const auto &[context, source] : translated - texts)
            faults.append(u"  no longer in src/: [%1] \"%2\""_qs.arg(context, source));
        faults.sort();
        QVERIFY2(faults.isEmpty(), qPrintable(file + u":\n"_qs + faults.join(u'\n') + u'\n'
                                              + QLatin1String(HowToUpdate)));
    }
}

void tst_Translations::installsTheLanguageOfTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("bold");   // the program's own text
    QTest::addColumn<QString>("cancel"); // Qt's button text
    QTest::newRow("German") << u"de_DE"_qs << u"&Fett"_qs << u"Abbrechen"_qs;
    QTest::newRow("French, Swiss") << u"fr_CH"_qs << u"&Gras"_qs << u"Annuler"_qs;
    QTest::newRow("only Qt's own") << u"fi_FI"_qs << u"&Bold"_qs << u"Peru"_qs;
    QTest::newRow("no translation: English") << u"is_IS"_qs << u"&Bold"_qs << u"Cancel"_qs;
}

void tst_Translations::installsTheLanguageOfTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, bold);
    QFETCH(QString, cancel);
    InstallInterfaceLanguage(QLocale(locale), u":/i18n"_qs,
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QCOMPARE(QCoreApplication::translate("TDM", "&Bold"), bold);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
}

QTEST_GUILESS_MAIN(tst_Translations)
#include "tst_translations.moc"
