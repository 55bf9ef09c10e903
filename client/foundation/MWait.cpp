#include "MWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

void WaitForTimer(double seconds)
{
    const qint64 milliseconds = std::isfinite(seconds) && seconds > 0 ? qint64(std::llround(seconds * 1000)) : 0;
    QDeadlineTimer deadline(milliseconds);
    if (!QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        QThread::msleep(quint64(milliseconds));
        return;
    }
    // The timer only wakes the loop at the deadline; events that arrive
    // before it are handled as they come.
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(std::min<qint64>(milliseconds, std::numeric_limits<int>::max())));
    while (!deadline.hasExpired())
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
