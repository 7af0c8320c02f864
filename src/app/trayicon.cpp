#include "app/trayicon.h"

#include "app/appicon.h"
#include "app/iconwindow.h"
#include "platform/datafolder.h"
#include "platform/settingsfile.h"

#include <QAction>
#include <QSystemTrayIcon>

namespace {
const QString Section = QStringLiteral("Main");
const QString Key = QStringLiteral("TrayIcon");
} // namespace

TrayIcon::TrayIcon(TNoteMain &icon, QMenu *menu, bool onByDefault, QObject *parent)
    : QObject(parent)
    , m_icon(icon)
    , m_tray(new QSystemTrayIcon(AppIcon(), this))
    , m_action(new QAction(tr("Tray Icon"), this))
{
    m_tray->setToolTip(QStringLiteral("QelNotes"));
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    m_icon.trayIconClick(m_tray->geometry());
            });
    m_action->setObjectName(QStringLiteral("mnTrayIcon"));
    m_action->setCheckable(true);
    connect(m_action, &QAction::triggered, this, &TrayIcon::setOn);
    apply(onByDefault);
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::onByDefault(const QString &platformName)
{
    return platformName == QLatin1String("wayland");
}

bool TrayIcon::isOn() const
{
    return m_action->isChecked();
}

void TrayIcon::setOn(bool on)
{
    apply(on);
    SettingsFile ini(SettingsFilePath());
    ini.writeBool(Section, Key, on); // as the board's other switches, silently
}

void TrayIcon::load()
{
    apply(SettingsFile(SettingsFilePath()).readBool(Section, Key, isOn()));
}

void TrayIcon::apply(bool on)
{
    m_action->setChecked(on);
    m_tray->setVisible(on);
}
