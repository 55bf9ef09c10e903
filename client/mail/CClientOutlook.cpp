#include "CClientOutlook.h"

#include "AddressResolver.h"
#include "MailMessage.h"
#include "MailSettings.h"

#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/IShell.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/calendar/CalendarSettings.h"
#include "platform/calendar/IcsWriter.h"
#include "platform/calendar/SafeFile.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "status/CClientHnd.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <algorithm>

namespace {
constexpr qint32 kLinkError = 10008;

void openUrl(const QUrl &url)
{
    if (g_shell)
        g_shell->openUrl(url);
}

bool startsWith(const QString &value, const QString &prefix)
{
    return prefix.isEmpty() || value.startsWith(prefix, Qt::CaseInsensitive);
}
} // namespace

bool CClientOutlook::isAvailable() const
{
    return !CalendarSettings::calendarPath().isEmpty();
}

void CClientOutlook::CloseOutlook()
{
    // A check still under way must not set a status once the link is closed.
    m_check.stop();
}

void CClientOutlook::reportError(const QString &operation, const QString &description)
{
    ErrorDialog(kLinkError, description, QStringLiteral("CClientOutlook.") + operation);
}

void CClientOutlook::NewEmail(const QList<Recipient> &recipients)
{
    QStringList to, bcc;
    for (const Recipient &r : recipients)
        (r.type == Bcc ? bcc : to) << r.address;
    openUrl(MailMessage::mailto(to, bcc, QString(), QString()));
}

void CClientOutlook::ReadEmail()
{
    const QString program = MailSettings::read().mailProgram;
    QStringList words = QProcess::splitCommand(program);
    if (words.isEmpty()) {
        openUrl(QUrl(QStringLiteral("mailto:")));
        return;
    }
    const QString first = words.takeFirst();
    if (!QProcess::startDetached(first, words))
        reportError(QStringLiteral("ReadEmail"), QStringLiteral("\"%1\" could not be started").arg(program));
}

void CClientOutlook::CheckSchedule2()
{
    try {
        // The check applies what it found when it ends; the window never
        // waits for it.
        const QString path = CalendarSettings::calendarPath();
        if (!path.isEmpty())
            m_check.start(path, Clock::now(), [this](const CalendarCheck::Result &r) { apply(r); });
    } catch (...) {
        // as below: the status stays as it is
    }
}

void CClientOutlook::apply(const CalendarCheck::Result &result)
{
    try {
        for (const QString &w : result.warnings)
            WriteDebugLog(QStringLiteral("Calendar: ") + w);
        if (result.running)
            UpdateStatusFromAppointment(*result.running);
    } catch (...) {
        // the check never reports: the status simply stays as it is
    }
}

void CClientOutlook::UpdateStatusFromAppointment(const CalendarAppointment &appointment)
{
    if (!g_oClientHnd || !appointment.takeAsNew(g_sLastApptIdentity))
        return;
    double outAt = DateUtil::toDays(appointment.start.toLocalTime());
    double dueBack = DateUtil::toDays(appointment.end.toLocalTime());
    g_oClientHnd->UpdateStatus(g_lUserID, GetOutlookStatus(appointment.busy), appointment.note(), outAt, dueBack,
                               false, true);
}

QString CClientOutlook::GetOutlookStatus(BusyStatus busy)
{
    QString problem;
    const QString code = CalendarSettings::statusFor(busy, &problem);
    if (!problem.isEmpty())
        WriteDebugLog(problem);
    return code;
}

void CClientOutlook::AddAppointmentToSchedule(double start, double end, const QString &note,
                                              const QString &statusCode, const QString &attendees)
{
    if (CalendarSettings::calendarPath().isEmpty())
        return;
    const IcsWriter::Event event{IcsWriter::newUid(QStringLiteral("@status.tessaly")), DateUtil::fromDays(start),
                                 DateUtil::fromDays(end), note, Busy::forStatusCode(statusCode), {}};
    const QStringList named = attendees.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    auto withAttendees = [event, named](const QList<VCardContact> &contacts) {
        IcsWriter::Event invited = event;
        for (const QString &a : named)
            if (const QString address = AddressResolver::resolveAddress(a, contacts); !address.isEmpty())
                invited.attendees << address;
        addAppointment(invited);
    };
    AddressResolver::forNames(named, withAttendees);
}

void CClientOutlook::addAppointment(const IcsWriter::Event &event)
{
    const QString path = CalendarSettings::calendarPath();
    if (path.isEmpty())
        return; // the link was switched off while the contacts were read
    const IcsWriter::Result result =
        IcsWriter::append(path, event.uid, IcsWriter::eventText(event, Clock::now().toUTC()));
    if (result != IcsWriter::Done) {
        reportError(QStringLiteral("AddAppointmentToSchedule"),
                    result == IcsWriter::Unparsable
                        ? QStringLiteral("The calendar \"%1\" cannot be read; it was left as it is.").arg(path)
                        : QStringLiteral("The calendar \"%1\" could not be written.").arg(path));
        return;
    }
    if (!event.attendees.isEmpty())
        openUrl(MailMessage::mailto(event.attendees, {}, QStringLiteral("Invitation: ") + event.summary,
                                    QStringLiteral("%1\n%2 - %3").arg(event.summary, event.start.toString(Qt::TextDate),
                                                                       event.end.toString(Qt::TextDate))));
}

void CClientOutlook::NewAppointment()
{
    ShowSchedule();
}

void CClientOutlook::ShowSchedule()
{
    const QString path = CalendarSettings::calendarPath();
    if (!path.isEmpty())
        openUrl(QUrl::fromLocalFile(path));
}

void CClientOutlook::ReportToZor(const QString &address, const QString &subject, const QString &body)
{
    const QString support = MailSettings::read().supportMailbox;
    QStringList to;
    if (!address.isEmpty())
        to << address;
    if (!support.isEmpty() && address.compare(support, Qt::CaseInsensitive) != 0)
        to << support;
    openUrl(MailMessage::mailto(to, {}, subject, body));
}

void CClientOutlook::GetAddressBook(QObject *context, std::function<void(const QVector<AddressEntry> &)> done)
{
    AddressResolver::withContacts(context, [done](const QList<VCardContact> &contacts) {
        QVector<AddressEntry> book;
        for (const VCardContact &c : contacts)
            book.append({AddressResolver::fullName(c), c.email, QStringLiteral("Contacts")});
        done(book);
    });
}

void CClientOutlook::FindContacts(QString firstName, QString lastName, QString company, QObject *context,
                                  std::function<void(const QList<VCardContact> &)> found)
{
    firstName = firstName.trimmed();
    lastName = lastName.trimmed();
    company = company.trimmed();
    AddressResolver::withContacts(context, [=](const QList<VCardContact> &contacts) {
        QList<VCardContact> matching;
        for (const VCardContact &c : contacts)
            if (startsWith(c.firstName, firstName) && startsWith(c.lastName, lastName) &&
                startsWith(c.company, company))
                matching << c;
        found(matching);
    });
}

void CClientOutlook::NewContact(const QString &firstName, const QString &lastName, const QString &company)
{
    const QString path = MailSettings::read().contactsPath;
    if (path.isEmpty())
        return;
    const QString uid = IcsWriter::newUid(QString());
    const QByteArray card = VCardReader::cardText(uid, firstName, lastName, company);
    QString file = path;
    bool written = false;
    if (QFileInfo(path).isDir()) {
        file = QDir(path).filePath(uid + QStringLiteral(".vcf"));
        written = SafeFile::createNew(file, card);
    } else if (!QFileInfo::exists(path)) {
        written = SafeFile::createNew(path, card);
    } else {
        written = SafeFile::update(path, [&](const QByteArray &old) -> std::optional<QByteArray> {
            return old.isEmpty() || old.endsWith('\n') ? old + card : old + "\r\n" + card;
        }) == SafeFile::Done;
    }
    if (!written) {
        reportError(QStringLiteral("NewContact"), QStringLiteral("\"%1\" could not be written.").arg(file));
        return;
    }
    openUrl(QUrl::fromLocalFile(file));
}

void CClientOutlook::OpenContact(const QString &entryId)
{
    for (const FolderFiles::File &file : VCardReader::files(MailSettings::read().contactsPath).files)
        for (const VCardContact &c : VCardReader::readPath(file.path))
            if (c.entryId == entryId) {
                openUrl(QUrl::fromLocalFile(file.path));
                return;
            }
}

bool CClientOutlook::NewJournalEntry(const QString &contactNames, const QString &companies, const QDateTime &start,
                                     int minutes, const QString &notes)
{
    const QString path = MailSettings::read().journalPath;
    IcsWriter::Journal entry{IcsWriter::newUid(QStringLiteral("@journal.tessaly")), start, minutes,
                             QStringLiteral("Phone Call: ") + contactNames,
                             companies.isEmpty() ? notes : companies + QLatin1Char('\n') + notes};
    if (IcsWriter::append(path, entry.uid, IcsWriter::journalText(entry, Clock::now().toUTC())) == IcsWriter::Done)
        return true;
    reportError(QStringLiteral("NewJournalEntry"), QStringLiteral("The journal \"%1\" could not be written.").arg(path));
    return false;
}

bool CClientOutlook::testOutLookInstall(const QString &calendarPath)
{
    if (!calendarPath.isEmpty() && QFileInfo::exists(calendarPath))
        return true;
    if (g_prompt)
        g_prompt->message(QStringLiteral("No calendar is set up: give a calendar file or folder as the calendar "
                                         "location in the options (\"CalendarPath\"). The calendar link will do nothing until then."),
                          IPrompt::Ok, IPrompt::Information, QStringLiteral("Calendar"));
    return false;
}
