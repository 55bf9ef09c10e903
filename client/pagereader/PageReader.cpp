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
#include <limits>
#include <ctime>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How much of the form's weight lays out in a millisecond of processor
// time, as a first guess: on the manual pages of a few packages, at the
// pane's usual width, nine in ten lay out faster. Each try measures it
// again.
constexpr double kWeightPerMs = 7500;
// The whole form is tried first when the guess has it fit within this many
// budgets: a whole too large costs a budget, a part laid out too small the
// page's rest.
constexpr double kWholeReach = 1.5;
// What a part is aimed to take of the budget, and the share past which a
// part that fits is taken as the largest: one layout's processor time
// varies by about the rest.
constexpr double kAim = 0.85;
constexpr double kCloseEnough = 0.65;
// Tries in all, though the search goes on until a part fits; it ends
// sooner as a rule.
constexpr int kMostTries = 5;
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

void readingTooSlow(int)
{
    ::_exit(PageReader::ReadingTooSlow);
}

// While on (a budget over 0), the process ends with ReadingTooSlow once its
// processor time runs a little past the budget: reading a form into a
// document cannot be stopped halfway, and grows faster than the form (nested
// tables, a long list, many pictures).
void watchReading(int budgetMs)
{
    const int limitMs = budgetMs > 0 ? budgetMs + 30 : 0;
    std::signal(SIGPROF, readingTooSlow);
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

// The next part to try: the cut nearest the target strictly between the
// largest part found to fit and the smallest found not to; halfway between
// them where the target is not; none (-1) when no cut lies between them or
// the two are close enough that the difference is the layout's noise.
qsizetype between(const PageSubset &form, qsizetype fitted, qsizetype over, qint64 target)
{
    const qint64 low = fitted < 0 ? 0 : form.cutWeight(fitted);
    const qint64 high = over >= form.cuts() ? form.cutWeight(form.cuts() - 1) + 1 : form.cutWeight(over);
    if (fitted >= 0 && over < form.cuts() && high - low <= high / 10)
        return -1;
    qsizetype next = cutBefore(form, target > low && target < high ? target : (low + high) / 2);
    if (next <= fitted)
        next = cutBefore(form, (low + high) / 2);
    if (next >= over)
        next = over - 1;
    return next > fitted ? next : -1;
}

// The weight of the part a try is reading, in memory the reader shares with
// its tries, so that it knows which part was too slow to read once the try
// has ended; made by the reader before its first try.
qint64 &trying()
{
    static qint64 *const shared = [] {
        void *memory = mmap(nullptr, sizeof(qint64), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        static qint64 unshared = 0;
        return memory == MAP_FAILED ? &unshared : static_cast<qint64 *>(memory);
    }();
    return *shared;
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

QString tooSlow()
{
    return QCoreApplication::translate("PageReader", "it would hold this window too long to lay out");
}

} // namespace

PageReader::Form PageReader::read(const QByteArray &page, const QByteArray &charset, qint64 below) const
{
    const PageSubset form(PageCharset::toUtf8(page.left(PageWeight::ByteLimit), charset));
    Form read;
    read.leftOut = page.size() > PageWeight::ByteLimit ? PageWeight::tooLarge() : form.leftOut();
    const qsizetype fitted = largestPartThatFits(form, below, read.layoutMs);
    read.html = form.upTo(fitted);
    if (fitted < form.cuts() - 1)
        read.leftOut = tooSlow();
    read.peakKB = peakKB();
    return read;
}

// Each try's layout tells how much of the form lays out in a millisecond
// (a part past the budget, how much of it was laid out within it), and
// the next try is the part that much predicts to fill the budget, between
// the largest part found to fit and the smallest found not to. The whole
// form is tried first where the first guess has it fit, so a page that fits
// is laid out once; a page that does not is cut within a few tries, the
// part shown about as large as lays out within the budget.
qsizetype PageReader::largestPartThatFits(const PageSubset &form, qint64 below, qint64 &layoutMs) const
{
    const qsizetype whole = form.cuts() - 1;
    const qint64 budget = qMax(m_budgetMs, 1);
    qsizetype fitted = -1; // the largest part found to fit
    // The smallest part found not to fit; those from below on are known not to.
    qsizetype over = below > form.cutWeight(0) ? cutBefore(form, below - 1) + 1 : 0;
    // After a part too slow to read, the first guess is half of it at most.
    const double guess = qMin(kAim * budget * kWeightPerMs, below / 2.0);
    const bool tryWhole = over > whole && form.cutWeight(whole) <= kWholeReach * budget * kWeightPerMs;
    qsizetype next = tryWhole ? whole : qMin(cutBefore(form, qint64(guess)), over - 1);
    for (int tries = 0; next >= 0 && (tries < kMostTries || fitted < 0); ++tries) {
        trying() = form.cutWeight(next);
        const Laid laid = layOut(form.upTo(next));
        const double weight = double(qMax<qint64>(form.cutWeight(next), 1));
        double target = 0;
        if (laid.ms <= m_budgetMs) {
            fitted = next, layoutMs = laid.ms;
            if (next == whole || laid.ms >= kCloseEnough * budget)
                break;
            target = qMin(4 * weight, kAim * budget * weight / qMax<qint64>(laid.ms, 1));
        } else {
            over = next;
            target = kAim * weight * laid.reached;
        }
        next = between(form, fitted, over, qint64(target));
    }
    return qMax<qsizetype>(fitted, 0);
}

bool PageReader::readInParts(const QByteArray &page, const QByteArray &charset, Form &form,
                             int &waitStatus) const
{
    QByteArray part = page;
    QString why;
    qint64 below = std::numeric_limits<qint64>::max();
    trying() = 0;
    while (!readApart(part, charset, below, form, waitStatus)) {
        // A try with a part that would not read into its document within
        // the budget is followed at once, in this reader, by one that tries
        // only smaller parts; it is no reason to cut the page.
        if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == ReadingTooSlow && trying() < below) {
            below = trying();
            continue;
        }
        if (part.size() <= kSmallestPart || secondsForTry() == 0)
            return false;
        why = ranOutOfTime(waitStatus)
            ? QCoreApplication::translate("PageReader", "it needs more processor time to read than this pane gives a page")
            : QCoreApplication::translate("PageReader", "it needs more memory to read than this pane gives a page");
        part = part.left(part.size() / 8);
        below = std::numeric_limits<qint64>::max();
    }
    // Why the page was shortened leaves out more of it than any limit its
    // first part met.
    if (!why.isEmpty())
        form.leftOut = why;
    return true;
}

// One try: the child reads, writes its answer to memory both share and
// ends; a child of a reader that is gone ends with it.
bool PageReader::readApart(const QByteArray &page, const QByteArray &charset, qint64 below, Form &form,
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
        _exit(writeAll(answer, PageReader::answer(read(page, charset, below))) ? 0 : 1);
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
// fit counts, and how far it got. Reading the form into the document cannot
// be stopped halfway: the process ends once that alone runs past the budget.
PageReader::Laid PageReader::layOut(const QString &html) const
{
    const qint64 start = cpuNs();
    const auto ms = [start] { return (cpuNs() - start) / 1000000; };
    PageDocument document;
    document.setTextWidth(m_width);
    watchReading(m_budgetMs);
    document.setHtml(html);
    watchReading(0);
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const int characters = qMax(document.characterCount(), 1);
    int done = 0; // laid out within the budget up to here
    for (int at = kLayoutStep; done < characters && ms() <= m_budgetMs; at += kLayoutStep) {
        if (at < characters)
            layout->blockBoundingRect(document.findBlock(at));
        else
            document.size();
        if (ms() <= m_budgetMs)
            done = qMin(at, characters);
    }
    return {ms(), double(done) / characters};
}

bool PageReader::ranOutOfTime(int waitStatus)
{
    return WIFSIGNALED(waitStatus) && (WTERMSIG(waitStatus) == SIGXCPU || WTERMSIG(waitStatus) == SIGKILL);
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
