#pragma once

#include <QIcon>

// The command module's one list of 16 x 16 pictures. Commands, menus and tool
// bars refer to a picture by its index, so the numbering is fixed; the pictures
// come from the desktop's icon theme (freedesktop names) and fall back to
// drawings of our own, so every button shows a picture on a bare system too.
class ImageList
{
public:
    static constexpr int Count = 73;
    static constexpr int Size = 16;

    // The picture at index; a null icon for the indexes no command uses.
    static QIcon icon(int index);

    // The picture at index as drawn by ourselves, ignoring the theme.
    static QIcon fallbackIcon(int index);
};
