#pragma once

#include "MADOFunctions.h"

// Carries the groups of the oldest schema over into the navigation tree:
// every group above id 1 becomes a user-group node under Attendance, and each
// membership a UserGroup row of every node whose name is the group's name,
// compared whole and ignoring case (a "%" or "_" in a name is only itself).
// Rows already there are kept, so it can run again after a failure.
class CGroupMigration
{
public:
    static constexpr qint32 FirstNodeId = 8;       // the first id after the default nodes
    static constexpr qint32 AttendanceNodeId = 2;  // where the old groups hang

    // Gives the first node id left free.
    static qint32 migrateGroups(DbHandle &connection);
    static void migrateMemberships(DbHandle &connection);

    static bool sameName(const QString &a, const QString &b);
};
