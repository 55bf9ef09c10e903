#include "MCastResendThrottle.h"

#include "platform/Clock.h"

bool MCastResendThrottle::mayAnswer(qint32 seq)
{
    const qint64 now = Clock::now().toMSecsSinceEpoch();
    forgetOld(now);
    if (m_answeredAt.contains(seq))
        return false;
    m_answeredAt.insert(seq, now);
    return true;
}

void MCastResendThrottle::forgetOld(qint64 now)
{
    for (auto it = m_answeredAt.begin(); it != m_answeredAt.end();) {
        // A clock set back counts as time passed, so nothing stays blocked.
        if (now - it.value() >= IntervalMs || now < it.value())
            it = m_answeredAt.erase(it);
        else
            ++it;
    }
}
