#include "PageReaderProcess.h"

#include "pagereader/PageSubset.h"

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
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    const rlimit space{rlim_t(2) << 30, rlim_t(2) << 30};
    setrlimit(RLIMIT_AS, &space);
#endif
}

} // namespace

PageReaderProcess::PageReaderProcess(QObject *parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(tr("The page took longer than %1 seconds to read.").arg(TimeLimitMs / 1000));
    });
}

// The reader is killed and reaped: a killed process ends at once.
PageReaderProcess::~PageReaderProcess()
{
    if (!m_process)
        return;
    m_process->disconnect(this);
    m_process->kill();
    m_process->waitForFinished(1000);
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

void PageReaderProcess::start()
{
    const Page page = m_page = *m_next;
    m_next.reset();
    auto *process = new QProcess(this);
    m_process = process;
    m_wanted = true;
    m_answer.clear();
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
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || process != m_process)
            return;
        process->deleteLater();
        const bool wanted = m_wanted;
        m_process = nullptr;
        if (wanted)
            fail(tr("The page reader of this pane could not start."));
        if (m_next)
            start();
    });
    process->start(readerProgram(), {QString::number(page.width)});
    process->write(page.charset + '\n');
    process->write(page.bytes);
    process->closeWriteChannel();
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
    if (!m_wanted)
        return;
    m_answer += process->readAllStandardOutput().left(AnswerLimit + 1 - m_answer.size());
    PageReader::Form form;
    const bool normal = process->exitStatus() == QProcess::NormalExit;
    if (normal && process->exitCode() == 0 && m_answer.size() <= AnswerLimit && PageReader::fromAnswer(m_answer, form)) {
        answered(form);
    } else if (normal && process->exitCode() == PageSubset::OutOfMemory) {
        if (!readFirstPart())
            fail(tr("The page needs more memory to read than this pane gives a page."));
    } else {
        fail(tr("The page could not be read within the time and memory this pane gives a page."));
    }
    m_answer.clear();
}

void PageReaderProcess::answered(PageReader::Form form)
{
    m_wanted = false;
    m_deadline.stop();
    if (m_shortened && form.leftOut.isEmpty())
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
