#pragma once

#include <QObject>
#include <QString>

// The module of shared non-visual parts created at start-up. It holds the
// interface-language manager; the interface is English and its texts are
// not translated, so the manager only names the language and the files a
// translation would come from.
class TQelBase : public QObject
{
public:
    struct LanguageManager
    {
        QString language = QStringLiteral("English");
        QString fileExtension = QStringLiteral(".lan");
    };

    using QObject::QObject;

    LanguageManager LanMan;
};
