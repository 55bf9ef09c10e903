#pragma once

#include "CalendarStore.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <thread>

// The calendar check of a program with a window: the files are read and
// their repeats expanded in the calendar's helper process (CheckProcess),
// which a call of the library that runs for minutes cannot keep from being
// ended, watched from a thread of the check's own; only the result comes
// back to the thread that started it, so no calendar file can stop the
// window. One check runs at a time; the helper, with the files it parsed, is
// kept between checks. Where no helper can start, the check runs on its
// thread, as the helper would. Stopping ends the helper and waits a moment
// at most: a check on the thread that does not end in it (inside one call of
// the library, which cannot be stopped) is left to end on its own, with the
// state it works on, and its result dropped.
class CalendarCheck
{
public:
    struct Result
    {
        std::optional<CalendarAppointment> running;
        QStringList warnings;
    };
    using Done = std::function<void(const Result &)>;
    // What a check does on its thread: the calendar at path as at now, with
    // the store it keeps, until cancelled.
    using Work = std::function<Result(CalendarStore &store, const QString &path, const QDateTime &now,
                                      const std::atomic_bool &cancelled)>;

    // work: the check of the calendar's files, unless a test stands in for it.
    explicit CalendarCheck(Work work = {});

    // The check itself, with a budget of so many ms, as the helper runs it.
    static Result inProcess(CalendarStore &store, const QString &path, const QDateTime &now,
                            const std::atomic_bool &cancelled, qint64 budgetMs = CheckBudget::DefaultMs);
    // Stops a check under way, as stop() does.
    ~CalendarCheck();
    CalendarCheck(const CalendarCheck &) = delete;
    CalendarCheck &operator=(const CalendarCheck &) = delete;

    // Starts a check of the calendar at path as at now; done runs on this
    // thread when it ends. False, and nothing started, while one still runs.
    bool start(const QString &path, const QDateTime &now, Done done);
    // Whether a check is under way (or its result not yet delivered).
    bool isRunning() const;
    // Waits up to ms for the check under way; when it ends in that time,
    // done has run before this returns.
    void wait(int ms);
    // Stops a check under way (at its next step) and waits for it, a moment
    // at most; its result is dropped, the helper ended. A later start checks
    // again.
    void stop();

    // Waits up to `within` for the checks stop() let go to end; false when
    // one still runs. A program that leaves while one runs must leave without
    // its static teardown, which the check may still be using.
    static bool checksLetGoEnded(std::chrono::milliseconds within);
    // The helper's process id while one is kept (tests); else 0.
    qint64 helperId() const;

private:
    struct Shared;
    void deliver();
    static Result checkIn(Shared &shared, const QString &path, const QDateTime &now);

    Work m_work;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    Done m_done;
    QObject m_receiver; // last: it goes first, and with it a result still on its way
};
