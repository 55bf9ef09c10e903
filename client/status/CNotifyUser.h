#pragma once

#include <QString>

// One colleague on the watch list: announced once when he is next seen In.
class CNotifyUser
{
public:
    QString Name;     // as the user list showed him when he was added
    qint32 UserID = 0;

    // "USR" followed by the id: the entry's key in the watch list.
    QString Key() const { return QStringLiteral("USR") + QString::number(UserID); }
};
