#pragma once

#include <QString>

// True when text is empty once the characters with codes up to 32 are
// removed from both ends.
bool IsBlank(const QString &text);

// Takes the next field of a separated list of integers off the front of text:
// leading blanks (code 32) are dropped, then everything up to the first
// separator (or the rest) is removed together with the separator. True, with
// value set, when the field trimmed of codes up to 32 is a 32-bit integer;
// false when it is not, and when nothing was left to take.
bool NextIntToken(QString &text, QChar separator, int &value);
