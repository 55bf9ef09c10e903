#include "SendmailPipe.h"

#include "foundation/MErrorHandler.h"

#include <QProcess>

bool SendmailPipe::send(const QString &command, const QByteArray &message, int timeoutMs)
{
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(words.takeFirst(), words);
    if (!process.waitForStarted(timeoutMs)) {
        WriteDebugLog(QStringLiteral("Mail not sent: \"%1\" did not start").arg(command));
        return false;
    }
    process.write(message);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        WriteDebugLog(QStringLiteral("Mail not sent: \"%1\" did not finish in time").arg(command));
        return false;
    }
    const bool sent = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!sent)
        WriteDebugLog(QStringLiteral("Mail not sent: \"%1\" ended with %2").arg(command).arg(process.exitCode()));
    return sent;
}
