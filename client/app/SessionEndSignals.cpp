#include "SessionEndSignals.h"

#include "foundation/MErrorHandler.h"
#include "platform/ChildProcesses.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
constexpr unsigned char kStopWatching = 0; // no signal's number
constexpr unsigned char kDisplayGone = 0xFF; // nor this
// Written by the handler: [0] of each pair; the window's thread reads
// g_window[1], the watchdog g_watch[1].
int g_window[2] = {-1, -1};
int g_watch[2] = {-1, -1};
// What the watchdog needs to write its line in the debug log, made ready
// while the program is well: the log's path and the version its lines carry.
char g_debugLogPath[4096] = {};
char g_versionTag[64] = {};
std::atomic<bool> g_statusSettled{false};

// Runs whenever the signal comes: only calls safe in a signal handler. A full
// socket drops the byte, which only says again what one byte said already.
extern "C" void writeSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    for (const int socket : {g_window[0], g_watch[0]})
        [[maybe_unused]] const ssize_t written = ::write(socket, &byte, 1);
    errno = savedErrno;
}

QString nameOf(int signalNumber)
{
    switch (signalNumber) {
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGHUP: return QStringLiteral("SIGHUP");
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGQUIT: return QStringLiteral("SIGQUIT");
    default: return QString::number(signalNumber);
    }
}

// The debug log's line prefix, as the log writes it ("07-Dec-26 2:05:09 PM").
void writeLinePrefix(char *buffer, size_t size)
{
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    ::localtime_r(&now, &local);
    // The log's month names are English whatever the machine's locale.
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::snprintf(buffer, size, "%02d-%s-%02d %d:%02d:%02d %s%s", local.tm_mday, months[local.tm_mon % 12],
                  local.tm_year % 100, hour, local.tm_min, local.tm_sec, local.tm_hour < 12 ? "AM" : "PM",
                  g_versionTag);
}

// Appended with plain calls: the window's thread may hold the log's own state.
void writeDebugLogLine(const char *text)
{
    const int file = ::open(g_debugLogPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0)
        return;
    char prefix[128];
    writeLinePrefix(prefix, sizeof prefix);
    char line[512];
    const int length = std::snprintf(line, sizeof line, "%s    %s\n", prefix, text);
    [[maybe_unused]] const ssize_t written = ::write(file, line, size_t(std::min<int>(length, sizeof line - 1)));
    ::close(file);
}

// One byte within `timeoutMs` (-1: however long), or nothing when the time is up.
bool readByte(int socket, unsigned char &byte, int timeoutMs)
{
    pollfd wait{socket, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&wait, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t count = ::read(socket, &byte, 1);
        if (count == 1)
            return true;
        if (count == 0 || (errno != EINTR && errno != EAGAIN))
            return false;
    }
}

// The window's thread may be stuck anywhere, holding any lock: no Qt and none
// of the program's own state; the debug log's line is written with plain calls.
[[noreturn]] void endAtOnce(unsigned char first, std::chrono::milliseconds bound)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "The close-down did not end within %lld ms of the session's end: the program ends at once; "
                  "the on-exit status was %s",
                  static_cast<long long>(bound.count()), g_statusSettled.load() ? "set" : "not set");
    writeDebugLogLine(text);
    char line[300];
    const int length = std::snprintf(line, sizeof line, "tessaly: %s\n", text);
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line, size_t(length));
    ChildProcesses::endAll();
    // As a shell tells a program the signal ended, or as the toolkit ends
    // one whose display went.
    std::_Exit(first == kDisplayGone ? 1 : 128 + first);
}

void watch(int socket, std::chrono::milliseconds bound)
{
    // The signals go to the window's thread, which wakes often: the thread
    // sanitizer runs a handler only as its thread leaves a call it watches,
    // which this thread, waiting, might never do.
    sigset_t ending;
    sigemptyset(&ending);
    for (const int signalNumber : kSignals)
        sigaddset(&ending, signalNumber);
    ::pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    unsigned char first = kStopWatching;
    if (!readByte(socket, first, -1) || first == kStopWatching)
        return;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        unsigned char byte = 0;
        if (left.count() <= 0 || !readByte(socket, byte, int(left.count())))
            break;
        if (byte == kStopWatching)
            return;
    }
    endAtOnce(first, bound);
}

bool openPair(int (&sockets)[2])
{
    return ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, sockets) == 0;
}

void closePair(int (&sockets)[2])
{
    for (int &socket : sockets) {
        if (socket >= 0)
            ::close(socket);
        socket = -1;
    }
}

} // namespace

SessionEndSignals::SessionEndSignals(Handler onSignal, std::chrono::milliseconds bound)
    : m_onSignal(std::move(onSignal))
{
    if (!openPair(g_window) || !openPair(g_watch)) {
        WriteDebugLog(QStringLiteral("The session's end cannot be heard: no socket pair"));
        closePair(g_window);
        closePair(g_watch);
        return;
    }
    m_notifier = new QSocketNotifier(g_window[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEndSignals::readSignals);
    qstrncpy(g_debugLogPath, QFile::encodeName(LogFolder() + QStringLiteral("/debug.log")).constData(),
             sizeof g_debugLogPath);
    qstrncpy(g_versionTag, GetVersionTag().toLatin1().constData(), sizeof g_versionTag);
    g_statusSettled = false;
    m_watchdog = std::thread(watch, g_watch[1], bound);
    // Not reset once taken: a second signal must not end the program in the
    // middle of its close-down.
    struct sigaction action = {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals) {
        struct sigaction was = {};
        if (::sigaction(signalNumber, nullptr, &was) == 0 && was.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
        m_taken.push_back(signalNumber);
    }
}

void SessionEndSignals::watchCloseDown()
{
    if (g_watch[0] >= 0)
        [[maybe_unused]] const ssize_t written = ::write(g_watch[0], &kDisplayGone, 1);
}

void SessionEndSignals::recordStatusSettled()
{
    g_statusSettled = true;
}

SessionEndSignals::~SessionEndSignals()
{
    for (const int signalNumber : m_taken)
        std::signal(signalNumber, SIG_DFL);
    if (m_watchdog.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(g_watch[0], &kStopWatching, 1);
        m_watchdog.join();
    }
    delete m_notifier;
    closePair(g_window);
    closePair(g_watch);
}

void SessionEndSignals::readSignals()
{
    unsigned char bytes[16];
    const ssize_t count = ::read(g_window[1], bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i) {
        if (m_heard) {
            WriteDebugLog(QStringLiteral("The session ended again (%1): the close-down goes on").arg(nameOf(bytes[i])));
            continue;
        }
        m_heard = true;
        WriteDebugLog(QStringLiteral("The session ended (%1)").arg(nameOf(bytes[i])));
        if (m_onSignal)
            m_onSignal(bytes[i]);
    }
}
