#include "PageReader.h"

#include "PageCharset.h"
#include "PageDocument.h"
#include "PageSubset.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QTextBlock>
#include <csignal>
#include <ctime>
#include <sys/time.h>
#include <unistd.h>

namespace {

// The first part tried; each next one is twice as long. A part that does
// not fit within the budget costs at most a few times it.
constexpr qsizetype kFirstPart = 8 * 1024;
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

// While on, the process ends with WholeTooSlow once its processor time runs
// a little past the budget: reading a form into a document cannot be
// stopped halfway, and grows faster than the form (nested tables, a long
// list, many pictures).
void watchWhole(bool on)
{
    constexpr int limitMs = PageReader::LayoutBudgetMs + 30;
    std::signal(SIGPROF, wholeTooSlow);
    const itimerval limit{{0, 0}, {on ? limitMs / 1000 : 0, on ? limitMs % 1000 * 1000 : 0}};
    ::setitimer(ITIMER_PROF, &limit, nullptr);
}

// The last cut at or before offset; 0 (the form's start) when none is.
qsizetype cutBefore(const PageSubset &form, qsizetype offset)
{
    qsizetype low = 0, high = form.cuts() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (form.cutOffset(middle) <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
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
        watchWhole(true);
        const qint64 ms = layoutMs(form.html());
        watchWhole(false);
        if (ms <= LayoutBudgetMs)
            fitted = tried = form.cuts() - 1, read.layoutMs = ms;
    }
    // Else longer parts while they lay out within the budget; shorter ones
    // when the first does not.
    for (qsizetype part = kFirstPart; fitted < 0 || tried < form.cuts() - 1; part *= 2) {
        const qsizetype cut = part >= form.cutOffset(form.cuts() - 1) ? form.cuts() - 1 : cutBefore(form, part);
        if (cut == tried)
            continue;
        tried = cut;
        const qint64 ms = layoutMs(form.upTo(cut));
        if (ms > LayoutBudgetMs)
            break;
        fitted = cut, read.layoutMs = ms;
    }
    for (qsizetype part = form.cutOffset(tried) / 2; fitted < 0 && tried > 0; part /= 2) {
        tried = cutBefore(form, part);
        const qint64 ms = layoutMs(form.upTo(tried));
        if (ms <= LayoutBudgetMs || tried == 0)
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
    for (int at = kLayoutStep; at < document.characterCount() && ms() <= LayoutBudgetMs; at += kLayoutStep)
        layout->blockBoundingRect(document.findBlock(at));
    if (ms() <= LayoutBudgetMs)
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
