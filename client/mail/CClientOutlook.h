#pragma once

#include "foundation/ICalendarLink.h"
#include "platform/calendar/AddressBook.h"
#include "platform/calendar/BusyStatus.h"
#include "platform/calendar/CalendarCheck.h"
#include "platform/calendar/IcsWriter.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

// The program's link to the user's calendar, contacts and mail: calendar and
// journal in iCalendar files, contacts in vCards, mail through the system's
// submission program or, where the user is to finish it, his mail program.
class CClientOutlook : public ICalendarLink
{
public:
    enum RecipientType { To = 1, Bcc = 3 };
    struct Recipient { QString address; int type = To; };

    bool isAvailable() const override;
    void CloseOutlook() override;
    void NewEmail(const QList<Recipient> &recipients);
    void ReadEmail();
    void CheckSchedule2() override;
    void AddAppointmentToSchedule(double start, double end, const QString &note, const QString &statusCode,
                                  const QString &attendees) override;
    void NewAppointment();
    void ShowSchedule();
    void ReportToZor(const QString &address, const QString &subject, const QString &body);
    void GetAddressBook(QObject *context, std::function<void(const QVector<AddressEntry> &)> done) override;
    // Gives found the contacts whose names and company start as given (each
    // trimmed; an empty one matches all), once they are read.
    void FindContacts(QString firstName, QString lastName, QString company, QObject *context,
                      std::function<void(const QList<VCardContact> &)> found);
    void NewContact(const QString &firstName, const QString &lastName, const QString &company);
    void OpenContact(const QString &entryId);
    // Adds a finished phone call to the call journal.
    bool NewJournalEntry(const QString &contactNames, const QString &companies, const QDateTime &start,
                         int minutes, const QString &notes);
    bool testOutLookInstall(const QString &calendarPath) override;

    // The status an appointment sets, by the user's settings.
    static QString GetOutlookStatus(BusyStatus busy);

private:
    void apply(const CalendarCheck::Result &result);
    void UpdateStatusFromAppointment(const CalendarAppointment &appointment);
    static void reportError(const QString &operation, const QString &description);
    static void addAppointment(const IcsWriter::Event &event);

    CalendarCheck m_check;
};
