#pragma once

#include "pagereader/PageReader.h"
#include "platform/ProcessLimits.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <optional>


// The text pane's reader of one page at a time: the program's page reader
// (tessaly-pagereader, beside the program) with limits on its processor time
// and memory, so that nothing a page holds reaches the window or the
// program's memory. One is started ahead while the pane is idle and waits,
// ready, for the next page. The window never waits on it: the page goes in
// and the pane's form comes back through the event loop, read up to a bound.
// At most one reader is alive: a newer page, stop() and the pane's end kill
// the one under way, and the newer one starts only once that one is gone;
// the page's time limit kills it too. A page whose reading needs more memory
// than a page is given is read again by its first part, an eighth as long
// each time.
class PageReaderProcess : public QObject
{
    Q_OBJECT
public:
    // What the reader may use of the processor and of memory, and the page's
    // time in it. The processor's limit bounds its work; the clock's is the
    // page's own 30 seconds, as long as a busy machine may take to give a
    // reader its 10 seconds of processor time.
    static constexpr int Slowness = ProcessLimits::Slowness;
    static constexpr int TimeLimitMs = 30000 * Slowness;
    static constexpr int CpuSeconds = 10 * Slowness;
    static constexpr qint64 AnswerLimit = 16 * 1024 * 1024;

    explicit PageReaderProcess(QObject *parent = nullptr);
    ~PageReaderProcess() override;

    // Where the reader is; beside the program unless set (tests).
    static void setProgram(const QString &path);

    // Reads page (charset: as its server declared it) for a pane that wide;
    // the answer comes by formRead or failed. A page under way is dropped.
    void read(const QByteArray &page, const QByteArray &charset, int width);
    // The page under way dropped, its reader killed.
    void stop();
    bool busy() const { return m_wanted || m_process; }
    // What the last reader to answer said of itself.
    const PageReader::Form &lastForm() const { return m_last; }

Q_SIGNALS:
    void formRead(const PageReader::Form &form);
    void failed(const QString &why);

private:
    struct Page
    {
        QByteArray bytes, charset;
        int width;
    };
    void start();
    void startSpare();
    void take();
    void ended();
    void judge(QProcess *process);
    void fail(const QString &why);
    void answered(PageReader::Form form);
    bool readFirstPart();

    QPointer<QProcess> m_process;
    QPointer<QProcess> m_spare; // started ahead, waiting for its page
    Page m_page{}; // the one being read
    std::optional<Page> m_next; // waits until the reader before it is gone
    bool m_shortened = false; // only a first part of the page is being read
    bool m_wanted = false; // the running reader's answer is still wanted
    QByteArray m_answer;
    QTimer m_deadline;
    PageReader::Form m_last;
};
