#pragma once

#include "CNotifyUser.h"

#include <QList>

// The watch list: colleagues to announce when they come back In, in the order
// they were added, each at most once.
class NotifyUserList
{
public:
    // Adds a colleague; false (and nothing added) for an id below 1 or one
    // that is already watched.
    bool add(qint32 userId, const QString &name);
    bool remove(qint32 userId);
    const CNotifyUser *find(qint32 userId) const;

    bool isEmpty() const { return m_entries.isEmpty(); }
    qsizetype size() const { return m_entries.size(); }
    const QList<CNotifyUser> &entries() const { return m_entries; }
    QList<qint32> userIds() const;
    void clear() { m_entries.clear(); }

private:
    QList<CNotifyUser> m_entries;
};
