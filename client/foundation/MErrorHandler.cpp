#include "MErrorHandler.h"

#include "Globals.h"
#include "IErrorWindow.h"
#include "IPrompt.h"
#include "LogFile.h"
#include "MCIFunctions.h"
#include "MWait.h"
#include "StringTable.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/LogText.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <limits>

namespace {

QString g_logFolder;
LogFile g_debugLog(QStringLiteral("debug.log"), true);
LogFile g_errorLog(QStringLiteral("error.log"), false);

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

QString linePrefixAt(const QDateTime &moment)
{
    return DateUtil::mediumDate(moment) + u' ' + DateUtil::longTime(moment) + GetVersionTag();
}

// The prefix shows the time to the second, and a flood of datagrams writes
// lines far faster: it is made once a second.
QString linePrefix()
{
    if (Clock::isPinned())
        return linePrefixAt(Clock::now());
    thread_local qint64 second = std::numeric_limits<qint64>::min();
    thread_local QString prefix;
    const qint64 now = Clock::nowMs();
    const qint64 thisSecond = now >= 0 ? now / 1000 : (now - 999) / 1000;
    if (thisSecond != second) {
        prefix = linePrefixAt(QDateTime::fromMSecsSinceEpoch(now));
        second = thisSecond;
    }
    return prefix;
}

// Callers join their texts with CR LF; the error window shows them with LF.
QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

int busyBox()
{
    const int answer = g_prompt->message(
        QStringLiteral("Database Busy: Cannot access database right now due to an Exclusive lock, Overloading "
                       "or Database Files not set to Read/Write. Try again or contact your Network "
                       "Administrator if the problem persists."),
        IPrompt::AbortRetryIgnore, IPrompt::Exclamation, QStringLiteral("Database Busy"));
    if (answer == IPrompt::AnswerAbort)
        EndProgram(1);
    return answer;
}

[[noreturn]] void databaseLayerFailure()
{
    g_prompt->message(QStringLiteral("Database Layer Failure. Please Make sure the Qt SQL drivers (SQLite and "
                                     "PostgreSQL) have been installed correctly. See your Network Administrator."),
                      IPrompt::Ok, IPrompt::Critical, QStringLiteral("Database Error"));
    EndProgram(1);
}

int errorWindow(qint32 number, const QString &description, const QString &source, qint32 titleId)
{
    // The title is looked up by its own number: a caller may name a text of
    // any language block.
    QString title = titleId > 0 ? StringTable::text(titleId) : QString();
    if (title.isEmpty())
        title = QStringLiteral("An Error has Occurred");
    QString details = description + QStringLiteral("\n\n") + source;
    if (number < 0)
        details += u'\n' + GetSystemErrorText(number);
    const int answer = g_errorWindow->showError(title + u'\n' + GetVersionTag(), withLineFeeds(details));
    if (answer == IErrorWindow::AnswerExit)
        EndProgram(1);
    return IErrorWindow::AnswerContinue;
}

} // namespace

std::function<void(int)> g_busyWait = [](int milliseconds) { WaitForTimer(milliseconds / 1000.0); };

namespace {
QDeadlineTimer g_retriesEnd(QDeadlineTimer::Forever);
}

void BoundDatabaseRetries(int milliseconds)
{
    g_retriesEnd = milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(milliseconds);
}

QString DefaultLogFolder(const QString &programFolder)
{
    if (!programFolder.isEmpty() && isWritableFolder(programFolder))
        return programFolder;
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tessaly");
}

QString LogFolder()
{
    if (g_logFolder.isEmpty()) {
        g_logFolder = DefaultLogFolder(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
        QDir().mkpath(g_logFolder);
    }
    return g_logFolder;
}

void SetLogFolder(const QString &folder)
{
    CloseDebugLog();
    g_errorLog.close();
    g_logFolder = folder;
    if (!folder.isEmpty())
        QDir().mkpath(folder);
}

QString GetVersionTag()
{
    // Every log line carries it.
    static const QString tag = QStringLiteral("(Qel v%1.%2.%3)")
                                   .arg(TESSALY_VERSION_MAJOR)
                                   .arg(TESSALY_VERSION_MINOR)
                                   .arg(TESSALY_VERSION_REVISION);
    return tag;
}

void WriteDebugLog(const QString &message)
{
    g_debugLog.write(LogFolder(), linePrefix(), QStringLiteral("    ") + LogText::oneLine(message) + u'\n');
}

void WriteDebugLog(const std::function<QString()> &message)
{
    g_debugLog.write(LogFolder(), linePrefix(),
                     [&message]() -> QString { return QStringLiteral("    ") + LogText::oneLine(message()) + u'\n'; });
}

void CloseDebugLog()
{
    g_debugLog.close();
}

QString GetSystemErrorText(qint32 number)
{
    switch (number) {
    case ErrNo::Busy:
        return QStringLiteral("Unspecified error\n");
    case ErrNo::Timeout:
        return QStringLiteral("Timeout expired\n");
    case ErrNo::BadStatement:
        return QStringLiteral("The statement could not be run: a syntax error, or a missing table or column.\n");
    case ErrNo::ConnectFailed:
        return QStringLiteral("The database could not be reached.\n");
    case ErrNo::ConstraintFailed:
        return QStringLiteral("A key or constraint of the table refused the row.\n");
    default:
        return QStringLiteral("(System Error Msg not found.)");
    }
}

// An entry is its header line, the source's line and the description's, each
// text whole on its line: the CR LF that chains a source's steps is shown as
// its codes like any other, since a file name or a server's message can hold
// one too, with a forged header behind it.
void WriteErrorLog(qint32 number, const QString &description, const QString &source)
{
    g_errorLog.write(LogFolder(), linePrefix(),
                     QStringLiteral(" [") + QString::number(number) + QStringLiteral("] \n") + QStringLiteral("     ") +
                         LogText::oneLine(source) + u'\n' + QStringLiteral("     ") + LogText::oneLine(description) +
                         GetSystemErrorText(number) + u'\n');
}

int HandleDBError(const AppError &error)
{
    const qint32 number = error.number();
    if ((number == ErrNo::Busy || number == ErrNo::Raised || number == ErrNo::Timeout) && g_retriesEnd.hasExpired()) {
        WriteDebugLog(QStringLiteral("The database did not answer in the time left: ") + error.description());
        g_iDBRetryCount = 0;
        return 3;
    }
    if (number == ErrNo::Busy) {
        ++g_iDBRetryCount;
        if (g_iDBRetryCount < 16) {
            // 1, 1, 2, 2, 2, 3, ... 6 seconds: about fifty in all.
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
            g_busyWait(kShortBusyPauseMs);
            return 4;
        }
        return 3;
    }
    return 3;
}

int ErrorDialog(qint32 number, const QString &description, const QString &source, qint32 titleId)
{
    WriteErrorLog(number, description, source);
    int answer;
    if (number == ErrNo::DatabaseBusy)
        answer = busyBox();
    else if (number == ErrNo::AdoUnusable)
        databaseLayerFailure();
    else
        answer = errorWindow(number, description, source, titleId);
    g_iDBRetryCount = 0;
    return answer;
}

void TellWhenSettingsUnsaved()
{
    Registry::onSaveFailed([](const QString &why) {
        WriteDebugLog(QStringLiteral("Settings not saved: ") + why);
        const QString text = QStringLiteral("Your settings could not be saved: %1. What you change in them is kept "
                                            "only until the program ends.")
                                 .arg(why);
        if (!QCoreApplication::instance())
            return;
        // Told when the step that saved them is over, not in its middle.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [text] {
            if (g_prompt)
                g_prompt->message(text, IPrompt::Ok, IPrompt::Exclamation, ApplicationTitle());
        }, Qt::QueuedConnection);
    });
}
