#include "NoticeStack.h"

#include "NoticePlacement.h"

#include <QGuiApplication>
#include <QScreen>

NoticeStack &NoticeStack::instance()
{
    static NoticeStack stack;
    return stack;
}

NoticeStack::NoticeStack()
    : availableGeometry([] {
          QScreen *screen = QGuiApplication::primaryScreen();
          return screen ? screen->availableGeometry() : QRect();
      }),
      trayIconGeometry([] { return QRect(); }),
      m_slots(NoticePlacement::MaxNotices)
{
}

int NoticeStack::take(QWidget *notice)
{
    const int fit = NoticePlacement::capacity(availableGeometry(), notice->size());
    int chosen = -1;
    for (int i = 0; i < fit && chosen < 0; ++i)
        if (!m_slots[i].notice)
            chosen = i;
    if (chosen < 0) {
        chosen = 0;
        for (int i = 1; i < fit; ++i)
            if (m_slots[i].age < m_slots[chosen].age)
                chosen = i;
        // Gone at once rather than slid out, so the newcomer never lies over it.
        QWidget *oldest = m_slots[chosen].notice;
        oldest->hide();
        oldest->deleteLater();
    }
    m_slots[chosen] = {notice, ++m_age};
    return chosen;
}

QVector<QWidget *> NoticeStack::shown() const
{
    QVector<QWidget *> result;
    for (const Slot &slot : m_slots)
        result.append(slot.notice.data());
    return result;
}
