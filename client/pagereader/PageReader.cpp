#include "PageReader.h"

#include "PageCharset.h"
#include "PageDocument.h"
#include "PageSubset.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QTextBlock>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The first part tried, by its weight; each next one weighs twice as much.
// A part that does not fit within the budget costs at most a few times it.
constexpr qint64 kFirstPart = 16 * 1024;
// How much of a document is laid out between two looks at the clock.
constexpr int kLayoutStep = 4096;

qint64 cpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The reader's own largest resident size. Its usage record (getrusage)
// carries the size of the program it was started from across exec; the
// memory map's high-water mark is this program's alone.
qint64 peakKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void wholeTooSlow(int)
{
    ::_exit(PageReader::WholeTooSlow);
}

// While on (a budget over 0), the process ends with WholeTooSlow once its
// processor time runs a little past the budget: reading a form into a
// document cannot be stopped halfway, and grows faster than the form (nested
// tables, a long list, many pictures).
void watchWhole(int budgetMs)
{
    const int limitMs = budgetMs > 0 ? budgetMs + 30 : 0;
    std::signal(SIGPROF, wholeTooSlow);
    const itimerval limit{{0, 0}, {limitMs / 1000, limitMs % 1000 * 1000}};
    ::setitimer(ITIMER_PROF, &limit, nullptr);
}

// The last cut weighing at most weight; 0 (the form's start) when none does.
qsizetype cutBefore(const PageSubset &form, qint64 weight)
{
    qsizetype low = 0, high = form.cuts() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (form.cutWeight(middle) <= weight)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// The shortest first part read again.
constexpr qsizetype kSmallestPart = 4096;

// The processor time this process and the tries it waited for have used.
qint64 usedSeconds()
{
    rusage self{}, tries{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &tries);
    return self.ru_utime.tv_sec + self.ru_stime.tv_sec + tries.ru_utime.tv_sec + tries.ru_stime.tv_sec + 1;
}

// What a try may use: half of what the reader has left of its limit, a
// second kept for the answer; none when nothing is left.
rlim_t secondsForTry()
{
    rlimit limit{};
    getrlimit(RLIMIT_CPU, &limit);
    const qint64 total = limit.rlim_cur == RLIM_INFINITY ? 10 : qint64(limit.rlim_cur);
    const qint64 left = total - usedSeconds() - 1;
    return left < 1 ? 0 : rlim_t(qMax<qint64>(1, left / 2));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    QFile file;
    return file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) && file.write(bytes) == bytes.size();
}

QByteArray readAll(int fd)
{
    QFile file;
    lseek(fd, 0, SEEK_SET);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) ? file.readAll() : QByteArray();
}

bool ranOutOfTime(int waitStatus)
{
    return WIFSIGNALED(waitStatus) && (WTERMSIG(waitStatus) == SIGXCPU || WTERMSIG(waitStatus) == SIGKILL);
}

QString tooSlow()
{
    return QCoreApplication::translate("PageReader", "it would hold this window too long to lay out");
}

} // namespace

PageReader::Form PageReader::read(const QByteArray &page, const QByteArray &charset, bool wholeFirst) const
{
    const PageSubset form(PageCharset::toUtf8(page.left(PageWeight::ByteLimit), charset));
    Form read;
    read.leftOut = page.size() > PageWeight::ByteLimit ? PageWeight::tooLarge() : form.leftOut();
    qsizetype fitted = -1, tried = -1;
    // The whole form first, so a page that fits is laid out once.
    if (wholeFirst) {
        watchWhole(m_budgetMs);
        const qint64 ms = layoutMs(form.html());
        watchWhole(0);
        if (ms <= m_budgetMs)
            fitted = tried = form.cuts() - 1, read.layoutMs = ms;
    }
    // Else longer parts while they lay out within the budget; shorter ones
    // when the first does not.
    for (qint64 part = kFirstPart; fitted < 0 || tried < form.cuts() - 1; part *= 2) {
        const qsizetype cut = part >= form.cutWeight(form.cuts() - 1) ? form.cuts() - 1 : cutBefore(form, part);
        if (cut == tried)
            continue;
        tried = cut;
        const qint64 ms = layoutMs(form.upTo(cut));
        if (ms > m_budgetMs)
            break;
        fitted = cut, read.layoutMs = ms;
    }
    for (qint64 part = form.cutWeight(tried) / 2; fitted < 0 && tried > 0; part /= 2) {
        tried = cutBefore(form, part);
        const qint64 ms = layoutMs(form.upTo(tried));
        if (ms <= m_budgetMs || tried == 0)
            fitted = tried, read.layoutMs = ms;
    }
    if (fitted < 0)
        fitted = 0;
    read.html = form.upTo(fitted);
    if (fitted < form.cuts() - 1)
        read.leftOut = tooSlow();
    read.peakKB = peakKB();
    return read;
}

bool PageReader::readInParts(const QByteArray &page, const QByteArray &charset, bool wholeFirst, Form &form,
                             int &waitStatus) const
{
    QByteArray part = page;
    QString why;
    while (!readApart(part, charset, wholeFirst, form, waitStatus)) {
        // A whole form that would not fit is for the pane to read again in
        // parts, not a reason to cut the page.
        const bool wholeTooSlow = WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == WholeTooSlow;
        if (wholeTooSlow || part.size() <= kSmallestPart || secondsForTry() == 0)
            return false;
        why = ranOutOfTime(waitStatus)
            ? QCoreApplication::translate("PageReader", "it needs more processor time to read than this pane gives a page")
            : QCoreApplication::translate("PageReader", "it needs more memory to read than this pane gives a page");
        part = part.left(part.size() / 8);
    }
    if (form.leftOut.isEmpty())
        form.leftOut = why;
    return true;
}

// One try: the child reads, writes its answer to memory both share and
// ends; a child of a reader that is gone ends with it.
bool PageReader::readApart(const QByteArray &page, const QByteArray &charset, bool wholeFirst, Form &form,
                           int &waitStatus) const
{
    const rlim_t seconds = secondsForTry();
    const int answer = memfd_create("answer", MFD_CLOEXEC);
    const pid_t reader = getpid();
    const pid_t child = seconds > 0 && answer >= 0 ? fork() : -1;
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != reader)
            _exit(1);
        const rlimit cpu{seconds, seconds + 1};
        setrlimit(RLIMIT_CPU, &cpu);
        _exit(writeAll(answer, PageReader::answer(read(page, charset, wholeFirst))) ? 0 : 1);
    }
    waitStatus = 0;
    while (child > 0 && waitpid(child, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    const bool answered = child > 0 && WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0
        && fromAnswer(readAll(answer), form);
    if (answer >= 0)
        close(answer);
    if (child < 0)
        waitStatus = W_EXITCODE(1, 0);
    return answered;
}

// The processor time the layout takes, which a busy machine does not
// stretch as it stretches the time on the clock. Laid out a piece at a
// time and given up once past the budget: past it, only that it does not
// fit counts.
qint64 PageReader::layoutMs(const QString &html) const
{
    const qint64 start = cpuNs();
    const auto ms = [start] { return (cpuNs() - start) / 1000000; };
    PageDocument document;
    document.setTextWidth(m_width);
    document.setHtml(html);
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    for (int at = kLayoutStep; at < document.characterCount() && ms() <= m_budgetMs; at += kLayoutStep)
        layout->blockBoundingRect(document.findBlock(at));
    if (ms() <= m_budgetMs)
        document.size();
    return ms();
}

QByteArray PageReader::answer(const Form &form)
{
    return QByteArray::number(form.peakKB) + ' ' + QByteArray::number(form.layoutMs) + '\n' +
        form.leftOut.simplified().toUtf8() + '\n' + form.html.toUtf8();
}

bool PageReader::fromAnswer(const QByteArray &answer, Form &form)
{
    const qsizetype figures = answer.indexOf('\n'), why = answer.indexOf('\n', figures + 1);
    const QList<QByteArray> numbers = answer.left(figures).split(' ');
    if (figures < 0 || why < 0 || numbers.size() != 2)
        return false;
    form.peakKB = numbers[0].toLongLong();
    form.layoutMs = numbers[1].toLongLong();
    form.leftOut = QString::fromUtf8(answer.mid(figures + 1, why - figures - 1));
    form.html = QString::fromUtf8(answer.mid(why + 1));
    return true;
}
