#include "NotifyUserList.h"

bool NotifyUserList::add(qint32 userId, const QString &name)
{
    if (userId < 1 || find(userId))
        return false;
    CNotifyUser entry;
    entry.UserID = userId;
    entry.Name = name;
    m_entries.append(entry);
    return true;
}

bool NotifyUserList::remove(qint32 userId)
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).UserID == userId) {
            m_entries.removeAt(i);
            return true;
        }
    }
    return false;
}

const CNotifyUser *NotifyUserList::find(qint32 userId) const
{
    for (const CNotifyUser &entry : m_entries)
        if (entry.UserID == userId)
            return &entry;
    return nullptr;
}

QList<qint32> NotifyUserList::userIds() const
{
    QList<qint32> ids;
    ids.reserve(m_entries.size());
    for (const CNotifyUser &entry : m_entries)
        ids.append(entry.UserID);
    return ids;
}
