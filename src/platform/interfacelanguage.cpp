#include "platform/interfacelanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

void install(const QLocale &locale, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void InstallInterfaceLanguage(const QLocale &locale, const QString &programFolder,
                              const QString &qtFolder)
{
    install(locale, QStringLiteral("qelnotes"), programFolder);
    install(locale, QStringLiteral("qtbase"), qtFolder);
}

void InstallInterfaceLanguage(const QLocale &locale)
{
    InstallInterfaceLanguage(locale, QStringLiteral(":/i18n"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
