#include "CalendarStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

void CalendarStore::setPath(const QString &path)
{
    if (path != m_path)
        m_cache.clear();
    m_path = path;
}

QStringList CalendarStore::files() const
{
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !info.exists())
        return {};
    if (!info.isDir())
        return {info.absoluteFilePath()};
    QStringList found;
    for (const QFileInfo &file : QDir(m_path).entryInfoList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name))
        found << file.absoluteFilePath();
    return found;
}

std::shared_ptr<IcsReader> CalendarStore::reader(const QString &file, QStringList &warnings)
{
    const QFileInfo info(file);
    Entry &entry = m_cache[file];
    if (entry.reader && entry.modified == info.lastModified() && entry.size == info.size())
        return entry.reader;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        warnings << QStringLiteral("%1: cannot be read").arg(file);
        m_cache.remove(file);
        return nullptr;
    }
    entry.modified = info.lastModified();
    entry.size = info.size();
    entry.reader = std::make_shared<IcsReader>(in.readAll(), info.fileName());
    if (!entry.reader->isValid())
        warnings << QStringLiteral("%1: not a calendar file; left out").arg(file);
    return entry.reader;
}

QList<CalendarAppointment> CalendarStore::day(const QDate &date, QStringList &warnings)
{
    const QDateTime from(date, QTime(0, 0));
    const QDateTime to(date.addDays(1), QTime(0, 0));
    QList<CalendarAppointment> found;
    const QStringList names = files();
    for (auto it = m_cache.begin(); it != m_cache.end();)
        it = names.contains(it.key()) ? std::next(it) : m_cache.erase(it);
    for (const QString &file : names) {
        const std::shared_ptr<IcsReader> r = reader(file, warnings);
        if (r && r->isValid())
            found += r->occurrences(from, to, warnings);
    }
    std::stable_sort(found.begin(), found.end(), [](const CalendarAppointment &a, const CalendarAppointment &b) {
        if (a.start != b.start)
            return a.start < b.start;
        if (a.fileName != b.fileName)
            return a.fileName < b.fileName;
        return a.position < b.position;
    });
    return found;
}

const CalendarAppointment *CalendarStore::running(const QList<CalendarAppointment> &day, const QDateTime &now)
{
    for (const CalendarAppointment &a : day) {
        if (a.ownStatusChange || (a.allDay && a.busy != BusyStatus::OutOfOffice))
            continue;
        if (a.runsAt(now))
            return &a;
    }
    return nullptr;
}
