#include "SendmailPipe.h"

#include "foundation/MErrorHandler.h"

#include <QCoreApplication>
#include <QProcess>

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
        end(false, QStringLiteral("no command"));
        return;
    }
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(false, QStringLiteral("did not start"));
    });
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        end(status == QProcess::NormalExit && code == 0, QStringLiteral("ended with %1").arg(code));
    });
    connect(m_process, &QProcess::started, this, [this, message] {
        m_process->write(message);
        m_process->closeWriteChannel();
    });
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { end(false, QStringLiteral("did not finish in time")); });
    m_timer.start(timeoutMs);
    m_process->start(words.takeFirst(), words);
}

void SendmailPipe::end(bool sent, const QString &why)
{
    if (!m_done)
        return;
    m_timer.stop();
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->disconnect(this);
        m_process->kill();
        // Reaped when it goes, not waited for here.
        connect(m_process, &QProcess::finished, this, &QObject::deleteLater);
    } else {
        deleteLater();
    }
    if (!sent)
        WriteDebugLog(QStringLiteral("Mail not sent: \"%1\" %2").arg(m_command, why));
    const Done done = std::move(m_done);
    m_done = nullptr;
    done(sent);
}
