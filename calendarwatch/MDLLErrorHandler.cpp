#include "MDLLErrorHandler.h"

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/LogText.h"

#include <QFile>

namespace {
QString g_folder = QStringLiteral(".");
}

void MDLLErrorHandler::setFolder(const QString &folder)
{
    g_folder = folder;
}

QString MDLLErrorHandler::logPath()
{
    return g_folder + QStringLiteral("/zoroutlook-error.log");
}

void MDLLErrorHandler::LogError(qint32 number, const QString &description, const QString &procedure)
{
    const QDateTime now = Clock::now();
    QString record = DateUtil::mediumDate(now) + u' ' + DateUtil::longTime(now) + u'[' + QString::number(number)
                     + QStringLiteral("] \n     ") + procedure + QStringLiteral("\n     ") + LogText::oneLine(description)
                     + u'\n';
    record.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QFile file(logPath());
    // One write of the whole record, so two writers never interleave lines.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        file.write(record.toUtf8());
}
