#pragma once

#include "foundation/CEntity.h"

#include <QList>
#include <QString>
#include <array>

// Which entries the context menu offers and how they are captioned, for the
// tree, the user list (people, resources, contacts) and the reservations
// list; and what a double-click on a row does. Entries are numbered 1 to 15
// as the menu's items mnuPopupSub(1..15); the e-mail sub-menu's items 0 to 2.
class PopupMenuRules
{
public:
    struct Entries
    {
        bool any = false; // false: the menu is hidden and not shown
        std::array<bool, 16> visible{};
        std::array<QString, 16> caption; // empty: the entry keeps its caption
        std::array<bool, 3> mailVisible{};
        std::array<QString, 3> mailCaption;
    };

    struct Tree
    {
        bool hasNode = false;
        QString kind; // the node's tag
        QString text;
        qint32 nodeId = 0;
        bool admin = false;
    };
    struct List
    {
        QString kind; // the tree node's tag: the kind of view shown
        bool admin = false;
        bool canChangeStatus = false;
        bool hasSelectedRow = false;
        int selectedCount = 0;
        bool isMe = false; // the selected row is the signed-in user's
        QString itemText;
    };
    struct Reservations
    {
        bool hasRow = false;
        QString note;
        qint32 bookingUserId = 0;
        qint32 myUserId = 0;
        bool admin = false;
        bool grey = false; // drawn as done with: nothing to check in
        bool hasResources = false;
        QString resourceText;
    };

    static Entries forTree(const Tree &s);
    static Entries forList(const List &s);
    static Entries forReservations(const Reservations &s);

    enum class DoubleClick { Nothing, ChangeStatus, Email, PhoneMessage };
    static DoubleClick onDoubleClick(const QString &viewType, bool hasRow, int option, bool canChangeStatus);

    // The people whose status the signed-in user may change: himself always,
    // the others only with the right.
    static QList<CEntity> changeable(const QList<CEntity> &people, qint32 myUserId, bool canChangeStatus);
    // What he is told about the people left out; empty when none were.
    static QString leftOutMessage(int leftOut);
};
