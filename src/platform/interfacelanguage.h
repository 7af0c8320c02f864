#pragma once

#include <QLocale>
#include <QString>

// Puts the interface into the user's language: the program's own
// translation ("qelnotes_<language>.qm" in programFolder) and Qt's for its
// standard dialogs and buttons ("qtbase_<language>.qm" in qtFolder), each
// chosen by locale's interface languages in order (LANGUAGE, then LC_ALL,
// LC_MESSAGES and LANG for the system locale). Without a translation the
// texts stay English.
void InstallInterfaceLanguage(const QLocale &locale, const QString &programFolder,
                              const QString &qtFolder);

// The same with the translations built into the program and Qt's installed
// ones.
void InstallInterfaceLanguage(const QLocale &locale = QLocale());
