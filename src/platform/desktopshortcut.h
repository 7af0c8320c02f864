#pragma once

#include <QString>

// The two places a launcher of the program can live in. The values are the
// folder numbers the board menu has always used.
enum class ShortcutFolder {
    Startup = 7, // started when the user logs on (the XDG autostart folder)
    Desktop = 16 // the user's desktop folder
};

// The launcher's file for linkName in folder: a desktop entry named
// linkName + ".desktop". Empty when the folder cannot be resolved.
QString ShortcutPath(const QString &linkName, ShortcutFolder folder);

// Deletes the launcher when it exists; otherwise creates one that starts
// targetPath in the target's folder, with description as its comment (may
// hold a line break) and the program's icon ("qelnotes" of the icon theme,
// put into the user's theme when no installed copy brings it). Failures are not reported:
// ShortcutExists() tells what is on disk afterwards.
void ToggleShortcut(const QString &targetPath, const QString &linkName, const QString &description,
                    ShortcutFolder folder);

bool ShortcutExists(const QString &linkName, ShortcutFolder folder);

// The comment of the program's launchers: the name, a line break, the address.
QString ShortcutDescription();
