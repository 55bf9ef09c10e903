// zoroutlook: Tessaly's calendar watcher. Tessaly starts it and talks to it
// over standard input and output; it is not meant to be run by hand.
//   zoroutlook --parent <pid> --log-folder <folder> [--first-interval <ms>]
// The first check comes 10 seconds after Start unless the tests shorten it.
#include "MDLLErrorHandler.h"
#include "WatcherServer.h"

#include "platform/Clock.h"
#include "platform/calendar/CalendarCheck.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
constexpr std::chrono::milliseconds kLetGoWait(500);

QString argumentAfter(const QStringList &arguments, const QString &name)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
}
} // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    const pid_t parent = argumentAfter(arguments, QStringLiteral("--parent")).toInt();
    // Ended with Tessaly even when it dies without closing our input. When it
    // died before the request, the request came too late: leave at once.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (parent > 0 && ::getppid() != parent)
        return 0;
    // Written to a closed pipe, an event ends the write, not the program.
    std::signal(SIGPIPE, SIG_IGN);

    Clock::settleTimeZone();
    QCoreApplication app(argc, argv);
    const QString folder = argumentAfter(arguments, QStringLiteral("--log-folder"));
    MDLLErrorHandler::setFolder(folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder);
    const int firstInterval = argumentAfter(arguments, QStringLiteral("--first-interval")).toInt();
    int code = 0;
    {
        WatcherServer server(STDIN_FILENO, STDOUT_FILENO, firstInterval > 0 ? firstInterval : 10000);
        code = app.exec();
    }
    // A check let go inside one call of the library may still use what the
    // program's teardown would free.
    if (!CalendarCheck::checksLetGoEnded(kLetGoWait))
        std::_Exit(code);
    return code;
}
