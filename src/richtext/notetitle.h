#pragma once

#include <QByteArray>
#include <QString>

// The title of a note's text: trimmed of characters up to code 32 at both
// ends, up to its first carriage return, or its first 14 characters when it
// has a single line, followed by "..".
QString NoteTitle(const QString &text);

// NoteTitle of the text a note file's data (RTF or plain text) loads as, read
// from only as many of its first paragraphs as the title depends on: a board
// of many notes shows its rows before any note is read whole.
QString NoteTitleOfData(const QByteArray &data);
