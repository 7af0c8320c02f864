#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QLocalServer;

// Keeps a second copy of the program away from a data folder that a running
// copy owns. The owner holds a lock file in the folder and listens on a local
// socket named after the folder; a later copy finds the lock held, asks the
// owner to bring up its board (or to do what it was started for), and is
// expected to end at once without having touched any file. A lock left behind by a killed copy is
// taken over.
//
// A folder where no lock file can be made (a full disk) is owned through the
// socket's name alone: the first copy takes it, later ones hand over to it.
//
// Two copies started at the same moment meet while the owner has taken the
// lock but does not listen yet; the later copy keeps trying, for about a
// second, before it refuses.
class InstanceLock : public QObject
{
    Q_OBJECT

public:
    enum class Result {
        Acquired,   // this copy owns the folder
        HandedOver, // another copy owns it and was told to show its board
        Refused,    // another copy owns it but could not be reached
        Failed      // no lock file could be made (errorString()); this copy owns
                    // the folder through the socket's name alone
    };
    Q_ENUM(Result)

    // What a later copy asks of the owner.
    enum class Request {
        Show,      // a plain start: the board, so that the user sees the running copy
        ShowBoard, // the board pinned with the keyboard in its filter
        NewNote    // a new note's window
    };
    Q_ENUM(Request)

    // Waits between two attempts; tests pass one that does not sleep.
    using Pause = std::function<void(std::chrono::milliseconds)>;

    explicit InstanceLock(QString dataFolder, QObject *parent = nullptr);
    ~InstanceLock() override;

    void setPause(Pause pause) { m_pause = std::move(pause); }

    // Takes the folder, or hands request over to the copy that owns it.
    Result acquire(Request request = Request::Show);
    QString errorString() const { return m_error; }

    static QString lockFileName() { return QStringLiteral("QelNotes.lock"); }

Q_SIGNALS:
    // A later copy asked this one for request.
    void activationRequested(InstanceLock::Request request);

private:
    Result attempt(Request request);
    bool handOver(Request request);
    // Takes the socket's name, first removing one left behind if asked.
    bool listen(bool removeLeftover);
    void readRequests();

    QString m_dataFolder;
    QString m_serverName;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    QString m_error;
    Pause m_pause;
};
