#include "platform/instancelock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray ShowRequest = "show\n";

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

InstanceLock::Result InstanceLock::acquire()
{
    m_error.clear();
    Result result = attempt();
    // The owner may also end meanwhile; then the next attempt takes the lock.
    for (std::chrono::milliseconds waited{0}; result == Result::Refused && waited < RetryTime;
         waited += RetryPause) {
        m_pause(RetryPause);
        result = attempt();
    }
    return result;
}

InstanceLock::Result InstanceLock::attempt()
{
    if (m_lock.tryLock(0)) {
        listen();
        return Result::Acquired;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        m_error = tr("Cannot create the lock file %1").arg(m_dataFolder + lockFileName());
        return Result::Failed;
    }
    return handOver() ? Result::HandedOver : Result::Refused;
}

bool InstanceLock::handOver()
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(HandoverTimeoutMs))
        return false;
    socket.write(ShowRequest);
    const bool sent = socket.waitForBytesWritten(HandoverTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

void InstanceLock::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket left under this name belongs to a dead copy.
    QLocalServer::removeServer(m_serverName);
    connect(m_server.get(), &QLocalServer::newConnection, this, &InstanceLock::readRequests);
    if (!m_server->listen(m_serverName))
        m_server.reset(); // later copies are refused instead of handed over
}

void InstanceLock::readRequests()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(ShowRequest.trimmed()))
                Q_EMIT activationRequested();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}
