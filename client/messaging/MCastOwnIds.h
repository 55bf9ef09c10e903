#pragma once

#include <QString>
#include <QStringList>

// The message ids of the chat datagrams this copy sent last. A datagram that
// comes back carrying one of them is this copy's own and is not shown again.
class MCastOwnIds
{
public:
    static constexpr int Remembered = 32;

    // A new id: the time of sending as a day number, to the millisecond.
    QString next();
    bool isOwn(const QString &msgId) const;
    QString last() const;

private:
    QStringList m_ids; // oldest first
};
