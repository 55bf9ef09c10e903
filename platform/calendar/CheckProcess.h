#pragma once

#include "AnnouncedSeries.h"
#include "CalendarCheck.h"
#include "CheckWire.h"

#include "platform/ProcessLimits.h"

#include <QHash>
#include <atomic>
#include <memory>
#include <optional>
#include <sys/types.h>

// The calendar's helper process (tessaly-calendarcheck, beside the program)
// as the check uses it: a call of the calendar library cannot be ended
// inside the process that made it, so the expansion runs in a process of
// its own, which is ended. The helper is started on the first check and
// kept, ready, for the next, so a check costs what it cost in the program.
// While it works its processor time is watched: a series that holds it
// past its share is given up for that version of its file, named once, and
// the check is asked again of a new helper that leaves it out; a check that
// holds it past the check's own limit ends it. Stopped, cancelled or
// destroyed, the helper is killed and reaped.
class CheckProcess
{
public:
    static constexpr int Slowness = ProcessLimits::Slowness;
    // What one series may hold the helper, and the series of one check all
    // its helpers, in processor time.
    static constexpr qint64 SeriesCpuMs = 400 * Slowness;
    static constexpr qint64 CheckCpuMs = 2000 * Slowness;

    CheckProcess() = default;
    ~CheckProcess();
    CheckProcess(const CheckProcess &) = delete;
    CheckProcess &operator=(const CheckProcess &) = delete;

    // Where the helper is; beside the program unless set (tests).
    static void setProgram(const QString &path);

    // The check of the calendar at path as at now, in the helper; nullopt
    // when no helper could be started.
    std::optional<CalendarCheck::Result> check(const QString &path, const QDateTime &now,
                                               const std::atomic_bool &cancelled);
    // The helper killed and reaped; the next check starts another.
    void end();
    // The helper's process id while one runs (tests); else 0.
    pid_t processId() const { return m_pid; }

private:
    enum class Outcome { Answered, Held, Cancelled, Ended };
    bool started();
    Outcome await(CalendarCheck::Result &result, qint64 &expandingNs, const std::atomic_bool &cancelled);
    qint64 cpuNs() const;
    void giveUp(const AnnouncedSeries::Series &series);
    QList<CheckWire::GivenUp> givenUp() const;

    pid_t m_pid = 0;
    int m_in = -1, m_out = -1; // the helper's input and output
    std::unique_ptr<AnnouncedSeries> m_board;
    QHash<QString, CheckWire::GivenUp> m_givenUp; // by file, series and version
};
