#include "CheckProcess.h"

#include "platform/WholeWrite.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {
// How often the helper's processor time is read while it works, and a
// cancelled check noticed.
constexpr int kTickMs = 10;
// Helpers started for one check at most: one for each series given up, and
// one for a helper that ended while it waited.
constexpr int kMostStarts = 6;
constexpr qint64 kMsNs = 1000 * 1000;

QString &programPath()
{
    static QString path;
    return path;
}

QString helperProgram()
{
    if (!programPath().isEmpty())
        return programPath();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-calendarcheck");
}
} // namespace

CheckProcess::~CheckProcess()
{
    end();
}

void CheckProcess::setProgram(const QString &path)
{
    programPath() = path;
}

std::optional<CalendarCheck::Result> CheckProcess::check(const QString &path, const QDateTime &now,
                                                         const std::atomic_bool &cancelled)
{
    CalendarCheck::Result result;
    QElapsedTimer clock;
    clock.start();
    qint64 expandingNs = 0; // of every helper this check started or asked
    for (int start = 0; start < kMostStarts; ++start) {
        if (!started())
            return start == 0 ? std::nullopt : std::optional(result);
        const CheckWire::Request request{path, now, qgetenv("TZ"),
                                         std::max<qint64>(250, CheckBudget::DefaultMs - clock.elapsed()), givenUp()};
        CalendarCheck::Result answer;
        const bool sent = WholeWrite::to(m_in, CheckWire::request(request));
        if (!sent)
            end();
        const Outcome outcome = sent ? await(answer, expandingNs, cancelled) : Outcome::Ended;
        if (outcome == Outcome::Answered) {
            for (CheckWire::GivenUp &g : m_givenUp)
                g.named = true; // by the helper that answered
            answer.warnings = result.warnings + answer.warnings;
            return answer;
        }
        if (outcome == Outcome::Cancelled)
            return result;
        // The helper is gone; what it was expanding is given up.
        const AnnouncedSeries::Series series = m_board->last();
        if (series.index >= 0)
            giveUp(series);
        if (expandingNs >= CheckCpuMs * kMsNs || (outcome == Outcome::Held && series.index < 0))
            break;
    }
    end();
    result.warnings << QStringLiteral("%1: the check of the calendar took longer than a check may; it was ended")
                           .arg(path);
    return result;
}

QList<CheckWire::GivenUp> CheckProcess::givenUp() const
{
    return m_givenUp.values();
}

// The series stays given up while its file stays as it is; the next helper
// to leave it out names it.
void CheckProcess::giveUp(const AnnouncedSeries::Series &series)
{
    for (auto it = m_givenUp.begin(); it != m_givenUp.end();)
        it = it->file == series.file && it->stamp != series.stamp ? m_givenUp.erase(it) : std::next(it);
    const CheckWire::GivenUp given{series.file, series.stamp, series.index, false};
    if (!m_givenUp.contains(given.key()))
        m_givenUp.insert(given.key(), given);
}

bool CheckProcess::started()
{
    if (m_pid > 0)
        return true;
    if (!m_board)
        m_board = AnnouncedSeries::create();
    const QByteArray program = helperProgram().toLocal8Bit();
    if (!m_board || ::access(program.constData(), X_OK) != 0)
        return false;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, m_board->fd(), 3);
    char *argv[] = {const_cast<char *>(program.constData()), nullptr};
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (failed != 0) {
        close(in[1]);
        close(out[0]);
        return false;
    }
    m_pid = pid;
    m_in = in[1];
    m_out = out[0];
    return true;
}

// The helper's answer, as it comes, while its processor time is watched:
// what a series has held it, and what the check's series have together.
// Reading the files is not expanding them, as in the check's own budget.
CheckProcess::Outcome CheckProcess::await(CalendarCheck::Result &result, qint64 &expandingNs,
                                          const std::atomic_bool &cancelled)
{
    QByteArray received;
    qint64 last = this->cpuNs(), seriesFrom = last;
    quint64 seen = m_board->count();
    const auto gone = [this](Outcome outcome) {
        end();
        return outcome;
    };
    for (;;) {
        pollfd ready{m_out, POLLIN, 0};
        if (poll(&ready, 1, kTickMs) > 0) {
            char chunk[65536];
            const ssize_t got = ::read(m_out, chunk, sizeof chunk);
            if (got <= 0 && !(got < 0 && errno == EINTR))
                return gone(Outcome::Ended);
            if (got > 0)
                received.append(chunk, got);
            const std::optional<quint32> length = CheckWire::lengthOf(received);
            if (length && *length > CheckWire::MostBytes)
                return gone(Outcome::Ended);
            if (length && received.size() >= CheckWire::HeaderSize + qsizetype(*length)) {
                const std::optional<CalendarCheck::Result> answer = CheckWire::answer(received.mid(CheckWire::HeaderSize));
                if (!answer)
                    return gone(Outcome::Ended);
                result = *answer;
                return Outcome::Answered;
            }
        }
        if (cancelled.load(std::memory_order_relaxed))
            return gone(Outcome::Cancelled);
        const qint64 cpu = this->cpuNs();
        const bool expanding = m_board->seriesUnderWay();
        if (expanding)
            expandingNs += std::max<qint64>(0, cpu - last);
        last = cpu;
        if (const quint64 count = m_board->count(); count != seen) {
            seen = count;
            seriesFrom = cpu;
        }
        if ((expanding && cpu - seriesFrom > SeriesCpuMs * kMsNs) || expandingNs > CheckCpuMs * kMsNs)
            return gone(Outcome::Held);
    }
}

qint64 CheckProcess::cpuNs() const
{
    clockid_t clock;
    timespec t{};
    if (m_pid <= 0 || clock_getcpuclockid(m_pid, &clock) != 0 || clock_gettime(clock, &t) != 0)
        return 0;
    return qint64(t.tv_sec) * 1000 * kMsNs + t.tv_nsec;
}

void CheckProcess::end()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    close(m_in);
    close(m_out);
    m_pid = 0;
    m_in = m_out = -1;
}
