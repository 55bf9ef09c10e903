#pragma once

#include "foundation/CStatus.h"

#include <QList>
#include <QString>

// Which drop-down of the status tool bar lists each custom status: type I
// under In, type O under Out, anything else under Meeting.
class CustomStatusMenus
{
public:
    struct Item
    {
        QString key;  // the status code
        QString text; // the description, "&" doubled so a menu shows it as typed
    };

    QList<Item> inn;
    QList<Item> out;
    QList<Item> mtg; // after the four meeting items that are always there

    static CustomStatusMenus sort(const QList<CStatus> &statuses);
    // A name as a menu caption: "&" would otherwise mark a shortcut letter.
    static QString menuText(const QString &name);
};
