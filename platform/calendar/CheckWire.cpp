#include "CheckWire.h"

#include <QDataStream>
#include <QIODevice>
#include <QTimeZone>

namespace {
QByteArray framed(const QByteArray &body)
{
    QByteArray out;
    QDataStream(&out, QIODevice::WriteOnly) << quint32(body.size());
    return out + body;
}

// A moment as itself: a local time the clocks pass twice (the hour they go
// back) read back from its wall clock would be the first.
struct Moment
{
    QDateTime &at;
};
struct Written
{
    const QDateTime &at;
};

QDataStream &operator<<(QDataStream &out, Written m)
{
    return out << m.at.isValid() << (m.at.timeSpec() == Qt::UTC) << (m.at.isValid() ? m.at.toMSecsSinceEpoch() : 0);
}

QDataStream &operator>>(QDataStream &in, Moment m)
{
    bool valid = false, utc = false;
    qint64 ms = 0;
    in >> valid >> utc >> ms;
    m.at = !valid ? QDateTime() : utc ? QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()) : QDateTime::fromMSecsSinceEpoch(ms);
    return in;
}

QDataStream &operator<<(QDataStream &out, const CalendarAppointment &a)
{
    return out << a.uid << a.subject << a.location << Written{a.start} << Written{a.end} << a.allDay << int(a.busy) << a.isPrivate
               << a.ownStatusChange << a.modified << a.fileName << a.position;
}

QDataStream &operator>>(QDataStream &in, CalendarAppointment &a)
{
    int busy = 0;
    in >> a.uid >> a.subject >> a.location >> Moment{a.start} >> Moment{a.end} >> a.allDay >> busy >> a.isPrivate
        >> a.ownStatusChange >> a.modified >> a.fileName >> a.position;
    a.busy = BusyStatus(busy);
    return in;
}
} // namespace

QByteArray CheckWire::request(const Request &r)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out << r.path << Written{r.now} << r.zone << r.budgetMs << qint32(r.skip.size());
    for (const GivenUp &g : r.skip)
        out << g.file << g.stamp << qint32(g.series) << g.named;
    return framed(body);
}

std::optional<CheckWire::Request> CheckWire::request(const QByteArray &body)
{
    QDataStream in(body);
    Request r;
    qint32 skipped = 0;
    in >> r.path >> Moment{r.now} >> r.zone >> r.budgetMs >> skipped;
    for (qint32 i = 0; i < skipped && in.status() == QDataStream::Ok; ++i) {
        GivenUp g;
        qint32 series = 0;
        in >> g.file >> g.stamp >> series >> g.named;
        g.series = series;
        r.skip.append(g);
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return r;
}

QByteArray CheckWire::answer(const CalendarCheck::Result &result)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out << result.warnings << result.running.has_value();
    if (result.running)
        out << *result.running;
    return framed(body);
}

std::optional<CalendarCheck::Result> CheckWire::answer(const QByteArray &body)
{
    QDataStream in(body);
    CalendarCheck::Result result;
    bool running = false;
    in >> result.warnings >> running;
    if (running) {
        CalendarAppointment a;
        in >> a;
        result.running = a;
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return result;
}

std::optional<quint32> CheckWire::lengthOf(const QByteArray &received)
{
    if (received.size() < HeaderSize)
        return std::nullopt;
    quint32 length = 0;
    QDataStream(received.left(HeaderSize)) >> length;
    return length;
}
