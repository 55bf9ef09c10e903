#include "MErrorHandler.h"

#include "AppError.h"
#include "Clock.h"
#include "DateUtil.h"
#include "Globals.h"
#include "IPrompt.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <cmath>
#include <memory>

namespace {

QString g_logFolder;
std::unique_ptr<QFile> g_debugLog;

bool isWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
    QFile probe(folder + QStringLiteral("/.tessaly-write-test"));
    const bool ok = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return ok;
}

QString linePrefix()
{
    const QDateTime now = Clock::now();
    return DateUtil::mediumDate(now) + u' ' + DateUtil::longTime(now) + GetVersionTag();
}

void appendTo(QFile &file, const QString &text)
{
    file.write(text.toUtf8());
    file.flush();
}

// Pumps events for about the given time, so timers and datagrams go on.
void pumpingWait(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(std::min<qint64>(10, std::max<qint64>(0, deadline.remainingTime())));
    }
}

} // namespace

std::function<void(int)> g_busyWait = pumpingWait;

QString LogFolder()
{
    if (!g_logFolder.isEmpty())
        return g_logFolder;
    const QString programFolder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!programFolder.isEmpty() && isWritableFolder(programFolder)) {
        g_logFolder = programFolder;
    } else {
        QString state = qEnvironmentVariable("XDG_STATE_HOME");
        if (state.isEmpty())
            state = QDir::homePath() + QStringLiteral("/.local/state");
        g_logFolder = state + QStringLiteral("/tessaly");
        QDir().mkpath(g_logFolder);
    }
    return g_logFolder;
}

void SetLogFolder(const QString &folder)
{
    CloseDebugLog();
    g_logFolder = folder;
    if (!folder.isEmpty())
        QDir().mkpath(folder);
}

QString GetVersionTag()
{
    return QStringLiteral("(Qel v%1.%2.%3)")
        .arg(TESSALY_VERSION_MAJOR).arg(TESSALY_VERSION_MINOR).arg(TESSALY_VERSION_REVISION);
}

void WriteDebugLog(const QString &message)
{
    if (!g_debugLog) {
        auto file = std::make_unique<QFile>(LogFolder() + QStringLiteral("/debug.log"));
        if (!file->open(QIODevice::Append | QIODevice::WriteOnly))
            return;
        g_debugLog = std::move(file);
    }
    appendTo(*g_debugLog, linePrefix() + QStringLiteral("    ") + message + u'\n');
}

void CloseDebugLog()
{
    if (g_debugLog) {
        g_debugLog->close();
        g_debugLog.reset();
    }
}

QString GetSystemErrorText(qint32 number)
{
    switch (number) {
    case ErrNo::Busy:
        return QStringLiteral("Unspecified error\n");
    case ErrNo::Timeout:
        return QStringLiteral("Timeout expired\n");
    default:
        return QStringLiteral("(System Error Msg not found.)");
    }
}

void WriteErrorLog(qint32 number, const QString &description, const QString &source)
{
    QFile file(LogFolder() + QStringLiteral("/error.log"));
    if (!file.open(QIODevice::Append | QIODevice::WriteOnly))
        return;
    appendTo(file, linePrefix() + QStringLiteral(" [") + QString::number(number) + QStringLiteral("] \n")
                       + QStringLiteral("     ") + source + u'\n'
                       + QStringLiteral("     ") + description + GetSystemErrorText(number) + u'\n');
}

int HandleDBError(const AppError &error)
{
    const qint32 number = error.number();
    if (number == ErrNo::Busy) {
        ++g_iDBRetryCount;
        if (g_iDBRetryCount < 16) {
            const int seconds = int(DateUtil::roundHalfEven((g_iDBRetryCount + 2) / 3.0));
            g_busyWait(seconds * 1000);
            return 4;
        }
        ErrorDialog(ErrNo::DatabaseBusy, error.description(), error.source(), 0);
        return 0;
    }
    if (number == ErrNo::Raised || number == ErrNo::Timeout) {
        ++g_iDBRetryCount;
        if (g_iDBRetryCount < 16) {
            g_busyWait(150);
            return 4;
        }
        return 3;
    }
    return 3;
}

int ErrorDialog(qint32 number, const QString &description, const QString &source, qint32 titleId)
{
    Q_UNUSED(titleId);
    WriteErrorLog(number, description, source);
    int answer = 5;
    if (number == ErrNo::DatabaseBusy) {
        answer = g_prompt->message(
            QStringLiteral("Database Busy: Cannot access database right now due to an Exclusive lock, Overloading "
                           "or Database Files not set to Read/Write. Try again or contact your Network "
                           "Administrator if the problem persists."),
            IPrompt::AbortRetryIgnore, IPrompt::Exclamation, QStringLiteral("Database Busy"));
        if (answer == IPrompt::AnswerAbort)
            EndProgram(1);
    } else {
        answer = g_prompt->message(description + QStringLiteral("\n\n") + source, IPrompt::OkCancel,
                                   IPrompt::Critical, QStringLiteral("Error"));
        answer = answer == IPrompt::AnswerCancel ? 3 : 5;
        if (answer == 3)
            EndProgram(1);
    }
    g_iDBRetryCount = 0;
    return answer;
}
