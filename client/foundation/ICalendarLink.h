#pragma once

#include <QString>
#include <QVector>

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
    virtual QVector<AddressEntry> GetAddressBook() = 0;
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
    QVector<AddressEntry> GetAddressBook() override { return {}; }
    void CloseOutlook() override {}
};
