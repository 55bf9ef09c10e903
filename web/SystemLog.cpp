#include "SystemLog.h"

#include <QLocale>
#include <QMutex>

#include "platform/Clock.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstring>

namespace QelWeb {

namespace {

QMutex g_pathMutex;
QString g_path = QStringLiteral("/dev/log");

constexpr int kUserFacility = 1;
constexpr int kErrorSeverity = 3;

} // namespace

void SystemLog::setSocketPath(const QString &path)
{
    const QMutexLocker lock(&g_pathMutex);
    g_path = path;
}

QString SystemLog::socketPath()
{
    const QMutexLocker lock(&g_pathMutex);
    return g_path;
}

void SystemLog::error(const QString &text)
{
    const QByteArray path = socketPath().toLocal8Bit();
    sockaddr_un address{};
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    // The classic form every syslog daemon reads: <priority>time ident[pid]: text
    const QByteArray entry = QStringLiteral("<%1>%2 QelWeb[%3]: %4")
                                 .arg(kUserFacility * 8 + kErrorSeverity)
                                 .arg(QLocale::c().toString(Clock::now(), QStringLiteral("MMM d HH:mm:ss")))
                                 .arg(getpid())
                                 .arg(text)
                                 .toUtf8();
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    sendto(fd, entry.constData(), size_t(entry.size()), MSG_NOSIGNAL, reinterpret_cast<const sockaddr *>(&address),
           sizeof address);
    close(fd);
}

} // namespace QelWeb
