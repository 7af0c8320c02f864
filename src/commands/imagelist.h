#pragma once

#include <QIcon>

// The command module's one list of 16 x 16 pictures. Commands, menus and tool
// bars refer to a picture by its index, so the numbering is fixed. The
// pictures are our own drawings, whose strokes take the desktop palette's
// text colour (InkedIconEngine): icon themes often give bare grey marks made
// for light tool bars only, unreadable on dark ones.
class ImageList
{
public:
    static constexpr int Count = 73;
    static constexpr int Size = 16;

    // The picture at index; a null icon for the indexes no command uses.
    static QIcon icon(int index);
};
