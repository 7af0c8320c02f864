#include "app/displaychoice.h"

#include <QByteArray>
#include <QtGlobal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

QByteArray chooseDisplayPlatform(const QByteArray &waylandDisplay, const QByteArray &display,
                                 const QByteArray &requestedPlatform, bool xServerReachable)
{
    if (!requestedPlatform.isEmpty() || waylandDisplay.isEmpty() || display.isEmpty()
        || !xServerReachable)
        return {};
    return QByteArrayLiteral("xcb");
}

namespace {
bool connectsTo(const QByteArray &socketPath, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const int offset = abstract ? 1 : 0; // an abstract name begins with a zero byte
    if (socketPath.size() + offset >= int(sizeof(address.sun_path)))
        return false;
    std::memcpy(address.sun_path + offset, socketPath.constData(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const socklen_t length
        = socklen_t(offsetof(sockaddr_un, sun_path) + offset + socketPath.size());
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), length) == 0;
    ::close(fd);
    return connected;
}
} // namespace

bool xServerReachable(const QByteArray &display)
{
    const int colon = display.lastIndexOf(':');
    if (colon < 0)
        return false;
    const QByteArray host = display.left(colon);
    if (!host.isEmpty() && host != "unix")
        return true;
    QByteArray number = display.mid(colon + 1);
    number = number.left(number.indexOf('.') < 0 ? number.size() : number.indexOf('.'));
    bool ok = false;
    number.toUInt(&ok);
    if (!ok)
        return false;
    const QByteArray socketPath = "/tmp/.X11-unix/X" + number;
    return connectsTo(socketPath, false) || connectsTo(socketPath, true);
}

void chooseDisplayPlatform()
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray platform
        = chooseDisplayPlatform(qgetenv("WAYLAND_DISPLAY"), display, qgetenv("QT_QPA_PLATFORM"),
                                !display.isEmpty() && xServerReachable(display));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
