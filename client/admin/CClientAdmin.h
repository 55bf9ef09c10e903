#pragma once

#include "AdminOptions.h"
#include "UserOptions.h"
#include "UserRecord.h"
#include "UserRights.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/MADOFunctions.h"
#include "foundation/QuickNoteTable.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class frmAdminOptions;

// Users, their options, rights and quick notes, the administrator options and
// the nightly mark-out. Holds no state: make one for each use. Every operation
// gives 10000 and raises its failures (ErrNo::Raised, source "CClientAdmin.<op>").
// An empty connection argument is opened for the call and closed again; an
// open one is used and left open.
class CClientAdmin
{
public:
    // The user's record, groups and quick notes. Both of his rows must exist.
    qint32 ReadUser(qint32 userID, UserRecord &user, QList<CTreeNode> &groups, QuickNoteTable &quickNotes,
                    DbHandle &connection);
    // Every active user with his rights.
    qint32 ReadAllUsers(QList<UserRights> &users);
    // Creates a user (In, active) from the record; his new id goes into UserID.
    // Id, options and status rows are written in one transaction. A log-in
    // name another active user has (blanks and case aside) raises
    // ErrNo::LoginInUse, with the text for the user, and writes nothing.
    qint32 AddUser(UserRecord &user, DbHandle &connection);
    qint32 AddUser(UserRecord &user);
    qint32 UpdateUser(qint32 userID, const QString &realName, const QString &email, bool admin, DbHandle &connection);
    // Refuses a change of log-in name to another active user's as AddUser does.
    qint32 UpdateUserOptions(qint32 userID, const UserOptions &options, DbHandle &connection);
    qint32 UpdateUserSecurity(qint32 userID, bool admin, bool changeStatus, bool fastUpdates, bool timesheet);
    // Writes every note that has text or already has its row.
    qint32 UpdateQuickNotes(qint32 userID, const QuickNoteTable &quickNotes, DbHandle &connection);

    // The nightly sweep: everyone still in, on a break or overdue goes Out,
    // due back at his work start on the next working day.
    qint32 MarkAllUsersOut();

    // The two flags of the ADMIN row; without that row both keep their values.
    qint32 GetAdminOptions(bool &markOutOnClose, bool &enableTimeSheets, DbHandle &connection);
    qint32 UpdateAdminOptions(bool markOutOnClose, bool enableTimeSheets);
    // Shows the administrator's options (runDialog shows the form modally;
    // empty: exec), and after OK stores them in one transaction, then the
    // flags in memory and the chat button follow. A failed store is shown and
    // the dialog comes back with what the user entered.
    qint32 EditAdminOptions(const std::function<void(frmAdminOptions &)> &runDialog = {});

    // Fills g_colCustomStatus with the active custom statuses.
    qint32 LoadCustomStatus(DbHandle &connection);
    // Stores a new custom status under the next free code and adds it to
    // g_colCustomStatus. Empty, with nothing written, when every code up to
    // XFF is used.
    std::optional<CStatus> AddCustomStatus(const QString &description, const QString &type, const QString &icon);
    // Retires the status (its row stays, so the code is never given again)
    // and moves everyone who holds it to Out, with a history row each and a
    // new change counter, so other copies see it at their next poll.
    qint32 DeleteCustomStatus(const QString &code);
    // "XX2" .. "XXF", "X10" .. "XFF"; empty beyond 255.
    static QString customStatusCode(qint32 number);

    // A work start time as stored ("08:30:00"), and read back liberally.
    static QString workStartText(double timeOfDay);
    static bool readWorkStart(const QString &text, double &timeOfDay);

private:
    static bool saveAdminOptions(const AdminOptions &options, const AdminOptions &stored);
};
