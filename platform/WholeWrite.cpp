#include "WholeWrite.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

bool WholeWrite::to(int fd, const QByteArray &bytes)
{
    sigset_t pipe, before;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &before);
    bool ok = true;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote > 0)
            done += wrote;
        else
            ok = wrote < 0 && errno == EINTR;
    }
    if (!ok && errno == EPIPE) {
        // The signal raised for this write is taken, not left pending.
        const timespec none{0, 0};
        sigtimedwait(&pipe, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return ok;
}
