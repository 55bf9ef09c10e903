#include "MCastOwnIds.h"

#include "platform/Clock.h"
#include "platform/DateUtil.h"

QString MCastOwnIds::next()
{
    const QString id = DateUtil::numberText(Clock::nowDays());
    m_ids.append(id);
    if (m_ids.size() > Remembered)
        m_ids.removeFirst();
    return id;
}

bool MCastOwnIds::isOwn(const QString &msgId) const
{
    return m_ids.contains(msgId);
}

QString MCastOwnIds::last() const
{
    return m_ids.isEmpty() ? QString() : m_ids.constLast();
}
