#include "CalendarWatcherProcess.h"

#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"

CalendarWatcherProcess::CalendarWatcherProcess(const QString &program, const QStringList &arguments)
    : m_program(program), m_arguments(arguments)
{
    m_channel.onProblem = [](const QString &problem) { WriteDebugLog(problem); };
    m_channel.onMessage = [this](const QString &name, const QJsonObject &message) { event(name, message); };
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
            [this] { m_channel.feed(m_process.readAllStandardOutput()); });
    connect(&m_process, &QProcess::readyReadStandardError, this, [this] { readErrors(); });
    connect(&m_process, &QProcess::finished, this, [this] { finished(); });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished();
    });
    m_restartTimer.setSingleShot(true);
    connect(&m_restartTimer, &QTimer::timeout, this, [this] { Start(m_period); });
}

CalendarWatcherProcess::~CalendarWatcherProcess()
{
    CloseDown();
}

void CalendarWatcherProcess::launch()
{
    m_channel.clear();
    m_errorText.clear();
    m_process.start(m_program, m_arguments);
}

void CalendarWatcherProcess::Start(qint32 periodMs)
{
    m_period = periodMs;
    m_closed = false;
    if (m_process.state() == QProcess::NotRunning)
        launch();
    send(WatcherChannel::command(QStringLiteral("Start"), {{QStringLiteral("period"), periodMs},
                                                           {QStringLiteral("lastId"), g_sLastApptIdentity}}));
}

void CalendarWatcherProcess::send(const QByteArray &line)
{
    if (m_process.state() != QProcess::NotRunning)
        m_process.write(line);
}

void CalendarWatcherProcess::CloseDown()
{
    if (m_closed)
        return;
    m_closed = true;
    m_restartTimer.stop();
    if (m_process.state() == QProcess::NotRunning)
        return;
    send(WatcherChannel::command(QStringLiteral("CloseDown")));
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(CloseDownWaitMs)) {
        WriteDebugLog(QStringLiteral("The calendar watcher did not end in time; it is stopped"));
        m_process.kill();
        m_process.waitForFinished(CloseDownWaitMs);
    }
}

void CalendarWatcherProcess::event(const QString &name, const QJsonObject &message)
{
    if (m_closed)
        return;
    if (name == QLatin1String("StatusBarMessage")) {
        if (onStatusBarMessage)
            onStatusBarMessage(message.value(QStringLiteral("msg")).toString());
    } else if (const QString id = message.value(QStringLiteral("id")).toString();
               !id.isEmpty() && id == g_sLastApptIdentity) {
        // Applied already, whichever watcher saw it first: a status the user
        // set since then stands.
        return;
    } else if (onNeedToUpdateStatus) {
        onNeedToUpdateStatus(message.value(QStringLiteral("status")).toString(),
                             message.value(QStringLiteral("note")).toString(),
                             message.value(QStringLiteral("outAt")).toDouble(),
                             message.value(QStringLiteral("dueBack")).toDouble(),
                             message.value(QStringLiteral("modTime")).toDouble(),
                             message.value(QStringLiteral("id")).toString());
    }
}

void CalendarWatcherProcess::readErrors()
{
    m_errorText += m_process.readAllStandardError();
    qsizetype end;
    while ((end = m_errorText.indexOf('\n')) >= 0) {
        WriteDebugLog(QStringLiteral("zoroutlook: ") + QString::fromUtf8(m_errorText.left(end)));
        m_errorText.remove(0, end + 1);
    }
    if (m_errorText.size() > WatcherChannel::MaxLineBytes)
        m_errorText.clear();
}

void CalendarWatcherProcess::finished()
{
    if (m_closed)
        return;
    WriteDebugLog(QStringLiteral("The calendar watcher ended on its own (exit code %1%2)")
                      .arg(m_process.exitCode())
                      .arg(m_process.exitStatus() == QProcess::CrashExit ? QStringLiteral(", killed") : QString()));
    if (m_restarts >= MaxRestarts)
        return;
    ++m_restarts;
    m_restartTimer.start(m_period);
}
