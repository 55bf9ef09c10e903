#include "QtShell.h"

#include <QDesktopServices>
#include <QProcess>

// The desktop's opener reports success as soon as it has started, even when
// no program on the desktop takes mail, and the message would be lost without
// a word: ask the desktop first. When it cannot say, the opener has its try.
bool QtShell::desktopTakesMail()
{
    // Asked on the window's thread: once the desktop named a mail program,
    // it is not asked again.
    static bool named = false;
    if (named)
        return true;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                              QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(1000)) {
        query.kill();
        query.waitForFinished(100);
        return true;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return true;
    named = !query.readAllStandardOutput().trimmed().isEmpty();
    return named;
}

bool QtShell::openUrl(const QUrl &url)
{
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0 && !desktopTakesMail())
        return false;
    return QDesktopServices::openUrl(url);
}
