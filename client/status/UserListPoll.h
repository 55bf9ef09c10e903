#pragma once

#include "UserListReader.h"
#include "foundation/MADOFunctions.h"

#include <QSet>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

class CMCastUpdate;
class CUser;
class UserListModel;

// Fills and polls the user list: a full read when another node is shown, then
// only the rows whose LastUpdated is above g_lLastUpdated and those update
// pulses redrew, so that after a poll the list shows what the database holds;
// the checks that ride on every poll (calendar, pending statuses, the watch
// list); and the redraw of one row when an update pulse arrives.
//
// Events pumped while the rows are written can ask for another refresh; it is
// held back until the running one has finished and then runs (only the last
// such request), so the rows are never rebuilt under a refresh in progress.
class UserListPoll
{
public:
    UserListPoll();
    ~UserListPoll();
    UserListPoll(const UserListPoll &) = delete;
    UserListPoll &operator=(const UserListPoll &) = delete;

    UserListModel &model() { return *m_model; }

    // checksOnly skips the reload and the watch-list check; skipCalendar the
    // calendar check. sql (with its bound values) is the search's own query,
    // else empty. nodeKey is "NOD0", "SRH0", "NTF0", a status code, or a kind
    // and an id (0 all users, 1 or more a group). The connection, when it
    // holds one, is used for the read and left open. Gives 10000; 0 without a
    // main window; 10003 when the request was held back behind a running one.
    // keep, when given, chooses which of the rows read the list shows.
    qint32 refresh(bool checksOnly, bool skipCalendar, const QString &sql, const QString &nodeKey,
                   DbHandle &connection, const QVariantList &params = {},
                   const std::function<bool(const CUser &)> &keep = {});
    // The pending-status and watch-list checks alone, for a view that shows
    // no user list. Gives what refresh() gives.
    qint32 runChecks();

    // Redraws the row of the user an update pulse names, and announces a
    // watched colleague who is now In. The next poll reads the row again, so
    // what a stray or forged pulse drew lasts only until then.
    void updateView(qint32 userId, QString status, QString note, double outTime, double dueBack);
    void updateView(const CMCastUpdate &update);

    // Rows the list read of the last refresh gave (0 when it read none).
    qint32 lastRowsRead() const { return m_rowsRead; }
    bool isRefreshing() const { return m_refreshing; }
    // Empties the list and forgets the signed-in user's row in it.
    void clearList();

    // Wired by the controller: the window caption, the tray icon for the
    // signed-in user's status, and the event pump between batches of rows.
    std::function<void()> setFrameCaption;
    std::function<void(const QString &status)> refreshIcon;
    std::function<void()> pumpEvents;
    // Events are pumped every 25 rows once this long has passed since the
    // rows began or since the last pump: each pump repaints the window, and
    // a person notices nothing faster (so a short read never pumps).
    qint64 pumpIntervalMs = 50;

private:
    struct Request
    {
        bool checksOnly = false;
        bool skipCalendar = false;
        bool watchList = true;
        QString sql;
        QVariantList params;
        QString nodeKey;
        std::function<bool(const CUser &)> keep;
    };
    enum class Reload { Checks, Finish, NoWindow };

    qint32 start(const Request &request, DbHandle &connection);
    qint32 run(const Request &request, DbHandle &connection);
    Reload reloadList(const Request &request, DbHandle &connection);
    void rereadPatchedRows(DbHandle &connection);
    void applyRows(const QList<UserListReader::Row> &rows, bool incremental, const QStringList &statusCodes);
    void showUser(const CUser &user);
    void forgetUser(qint32 userId);
    void updateCurrentUserFromRow(const CUser &user);
    void checkCalendar(bool skipCalendar);
    void checkPendingRows();
    void checkWatchList();
    static void setStatusText(const QString &text);

    std::unique_ptr<UserListModel> m_model;
    UserListReader m_reader;
    qint32 m_rowsRead = 0;
    bool m_refreshing = false;
    std::optional<Request> m_heldBack;
    // Users whose rows update pulses redrew since the list was last read.
    QSet<qint32> m_patched;
};
