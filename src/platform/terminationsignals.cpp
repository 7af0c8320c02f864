#include "platform/terminationsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
namespace {

constexpr int Handled[] = {SIGTERM, SIGHUP, SIGINT};
int pipeEnds[2] = {-1, -1}; // [0] read by the notifier, [1] written by the handler

void handler(int signalNumber)
{
    // Only async-signal-safe calls here.
    const int savedErrno = errno;
    const char number = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

} // namespace
#endif

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;
    // A full pipe must never block the handler; one pending byte is enough.
    ::fcntl(pipeEnds[1], F_SETFL, ::fcntl(pipeEnds[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : Handled)
        ::sigaction(signalNumber, &action, nullptr);
#endif
}

TerminationSignals::~TerminationSignals()
{
#ifdef Q_OS_UNIX
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : Handled)
        ::sigaction(signalNumber, &action, nullptr);
    delete m_notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
#endif
}

void TerminationSignals::readSignal()
{
#ifdef Q_OS_UNIX
    char number = 0;
    if (::read(pipeEnds[0], &number, 1) == 1)
        Q_EMIT received(int(number));
#endif
}
