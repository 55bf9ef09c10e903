#include "DisplayLoss.h"

#include <QGuiApplication>
#include <QThread>

#include <cstdio>

#ifdef TESSALY_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace {

std::function<void()> g_onLoss;
QtMessageHandler g_previousHandler = nullptr;

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    // Qt warns its messages away from recursion: while `onLoss` runs, its
    // own warnings do not come back here.
    if (type == QtDebugMsg || type == QtInfoMsg || !g_onLoss || !qApp || QThread::currentThread() != qApp->thread())
        return;
    if (DisplayLoss::displayGone())
        g_onLoss();
}

} // namespace

void DisplayLoss::install(std::function<void()> onLoss)
{
    g_onLoss = std::move(onLoss);
    g_previousHandler = qInstallMessageHandler(handleMessage);
}

bool DisplayLoss::displayGone()
{
#ifdef TESSALY_HAVE_XCB
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && x11->connection() && xcb_connection_has_error(x11->connection()) != 0;
#else
    return false;
#endif
}
