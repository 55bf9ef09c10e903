#pragma once

#include "CalendarAppointment.h"
#include "IcsReader.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <memory>

// The user's calendar: one .ics file, or every .ics file of a folder. A file
// is parsed again only when it changed; a file that does not parse is
// reported and left out, the others still count.
class CalendarStore
{
public:
    void setPath(const QString &path);
    const QString &path() const { return m_path; }

    // The occurrences overlapping the given local day, in start order (ties:
    // file name, then place in the file). Problems go to warnings.
    QList<CalendarAppointment> day(const QDate &date, QStringList &warnings);

    // The appointment running now that may set a status: whole-day events
    // only when marked out of office, never one this program wrote.
    static const CalendarAppointment *running(const QList<CalendarAppointment> &day, const QDateTime &now);

private:
    struct Entry
    {
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<IcsReader> reader;
    };

    QStringList files() const;
    std::shared_ptr<IcsReader> reader(const QString &file, QStringList &warnings);

    QString m_path;
    QHash<QString, Entry> m_cache;
};
