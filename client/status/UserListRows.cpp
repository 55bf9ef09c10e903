#include "UserListRows.h"

#include "UserListItem.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"
#include "foundation/MCIFunctions.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QHash>

void UserListRows::SetListItemStatus(UserListItem &item, double &outTime, double &dueBack, QString &note,
                                     QString &status)
{
    item.Note = note.trimmed();
    if (status.trimmed().isEmpty())
        status = BuiltInStatus::In;
    item.StatusText = GetStatusDescription(status);
    const CStatus *custom = IsCustomStatus(status) ? FindCustomStatus(status) : nullptr;
    item.IconKey = custom ? custom->Icon : status;
    if (status == BuiltInStatus::In) {
        outTime = 0;
        dueBack = 0;
    }

    const double now = Clock::nowDays();
    item.OutTime = outTime;
    item.OutText = outTime == 0 ? QString() : cellText(outTime, now);
    item.Pending = outTime != 0 && DateUtil::minutesBetween(now, outTime) >= 1;
    item.NoteColour = item.Pending ? grey() : QColor();
    if (item.Pending) {
        item.IconKey = BuiltInStatus::In;
        item.StatusText = GetResString(174);
    }

    item.DueBack = dueBack;
    item.DueBackText = dueBack == 0 ? QString() : cellText(dueBack, now);
    const bool overdue = dueBack != 0 && DateUtil::minutesBetween(now, dueBack) < 0;
    item.DueBackColour = overdue ? QColor(Qt::red) : QColor();
}

QString UserListRows::cellText(double when, double now)
{
    // Rows share a handful of times (people leave for the same meeting), so
    // each text is made once and shared: a load of thousands of rows spends
    // less time and memory on them. It depends on the time and on whether
    // that is today.
    static QHash<double, QString> made[2];
    const bool today = DateUtil::daysBetween(now, when) == 0;
    QHash<double, QString> &texts = made[today ? 1 : 0];
    const auto found = texts.constFind(when);
    if (found != texts.constEnd())
        return *found;
    if (texts.size() >= 1024)
        texts.clear();
    return *texts.insert(when, timeText(when, today));
}

QString UserListRows::timeText(double when, bool today)
{
    // "h:mm ap" written out: a load of thousands of rows would otherwise
    // read the format again for every cell.
    const QTime at = DateUtil::timeOf(when);
    const int hour = at.hour() % 12 == 0 ? 12 : at.hour() % 12;
    const QString time = QString::number(hour) + u':' + QString::number(at.minute()).rightJustified(2, u'0')
        + (at.hour() < 12 ? QLatin1String(" am") : QLatin1String(" pm"));
    if (today)
        return time;
    return DateUtil::mediumDate(DateUtil::fromDays(when)) + u' ' + time;
}

QColor UserListRows::grey()
{
    return QColor(0x80, 0x80, 0x80);
}
