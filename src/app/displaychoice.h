#pragma once

#include <QByteArray>

// A native Wayland client can neither keep a window above the others nor
// place its own windows, and the icon and the board need both. Where an X
// server is reachable beside the Wayland session (XWayland), the program runs
// on it instead; a platform the user chose with QT_QPA_PLATFORM is kept.

// The platform plugin to ask for, or empty to leave Qt's choice alone.
QByteArray chooseDisplayPlatform(const QByteArray &waylandDisplay, const QByteArray &display,
                                 const QByteArray &requestedPlatform, bool xServerReachable);

// True when an X server answers on display (":N", ":N.S", "unix:N"; a display
// on another host is taken as reachable).
bool xServerReachable(const QByteArray &display);

// Applies the choice to the environment; call before the application object.
void chooseDisplayPlatform();
