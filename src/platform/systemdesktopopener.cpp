#include "platform/systemdesktopopener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void SystemDesktopOpener::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

void SystemDesktopOpener::showInFolder(const QString &path)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    // The freedesktop file manager interface; a desktop without it gets the
    // folder opened instead. Asked without waiting: the service may have to
    // be started first.
    QDBusMessage showItems = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    showItems << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(showItems));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [folder](QDBusPendingCallWatcher *call) {
                         if (call->isError())
                             QDesktopServices::openUrl(folder);
                         call->deleteLater();
                     });
}
