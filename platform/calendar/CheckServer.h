#pragma once

#include "AnnouncedSeries.h"
#include "CalendarStore.h"
#include "CheckProcess.h"

#include <memory>

// The calendar's helper process: checks the calendar as the program asks,
// one check at a time, reading requests from in and answering on out. It
// keeps the files it parsed between checks, and before each series it
// expands it tells which, in the page the program watches, so the program
// can end it while it holds one series too long and start another that
// leaves that series out. Ends when its input does (the program is gone).
class CheckServer
{
public:
    CheckServer(int in, int out, std::unique_ptr<AnnouncedSeries> board);
    int run();

    // What a check may use of the processor at most, in seconds, past what
    // the helper has used before it; the system ends it beyond. The program
    // watches for less, but a helper whose program is gone ends too, and
    // reading the largest calendar a check reads takes seconds.
    static constexpr int CheckCpuSeconds = 30 * CheckProcess::Slowness;

    // What the log says of a series given up.
    static QString givenUpText(const QString &file, const char *subject);

private:
    bool readMessage(QByteArray &body);

    int m_in, m_out;
    std::unique_ptr<AnnouncedSeries> m_board;
    CalendarStore m_store;
};
