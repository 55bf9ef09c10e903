#include "SendmailPipe.h"

#include "foundation/MErrorHandler.h"
#include "platform/TextLimit.h"

#include <QCoreApplication>
#include <QProcess>

#include <csignal>
#include <unistd.h>

namespace {

// The command and whatever it starts (a shell's pipeline, a queue runner)
// form one group, so the time limit can end them all, not the first alone.
void endGroup(const QProcess &process)
{
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
}

} // namespace

// Owned by the application until it deletes itself, so a submission still
// running when the program ends goes with it.
SendmailPipe::SendmailPipe(const QString &command, Done done)
    : QObject(QCoreApplication::instance()), m_command(command), m_done(std::move(done))
{
}

void SendmailPipe::start(const QString &command, const QByteArray &message, Done done, int timeoutMs)
{
    auto *pipe = new SendmailPipe(command, std::move(done));
    // Queued, so that even a command that cannot start answers after the caller is ready.
    QMetaObject::invokeMethod(pipe, [pipe, message, timeoutMs] { pipe->run(message, timeoutMs); },
                              Qt::QueuedConnection);
}

void SendmailPipe::run(const QByteArray &message, int timeoutMs)
{
    QStringList words = QProcess::splitCommand(m_command);
    if (words.isEmpty()) {
        end(NotStarted, QStringLiteral("no command"));
        return;
    }
    m_process = new QProcess(this);
    // Its output is not read: kept, a chatty command would fill the memory.
    // Of its complaints the start is kept for the log and the user, never
    // passed on whole: a command that complains endlessly would flood the
    // program's own error stream.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyReadStandardError, this, &SendmailPipe::readComplaints);
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(NotStarted, QStringLiteral("did not start"));
    });
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        readComplaints();
        end(status == QProcess::NormalExit && code == 0 ? Sent : Refused, QStringLiteral("ended with %1").arg(code));
    });
    connect(m_process, &QProcess::started, this, [this, message] {
        m_process->write(message);
        m_process->closeWriteChannel();
    });
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { end(TimedOut, QStringLiteral("did not finish in time")); });
    m_timer.start(timeoutMs);
    m_process->start(words.takeFirst(), words);
}

void SendmailPipe::readComplaints()
{
    const QByteArray read = m_process->readAllStandardError();
    if (m_leftOut > 0) {
        m_leftOut += read.size();
        return;
    }
    m_said += read;
    if (m_said.size() > kSaidBytes) {
        const qsizetype kept = TextLimit::utf8Left(m_said, kSaidBytes).size();
        m_leftOut = m_said.size() - kept;
        m_said.truncate(kept);
    }
}

QString SendmailPipe::said() const
{
    QString text = QString::fromUtf8(m_said).trimmed();
    if (m_leftOut > 0)
        text += QStringLiteral(" (%1 more bytes left out)").arg(m_leftOut);
    return text;
}

void SendmailPipe::end(Result result, const QString &why)
{
    if (!m_done)
        return;
    m_timer.stop();
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->disconnect(this);
        endGroup(*m_process);
        // Reaped when it goes, not waited for here.
        connect(m_process, &QProcess::finished, this, &QObject::deleteLater);
    } else {
        deleteLater();
    }
    const QString text = said();
    if (result != Sent)
        WriteDebugLog(QStringLiteral("Mail not sent: \"%1\" %2").arg(m_command, why)
                      + (text.isEmpty() ? QString() : QStringLiteral(": ") + text));
    else if (!text.isEmpty())
        WriteDebugLog(QStringLiteral("Mail command \"%1\" said: %2").arg(m_command, text));
    const Done done = std::move(m_done);
    m_done = nullptr;
    done(result, text);
}
