#pragma once

#include "CalendarStore.h"

#include <QObject>
#include <condition_variable>
#include <functional>
#include <memory>
#include <thread>

// The calendar check of a program with a window: the files are read and
// their repeats expanded on a thread of the check's own, and only the result
// comes back to the thread that started it, so no calendar file can stop the
// window. One check runs at a time; the parsed files are kept between checks.
class CalendarCheck
{
public:
    struct Result
    {
        std::optional<CalendarAppointment> running;
        QStringList warnings;
    };
    using Done = std::function<void(const Result &)>;

    CalendarCheck();
    // Stops a check under way (at its next step) and waits for it.
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
    // Stops a check under way (at its next step) and waits for it; its result
    // is dropped. A later start checks again.
    void stop();

private:
    struct Shared;
    void deliver();

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    Done m_done;
    QObject m_receiver; // last: it goes first, and with it a result still on its way
};
