#include "platform/windowrecord.h"

#include "platform/settingsfile.h"

QRect readWindowRecord(const SettingsFile &ini, const QString &section, const QRect &current)
{
    return {ini.readInteger(section, QStringLiteral("Left"), current.x()),
            ini.readInteger(section, QStringLiteral("Top"), current.y()),
            ini.readInteger(section, QStringLiteral("Width"), current.width()),
            ini.readInteger(section, QStringLiteral("Height"), current.height())};
}

bool writeWindowRecord(SettingsFile &ini, const QString &section, const QRect &place,
                       WindowRecordKeys keys)
{
    const bool position = ini.writeInteger(section, QStringLiteral("Left"), place.x())
                          && ini.writeInteger(section, QStringLiteral("Top"), place.y());
    if (!position || keys == WindowRecordKeys::Position)
        return position;
    return ini.writeInteger(section, QStringLiteral("Width"), place.width())
           && ini.writeInteger(section, QStringLiteral("Height"), place.height());
}
