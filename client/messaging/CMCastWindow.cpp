#include "CMCastWindow.h"

void CMCastWindow::Add(const CMCastUpdate &update)
{
    if (m_updates.size() >= Capacity)
        m_updates.removeFirst();
    if (indexOf(update.Key()) < 0)
        m_updates.append(update);
}

bool CMCastWindow::NewerUpdateExist(qint32 seq, qint32 userId) const
{
    for (const CMCastUpdate &held : m_updates) {
        if (held.UserID == userId && held.Seq > seq)
            return true;
    }
    return false;
}

void CMCastWindow::ForgetUnstored(const QHash<qint32, qint32> &counterOfUser)
{
    m_updates.removeIf([&](const CMCastUpdate &held) {
        const auto counter = counterOfUser.constFind(held.UserID);
        return counter != counterOfUser.constEnd() && qint64(held.Seq) >= *counter;
    });
}

std::optional<CMCastUpdate> CMCastWindow::Find(const QString &key) const
{
    const int index = indexOf(key);
    if (index < 0)
        return std::nullopt;
    return m_updates.at(index);
}

bool CMCastWindow::contains(const QString &key) const
{
    return indexOf(key) >= 0;
}

int CMCastWindow::indexOf(const QString &key) const
{
    for (int i = 0; i < m_updates.size(); ++i) {
        if (m_updates.at(i).Key() == key)
            return i;
    }
    return -1;
}
