#pragma once

#include "foundation/ICalendarLink.h"
#include "platform/calendar/BusyStatus.h"
#include "platform/calendar/CalendarCheck.h"
#include "platform/calendar/VCardReader.h"

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
    QVector<AddressEntry> GetAddressBook() override;
    QList<VCardContact> FindContacts(QString firstName, QString lastName, QString company);
    void NewContact(const QString &firstName, const QString &lastName, const QString &company);
    void OpenContact(const QString &entryId);
    // Adds a finished phone call to the call journal.
    bool NewJournalEntry(const QString &contactNames, const QString &companies, const QDateTime &start,
                         int minutes, const QString &notes);
    bool testOutLookInstall(const QString &calendarPath) override;

    // The status an appointment sets, by the user's settings.
    static QString GetOutlookStatus(BusyStatus busy);
    // A name from the user table or the contacts as a mail address; an
    // address stays as it is; empty when it cannot be found.
    QString resolveAddress(const QString &nameOrAddress);

private:
    void apply(const CalendarCheck::Result &result);
    void UpdateStatusFromAppointment(const CalendarAppointment &appointment);
    // The user's contacts; a file left out is named in the debug log.
    static QList<VCardContact> contacts();
    void reportError(const QString &operation, const QString &description);

    CalendarCheck m_check;
};
