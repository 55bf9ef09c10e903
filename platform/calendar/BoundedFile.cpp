#include "BoundedFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::optional<QByteArray> refuse(QString *problem, const QString &why)
{
    if (problem)
        *problem = why;
    return std::nullopt;
}

// Reads to the end, one byte past the limit at most, so a file that grows
// while it is read is still caught.
bool readUpTo(int fd, qint64 limit, QByteArray &bytes)
{
    char buffer[65536];
    while (bytes.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return true;
}
} // namespace

std::optional<QByteArray> BoundedFile::read(const QString &path, QString *problem, qint64 maxBytes)
{
    const QString tooLarge = QStringLiteral("larger than %1 MB; left out").arg(maxBytes / (1024 * 1024));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuse(problem, QStringLiteral("cannot be read"));
    struct stat st;
    QByteArray bytes;
    QString why;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        why = QStringLiteral("not a regular file; left out");
    else if (st.st_size > maxBytes)
        why = tooLarge;
    else if (!readUpTo(fd, maxBytes, bytes))
        why = QStringLiteral("cannot be read");
    else if (bytes.size() > maxBytes)
        why = tooLarge;
    ::close(fd);
    if (!why.isEmpty())
        return refuse(problem, why);
    return bytes;
}
