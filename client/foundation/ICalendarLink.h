#pragma once

#include <QString>
#include <QVector>
#include <functional>

class QObject;

// The calendar, mail and contacts link as the status engine uses it.
class ICalendarLink
{
public:
    struct AddressEntry { QString name; QString email; QString list; };

    virtual ~ICalendarLink() = default;
    virtual bool isAvailable() const = 0;
    virtual void CheckSchedule2() = 0;
    virtual void AddAppointmentToSchedule(double start, double end, const QString &note,
                                          const QString &statusCode, const QString &attendees) = 0;
    // Gives done, on this thread, the address book once it is read (at once
    // or later); nothing when context is gone by then.
    virtual void GetAddressBook(QObject *context, std::function<void(const QVector<AddressEntry> &)> done) = 0;
    virtual void CloseOutlook() = 0;
    // Run when the user switches the link on: tells him when it cannot work
    // with that calendar location. True when it can.
    virtual bool testOutLookInstall(const QString & /*calendarPath*/) { return true; }
};

// The link on a desktop where no calendar is set up: every call does nothing.
class CalendarLinkNotAvailable : public ICalendarLink
{
public:
    bool isAvailable() const override { return false; }
    void CheckSchedule2() override {}
    void AddAppointmentToSchedule(double, double, const QString &, const QString &, const QString &) override {}
    void GetAddressBook(QObject *, std::function<void(const QVector<AddressEntry> &)> done) override { done({}); }
    void CloseOutlook() override {}
};
