#include "CheckServer.h"

#include "CheckWire.h"

#include "platform/WholeWrite.h"

#include <QHash>

#include <utility>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {
// The processor time left to the next check, past what was used so far:
// a call of the library that the program's watch cannot end (the program
// gone) ends with the helper.
void limitProcessor(int seconds)
{
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    rlimit cpu{};
    getrlimit(RLIMIT_CPU, &cpu);
    cpu.rlim_cur = std::min(cpu.rlim_max, rlim_t(used.ru_utime.tv_sec + used.ru_stime.tv_sec) + rlim_t(seconds));
    setrlimit(RLIMIT_CPU, &cpu);
}

void takeZone(const QByteArray &zone)
{
    if (zone == qgetenv("TZ"))
        return;
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}
} // namespace

CheckServer::CheckServer(int in, int out, std::unique_ptr<AnnouncedSeries> board)
    : m_in(in), m_out(out), m_board(std::move(board))
{
}

QString CheckServer::givenUpText(const QString &file, const char *subject)
{
    return QStringLiteral("%1: the repeats of \"%2\" held the check longer than one series may; "
                          "left out until the file changes")
        .arg(file, QString::fromUtf8(subject));
}

int CheckServer::run()
{
    QHash<QString, bool> skip; // whether named already
    QStringList named;
    m_store.setGuard([this, &skip, &named](const CalendarStore::SeriesAhead &s) {
        if (skip.isEmpty() || !skip.contains(CheckWire::GivenUp{s.file, s.stamp, s.series}.key())) {
            m_board->announce(s.file, s.stamp, s.series);
            return true;
        }
        // Named by the first helper to leave it out, as its subject is read here.
        bool &done = skip[CheckWire::GivenUp{s.file, s.stamp, s.series}.key()];
        if (!std::exchange(done, true))
            named << givenUpText(s.file, s.reader.subjectOf(s.series));
        return false;
    });
    const std::atomic_bool never(false);
    QByteArray body;
    while (readMessage(body)) {
        const std::optional<CheckWire::Request> request = CheckWire::request(body);
        if (!request)
            return 2;
        takeZone(request->zone);
        limitProcessor(CheckCpuSeconds);
        skip.clear();
        named.clear();
        for (const CheckWire::GivenUp &g : request->skip)
            skip.insert(g.key(), g.named);
        CalendarCheck::Result result =
            CalendarCheck::inProcess(m_store, request->path, request->now, never, request->budgetMs);
        m_board->clear();
        result.warnings = named + result.warnings;
        if (!WholeWrite::to(m_out, CheckWire::answer(result)))
            return 1;
    }
    return 0;
}

bool CheckServer::readMessage(QByteArray &body)
{
    QByteArray received;
    char chunk[65536];
    for (;;) {
        const std::optional<quint32> length = CheckWire::lengthOf(received);
        if (length && *length > CheckWire::MostBytes)
            return false;
        if (length && received.size() >= CheckWire::HeaderSize + qsizetype(*length)) {
            body = received.mid(CheckWire::HeaderSize);
            return true;
        }
        const size_t want = length ? std::min(sizeof chunk, size_t(CheckWire::HeaderSize + *length - received.size()))
                                   : size_t(CheckWire::HeaderSize - received.size());
        const ssize_t got = ::read(m_in, chunk, want);
        if (got <= 0)
            return false;
        received.append(chunk, got);
    }
}
