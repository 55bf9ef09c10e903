// Loaded into a program through LD_PRELOAD by bench_startup: prints the
// moments its main window is first shown and first painted (and the wall
// clock then), and the most rows any of its lists holds then, and ends the
// program at once, or STARTUP_PROBE_STAY_MS milliseconds later.

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

qint64 nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

class StartupProbe : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType() || !watched->inherits("QMainWindow")
            || !static_cast<QWidget *>(watched)->isWindow())
            return false;
        if (event->type() == QEvent::Show && m_shown == 0)
            m_shown = nowNs();
        if (event->type() == QEvent::Paint && m_shown != 0) {
            const qint64 painted = nowNs();
            int rows = 0;
            for (const QAbstractItemView *list : watched->findChildren<QAbstractItemView *>())
                if (list->model())
                    rows = std::max(rows, list->model()->rowCount());
            std::printf("PROBE shown=%lld painted=%lld rows=%d wall=%lld\n", static_cast<long long>(m_shown),
                        static_cast<long long>(painted), rows,
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
            std::fflush(stdout);
            const int stay = qEnvironmentVariableIntValue("STARTUP_PROBE_STAY_MS");
            if (stay <= 0)
                _exit(0);
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(stay, [] { _exit(0); });
        }
        return false;
    }

private:
    qint64 m_shown = 0;
};

void installStartupProbe()
{
    QCoreApplication::instance()->installEventFilter(new StartupProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installStartupProbe)
