#include "CalendarWatcherFactory.h"

#include "CalendarWatcherProcess.h"

#include "foundation/MErrorHandler.h"

#include <QCoreApplication>
#include <QFileInfo>

std::unique_ptr<ICalendarWatcher> CalendarWatcherFactory::create()
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/zoroutlook");
    if (!QFileInfo(program).isExecutable()) {
        WriteDebugLog(QStringLiteral("The calendar watcher is missing: ") + program);
        return nullptr;
    }
    return std::make_unique<CalendarWatcherProcess>(
        program, QStringList{QStringLiteral("--parent"), QString::number(QCoreApplication::applicationPid()),
                             QStringLiteral("--log-folder"), LogFolder()});
}
