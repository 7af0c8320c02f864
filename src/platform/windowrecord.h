#pragma once

#include <QRect>

class QString;
class SettingsFile;

// A window's place in a record of the settings file: the keys Left and Top
// (the window frame's position) and Width and Height (the window's size
// inside its frame).
enum class WindowRecordKeys { Position, PositionAndSize };

// The place the record holds; a key that is missing takes current's value.
QRect readWindowRecord(const SettingsFile &ini, const QString &section, const QRect &current);

// Writes the place's keys; false when the file refuses (ini.errorString()).
bool writeWindowRecord(SettingsFile &ini, const QString &section, const QRect &place,
                       WindowRecordKeys keys = WindowRecordKeys::PositionAndSize);
