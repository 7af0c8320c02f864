#pragma once

class QString;
class QUrl;

// The desktop's opener: shows a web address, a file or a folder in the program
// the user has for it. Tests put a recording opener in its place.
class DesktopOpener
{
public:
    virtual ~DesktopOpener() = default;

    virtual void openUrl(const QUrl &url) = 0;
    // Opens the folder holding the file, with the file selected where the
    // file manager can do that.
    virtual void showInFolder(const QString &path) = 0;
};
