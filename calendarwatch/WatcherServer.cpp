#include "WatcherServer.h"

#include "platform/LogText.h"

#include <QCoreApplication>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unistd.h>

namespace {
void debugLine(const QString &text)
{
    std::fprintf(stderr, "%s\n", LogText::oneLine(text).toUtf8().constData());
    std::fflush(stderr);
}
} // namespace

WatcherServer::WatcherServer(int inputFd, int outputFd, qint32 firstIntervalMs)
    : m_inputFd(inputFd), m_outputFd(outputFd), m_outlook(firstIntervalMs),
      m_notifier(inputFd, QSocketNotifier::Read)
{
    m_channel.onMessage = [this](const QString &name, const QJsonObject &message) { command(name, message); };
    m_channel.onProblem = debugLine;
    m_outlook.debugLog = debugLine;
    m_outlook.StatusBarMessage = [this](const QString &msg) {
        send(WatcherChannel::event(QStringLiteral("StatusBarMessage"), {{QStringLiteral("msg"), msg}}));
    };
    m_outlook.NeedToUpdateStatus = [this](const QString &status, const QString &note, double outAt, double dueBack,
                                          double modTime, const QString &id) {
        send(WatcherChannel::event(QStringLiteral("NeedToUpdateStatus"),
                                   {{QStringLiteral("status"), status},
                                    {QStringLiteral("note"), note},
                                    {QStringLiteral("outAt"), outAt},
                                    {QStringLiteral("dueBack"), dueBack},
                                    {QStringLiteral("modTime"), modTime},
                                    {QStringLiteral("id"), id}}));
    };
    connect(&m_notifier, &QSocketNotifier::activated, this, [this] { readInput(); });
}

void WatcherServer::readInput()
{
    char buffer[16384];
    const ssize_t n = ::read(m_inputFd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        m_notifier.setEnabled(false);
        m_outlook.CloseDown();
        QCoreApplication::exit(0);
        return;
    }
    m_channel.feed(QByteArray(buffer, n));
}

void WatcherServer::command(const QString &name, const QJsonObject &message)
{
    if (name == QLatin1String("Start")) {
        const double period = message.value(QStringLiteral("period")).toDouble();
        if (period != std::trunc(period) || period < std::numeric_limits<qint32>::min()
            || period > std::numeric_limits<qint32>::max()) {
            debugLine(QStringLiteral("Start ignored: the period is not a 32-bit whole number"));
            return;
        }
        m_outlook.Start(static_cast<qint32>(period), message.value(QStringLiteral("lastId")).toString());
    } else if (name == QLatin1String("CloseDown")) {
        m_outlook.CloseDown();
    } else if (name == QLatin1String("CloseOutlook")) {
        m_outlook.CloseOutlook();
    }
}

void WatcherServer::send(const QByteArray &line)
{
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(m_outputFd, line.constData() + done, static_cast<size_t>(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // Tessaly has gone; the closed input ends the program
        done += n;
    }
}
