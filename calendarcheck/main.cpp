// tessaly-calendarcheck: the calendar's helper process. Tessaly and its
// calendar watcher start it beside themselves and ask it for each check of
// the calendar, so a call of the calendar library that runs for minutes
// holds only this process, which they end. It is not meant to be run by hand:
// its input and output are the program's (CheckWire), and descriptor 3 the
// page where it tells which series it is expanding (AnnouncedSeries).

#include "platform/ProcessLimits.h"
#include "platform/calendar/CheckServer.h"

#include <unistd.h>

int main()
{
    ProcessLimits::apply();
    std::unique_ptr<AnnouncedSeries> board = AnnouncedSeries::open(3);
    if (!board)
        return 2;
    return CheckServer(STDIN_FILENO, STDOUT_FILENO, std::move(board)).run();
}
