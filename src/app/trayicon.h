#pragma once

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class TNoteMain;

// The program's icon in the desktop's tray, beside the desktop icon: a click
// pins the board open beside it (under the pointer where the tray does not
// tell its place), a second click lets go of it, and its menu is the board's
// menu. "Tray Icon" in that menu turns it on and off (flag "TrayIcon" in the
// record "Main"); it is on by default where the desktop icon cannot keep its
// place (a native Wayland client).
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(TNoteMain &icon, QMenu *menu, bool onByDefault, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Whether the platform it runs on makes the tray icon the default.
    static bool onByDefault(const QString &platformName);

    // The menu entry "Tray Icon", ticked while the icon is on.
    QAction *action() const { return m_action; }
    bool isOn() const;
    // Turns the icon on or off and stores that.
    void setOn(bool on);
    // Reads the flag from the settings file and applies it.
    void load();

    QSystemTrayIcon *systemTrayIcon() const { return m_tray; }

private:
    void apply(bool on);

    TNoteMain &m_icon;
    QSystemTrayIcon *m_tray;
    QAction *m_action;
};
