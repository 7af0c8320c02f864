#pragma once

#include <QString>

// The title of a note's text: trimmed of characters up to code 32 at both
// ends, up to its first carriage return, or its first 14 characters when it
// has a single line, followed by "..".
QString NoteTitle(const QString &text);
