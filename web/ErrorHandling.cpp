#include "ErrorHandling.h"

#include "SystemLog.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DataSourceRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace QelWeb {

namespace {

QMutex g_logMutex;

QString entryText(const QString &message, const AppError &error)
{
    QString text = message + QStringLiteral(" Error: [") + QString::number(error.number()) + QStringLiteral("]: ")
        + error.description() + QStringLiteral(" Error in: ") + error.source();
    // One entry, one line; any other control character (a NUL a page sent)
    // is written as its code, so the log stays text.
    text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    QString line;
    for (const QChar c : std::as_const(text))
        line += c.unicode() < 0x20 || c.unicode() == 0x7F ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                                                           : QString(c);
    return DataSourceRegistry::masked(line);
}

void appendLine(const QString &text)
{
    const QString path = WebLogPath();
    const QMutexLocker lock(&g_logMutex);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write((Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + text + u'\n').toUtf8());
}

} // namespace

QString WebLogPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tessaly/qelweb.log");
}

void WriteErrorEvent(const QString &message, const AppError &error)
{
    try {
        const QString text = entryText(message, error);
        SystemLog::error(text);
        appendLine(text);
    } catch (...) {
    }
}

} // namespace QelWeb
