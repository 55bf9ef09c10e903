#pragma once

#include <QString>

// One staff member's presence and contact data.
class CUser
{
public:
    qint32 UserID = 0;
    QString RealName;
    QString LoginName; // stored upper-case in the database
    QString IsIn;      // status code
    QString Note;
    bool MobileOn = false;
    bool Admin = false;
    double ETA = 0;    // due back (day number, 0 for none)
    double ETD = 0;    // gone out at
    double LastStatusChange = 0;
    QString MobilePh;
    QString PhExtension;
    QString Email;

    // "USR" followed by the id: the user's key in the lists and the tree.
    QString Key() const { return QStringLiteral("USR") + QString::number(UserID); }

    // Marks a user inactive; nothing is removed. Gives 10000.
    static qint32 Delete(qint32 userID);
};
