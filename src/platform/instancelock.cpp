#include "platform/instancelock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

// One line per request. A copy older than these words takes any line holding
// "show" for a plain start.
QByteArray requestLine(InstanceLock::Request request)
{
    switch (request) {
    case InstanceLock::Request::ShowBoard:
        return "show-board\n";
    case InstanceLock::Request::NewNote:
        return "new-note\n";
    case InstanceLock::Request::Show:
        break;
    }
    return "show\n";
}

// Each wait of a handover is bounded so that a second copy ends within a second.
constexpr int HandoverTimeoutMs = 400;

// An owner is between taking the lock and listening for well under a second;
// a later copy that finds nobody listening tries again for this long.
constexpr std::chrono::milliseconds RetryPause{50};
constexpr std::chrono::milliseconds RetryTime{1000};

QString withSlash(const QString &folder)
{
    const QString path = QDir::fromNativeSeparators(folder);
    return path.endsWith(u'/') ? path : path + u'/';
}

QString serverNameFor(const QString &folder)
{
    const QString canonical = QDir(folder).canonicalPath();
    const QByteArray hash = QCryptographicHash::hash(
        (canonical.isEmpty() ? folder : canonical).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("QelNotes-") + QString::fromLatin1(hash.toHex().left(24));
}

} // namespace

InstanceLock::InstanceLock(QString dataFolder, QObject *parent)
    : QObject(parent)
    , m_dataFolder(withSlash(dataFolder))
    , m_serverName(serverNameFor(m_dataFolder))
    , m_lock(m_dataFolder + lockFileName())
    , m_pause([](std::chrono::milliseconds pause) { QThread::msleep(pause.count()); })
{
    // The owner runs for days: only a dead owner makes a lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::acquire(Request request)
{
    m_error.clear();
    Result result = attempt(request);
    // The owner may also end meanwhile; then the next attempt takes the lock.
    for (std::chrono::milliseconds waited{0}; result == Result::Refused && waited < RetryTime;
         waited += RetryPause) {
        m_pause(RetryPause);
        result = attempt(request);
    }
    return result;
}

InstanceLock::Result InstanceLock::attempt(Request request)
{
    if (m_lock.tryLock(0)) {
        // Holding the lock, any socket left under this name belongs to a dead copy.
        listen(true);
        return Result::Acquired;
    }
    if (m_lock.error() == QLockFile::LockFailedError)
        return handOver(request) ? Result::HandedOver : Result::Refused;
    // No lock file can be made (a full disk, a folder that cannot be
    // written): the socket's name alone keeps a second copy away, so a copy
    // that cannot take that name either never runs beside its owner.
    if (handOver(request))
        return Result::HandedOver;
    if (!listen(false)) {
        if (handOver(request))
            return Result::HandedOver;
        // Nobody answers on the name: a copy killed before it could make a
        // lock file left it behind.
        if (!listen(true))
            return Result::Refused;
    }
    m_error = tr("Cannot create the lock file %1").arg(m_dataFolder + lockFileName());
    return Result::Failed;
}

bool InstanceLock::handOver(Request request)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(HandoverTimeoutMs))
        return false;
    socket.write(requestLine(request));
    const bool sent = socket.waitForBytesWritten(HandoverTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

bool InstanceLock::listen(bool removeLeftover)
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (removeLeftover)
        QLocalServer::removeServer(m_serverName);
    connect(m_server.get(), &QLocalServer::newConnection, this, &InstanceLock::readRequests);
    if (m_server->listen(m_serverName))
        return true;
    m_server.reset(); // later copies are refused instead of handed over
    return false;
}

void InstanceLock::readRequests()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // A line may arrive in parts; an unknown one is left alone.
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine();
                for (Request request : {Request::Show, Request::ShowBoard, Request::NewNote}) {
                    if (line == requestLine(request))
                        Q_EMIT activationRequested(request);
                }
            }
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}
