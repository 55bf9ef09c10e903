// tessaly-calendarcheck: the calendar's helper process. Tessaly and its
// calendar watcher start it beside themselves and ask it for each check of
// the calendar, so a call of the calendar library that runs for minutes
// holds only this process, which they end. It is not meant to be run by hand:
// its input and output are the program's (CheckWire), and descriptor 3 the
// page where it tells which series it is expanding (AnnouncedSeries).

#include "platform/calendar/CheckServer.h"

#include <sys/resource.h>
#include <unistd.h>

int main()
{
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // The sanitizers reserve terabytes of address space, so they go without.
    const rlimit space{rlim_t(2) << 30, rlim_t(2) << 30};
    setrlimit(RLIMIT_AS, &space);
#endif
    std::unique_ptr<AnnouncedSeries> board = AnnouncedSeries::open(3);
    if (!board)
        return 2;
    return CheckServer(STDIN_FILENO, STDOUT_FILENO, std::move(board)).run();
}
