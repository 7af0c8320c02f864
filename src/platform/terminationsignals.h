#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests to end the program that arrive as process signals
// (SIGTERM from a session manager or `kill`, SIGHUP when the terminal goes,
// SIGINT from Ctrl+C) into a Qt signal on the interface thread, where the
// notes can be stored. The process signal handler only writes one byte to a
// socket pair; a socket notifier reads it in the event loop. A signal that
// arrives before the event loop runs is delivered once it does.
//
// One object per process; while it lives, those signals no longer end the
// program by themselves.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
