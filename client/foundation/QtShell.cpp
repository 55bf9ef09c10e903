#include "QtShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace {

enum class MailProgram { Unknown, Named, None };
MailProgram g_mailProgram = MailProgram::Unknown;
QPointer<QProcess> g_query;
constexpr int kQueryLimitMs = 2000;

} // namespace

// The desktop's opener reports success as soon as it has started, even when
// no program on the desktop takes mail, and the message would be lost without
// a word: the desktop is asked which program takes mail. It may take a while
// to answer, so it is asked beside the window, never waited for.
void QtShell::askDesktopForMail()
{
    if (g_query || g_mailProgram == MailProgram::Named || !QCoreApplication::instance())
        return;
    auto *query = new QProcess(QCoreApplication::instance());
    g_query = query;
    QObject::connect(query, &QProcess::finished, query, [query](int code, QProcess::ExitStatus status) {
        // When the desktop cannot say, the answer stays unknown.
        if (status == QProcess::NormalExit && code == 0)
            g_mailProgram = query->readAllStandardOutput().trimmed().isEmpty() ? MailProgram::None : MailProgram::Named;
        query->deleteLater();
    });
    QObject::connect(query, &QProcess::errorOccurred, query, [query](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            query->deleteLater();
    });
    QTimer::singleShot(kQueryLimitMs, query, [query] { query->kill(); });
    query->start(QStringLiteral("xdg-mime"),
                 {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
}

bool QtShell::desktopTakesMail()
{
    const bool takes = g_mailProgram != MailProgram::None;
    // Once the desktop named a program it is not asked again; until then the
    // next address has a fresher answer (a mail program installed since).
    askDesktopForMail();
    return takes;
}

bool QtShell::openUrl(const QUrl &url)
{
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0 && !desktopTakesMail())
        return false;
    return QDesktopServices::openUrl(url);
}
