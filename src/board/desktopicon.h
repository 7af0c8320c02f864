#pragma once

#include <QRect>

class HoverCount;
class QObject;

// What the board needs of the desktop icon window, which lives in the layer
// above it: the shutdown it takes part in and the icon's auto-hide timer with
// the pointer count it goes by.
class DesktopIcon
{
public:
    virtual ~DesktopIcon() = default;

    // Ends the program; sender is the command's origin (the board when the
    // board's own Close passes it on).
    virtual void Close2Click(QObject *sender) = 0;
    // Begins a full auto-hide period anew.
    virtual void restartAutoHideTimer() = 0;
    // The board counts the pointer entering and leaving it and its parts here.
    virtual HoverCount &hoverCount() = 0;
    // Where the icon is on the screen; it stays above every other window, so
    // the board's dialogs keep clear of it.
    virtual QRect iconFrame() const = 0;
};
