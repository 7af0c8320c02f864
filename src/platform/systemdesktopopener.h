#pragma once

#include "platform/desktopopener.h"

// The opener of the running desktop: its handler for each kind of address
// (QDesktopServices), and the file manager's "show items" service for a file
// to be shown in its folder. Whether the desktop managed to open something is
// not looked at.
class SystemDesktopOpener : public DesktopOpener
{
public:
    void openUrl(const QUrl &url) override;
    void showInFolder(const QString &path) override;
};
