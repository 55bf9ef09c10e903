#include "PageReaderProcess.h"

#include "pagereader/PageSubset.h"
#include "platform/ProcessLimits.h"

#include <QCoreApplication>
#include <QProcess>
#include <sys/resource.h>

namespace {

// The shortest first part of a page read again when the whole needed more
// memory than a page is given.
constexpr qsizetype kSmallestPart = 4096;

QString &programPath()
{
    static QString path;
    return path;
}

QString readerProgram()
{
    return programPath().isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-pagereader")
                                   : programPath();
}

// In the reader's process before it runs (only calls a forked child may
// make): its processor time, no core file, and an address space the reader
// itself narrows to what a page may add once it has started. The
// sanitizers reserve terabytes of address space, so they go without.
void limitReader()
{
    const rlimit cpu{PageReaderProcess::CpuSeconds, PageReaderProcess::CpuSeconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
    ProcessLimits::apply();
}

QString couldNotStart()
{
    return PageReaderProcess::tr("The page reader of this pane could not start.");
}

} // namespace

PageReaderProcess::PageReaderProcess(QObject *parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(tr("The page took longer than %1 seconds to read.").arg(TimeLimitMs / 1000));
    });
    QTimer::singleShot(0, this, &PageReaderProcess::startSpare);
}

// The readers are killed and reaped: a killed process ends at once.
PageReaderProcess::~PageReaderProcess()
{
    for (QProcess *process : {m_process.data(), m_spare.data()}) {
        if (!process)
            continue;
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

void PageReaderProcess::setProgram(const QString &path)
{
    programPath() = path;
}

void PageReaderProcess::read(const QByteArray &page, const QByteArray &charset, int width)
{
    // One line of a few letters for the reader, whatever the server sent.
    QByteArray name = charset.left(40);
    name.replace('\n', ' ').replace('\r', ' ');
    m_next = Page{page, name, width};
    m_shortened = false;
    m_wanted = false;
    m_deadline.stop();
    if (m_process)
        m_process->kill(); // the newer page starts once it is gone
    else
        start();
}

void PageReaderProcess::stop()
{
    m_next.reset();
    m_wanted = false;
    m_deadline.stop();
    if (m_process)
        m_process->kill();
}

// A reader started ahead, readying itself while no page waits on it; only
// while no other is alive.
void PageReaderProcess::startSpare()
{
    if (m_process || m_spare)
        return;
    auto *process = new QProcess(this);
    m_spare = process;
    process->setChildProcessModifier(limitReader);
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        if (process == m_process)
            take();
    });
    connect(process, &QProcess::finished, this, [this, process] {
        process->deleteLater();
        if (process == m_process)
            ended();
        else if (process == m_spare)
            m_spare = nullptr; // ended before its page: the next page starts its own
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || (process != m_process && process != m_spare))
            return;
        process->deleteLater();
        if (process == m_spare) {
            m_spare = nullptr;
            return;
        }
        const bool wanted = m_wanted;
        m_process = nullptr;
        if (wanted)
            fail(couldNotStart());
        if (m_next)
            start();
    });
    process->start(readerProgram(), {});
}

// The page goes to the reader started ahead, or to one started now.
void PageReaderProcess::start()
{
    const Page page = m_page = *m_next;
    m_next.reset();
    startSpare();
    m_process = m_spare;
    m_spare = nullptr;
    m_answer.clear();
    if (!m_process) {
        fail(couldNotStart());
        return;
    }
    m_wanted = true;
    m_process->write(QByteArray::number(page.width) + ' ' + page.charset + '\n');
    m_process->write(page.bytes);
    m_process->closeWriteChannel();
    m_deadline.start(TimeLimitMs);
}

// The answer as it comes, up to its bound.
void PageReaderProcess::take()
{
    m_answer += m_process->readAllStandardOutput().left(AnswerLimit + 1 - m_answer.size());
    if (m_answer.size() > AnswerLimit && m_wanted)
        fail(tr("The page reader answered with more than this pane reads."));
}

void PageReaderProcess::ended()
{
    QProcess *process = m_process;
    m_process = nullptr;
    if (m_next) {
        start();
        return;
    }
    if (m_wanted)
        judge(process);
    m_answer.clear();
    // The next reader readies itself once the window has taken this answer.
    if (!m_process)
        QTimer::singleShot(0, this, &PageReaderProcess::startSpare);
}

// What the reader that ended said: its form, a first part to read again, or
// why nothing is shown.
void PageReaderProcess::judge(QProcess *process)
{
    m_answer += process->readAllStandardOutput().left(AnswerLimit + 1 - m_answer.size());
    PageReader::Form form;
    const bool normal = process->exitStatus() == QProcess::NormalExit;
    if (normal && process->exitCode() == 0 && m_answer.size() <= AnswerLimit && PageReader::fromAnswer(m_answer, form)) {
        answered(form);
    } else if (normal && process->exitCode() == PageSubset::OutOfMemory) {
        if (!readFirstPart())
            fail(tr("The page needs more memory to read than this pane gives a page."));
    } else if (normal && process->exitCode() == PageReader::OutOfTime) {
        fail(tr("The page needs more processor time to read than this pane gives a page."));
    } else {
        fail(tr("The page could not be read within the time and memory this pane gives a page."));
    }
}

void PageReaderProcess::answered(PageReader::Form form)
{
    m_wanted = false;
    m_deadline.stop();
    if (m_shortened) // that leaves out more of the page than any limit its first part met
        form.leftOut = tr("it needs more memory to read than this pane gives a page");
    m_last = form;
    Q_EMIT formRead(form);
}

// Reads the page's first part again where its whole needed more memory.
bool PageReaderProcess::readFirstPart()
{
    if (m_page.bytes.size() <= kSmallestPart)
        return false;
    m_next = Page{m_page.bytes.left(m_page.bytes.size() / 8), m_page.charset, m_page.width};
    m_shortened = true;
    start();
    return true;
}

void PageReaderProcess::fail(const QString &why)
{
    m_wanted = false;
    m_deadline.stop();
    if (m_process)
        m_process->kill();
    Q_EMIT failed(why);
}
