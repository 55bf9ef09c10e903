#include "ErrorHandling.h"

#include "SystemLog.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DataSourceRegistry.h"
#include "platform/LogText.h"

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
    // One entry, one line: a source's chained steps side by side, any other
    // control character (a NUL a page sent) written as its code, before the
    // password is masked, so no line break in it ends the mask early.
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return DataSourceRegistry::masked(LogText::oneLine(text));
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
