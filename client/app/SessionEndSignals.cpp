#include "SessionEndSignals.h"

#include "foundation/MErrorHandler.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};
int g_sockets[2] = {-1, -1}; // written by the handler, read on the window's thread

// Runs whenever the signal comes: only calls safe in a signal handler. A full
// socket drops the byte, which only says again what one byte said already.
extern "C" void writeSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &byte, 1);
    errno = savedErrno;
}

QString nameOf(int signalNumber)
{
    return signalNumber == SIGTERM ? QStringLiteral("SIGTERM")
        : signalNumber == SIGHUP   ? QStringLiteral("SIGHUP")
                                   : QString::number(signalNumber);
}

} // namespace

SessionEndSignals::SessionEndSignals(Handler onSignal) : m_onSignal(std::move(onSignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_sockets) != 0) {
        WriteDebugLog(QStringLiteral("The session's end cannot be heard: no socket pair"));
        return;
    }
    m_notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEndSignals::readSignals);
    struct sigaction action = {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

SessionEndSignals::~SessionEndSignals()
{
    for (int signalNumber : kSignals)
        std::signal(signalNumber, SIG_DFL);
    delete m_notifier;
    for (int &socket : g_sockets) {
        if (socket >= 0)
            ::close(socket);
        socket = -1;
    }
}

void SessionEndSignals::readSignals()
{
    unsigned char bytes[16];
    const ssize_t count = ::read(g_sockets[1], bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i) {
        WriteDebugLog(QStringLiteral("The session ended (%1)").arg(nameOf(bytes[i])));
        if (m_onSignal)
            m_onSignal(bytes[i]);
    }
}
