#pragma once

#include <QString>

class QTextBlock;
class QTextListFormat;

// The label a list paragraph shows before its text ("3.", "(b)", "iv)", the bullet), counted
// from the list's first number (TextFormat::ListStart), which QTextList itself does not know.
class ListLabel
{
public:
    // The label of block, or an empty string when it is in no list.
    static QString of(const QTextBlock &block);
    // The label of the item with the given number (1 for the first) in a list of that format.
    static QString of(const QTextListFormat &format, int number);
    // What follows a list's number: "." where the list does not say.
    static QString suffix(const QTextListFormat &format);
    // The bullet of a bulleted list's format, or an empty string for a numbered list.
    static QString bullet(const QTextListFormat &format);
};
