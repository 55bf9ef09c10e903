#include "CMCastWindow.h"

void CMCastWindow::Add(const CMCastUpdate &update)
{
    if (m_updates.size() >= Capacity)
        m_updates.removeFirst();
    if (indexOf(update.Seq) < 0)
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
    const std::optional<qint32> seq = seqOfKey(key);
    return seq ? Find(*seq) : std::nullopt;
}

std::optional<CMCastUpdate> CMCastWindow::Find(qint32 seq) const
{
    const int index = indexOf(seq);
    if (index < 0)
        return std::nullopt;
    return m_updates.at(index);
}

bool CMCastWindow::contains(const QString &key) const
{
    const std::optional<qint32> seq = seqOfKey(key);
    return seq && contains(*seq);
}

bool CMCastWindow::contains(qint32 seq) const
{
    return indexOf(seq) >= 0;
}

std::optional<qint32> CMCastWindow::seqOfKey(const QString &key)
{
    bool ok = false;
    const qint32 seq = key.toInt(&ok);
    if (!ok || QString::number(seq) != key)
        return std::nullopt;
    return seq;
}

// Compared as numbers: every datagram looks up several, and the text of each
// held number would be built for each look-up.
int CMCastWindow::indexOf(qint32 seq) const
{
    for (int i = 0; i < m_updates.size(); ++i) {
        if (m_updates.at(i).Seq == seq)
            return i;
    }
    return -1;
}
