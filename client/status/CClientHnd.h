#pragma once

#include "foundation/CEntity.h"
#include "foundation/ICalendarWatcherFactory.h"
#include "foundation/MADOFunctions.h"

#include <QList>
#include <QString>
#include <memory>

class CUser;
class ContactList;
class ICheckInPopup;
class UserListPoll;

// The client controller: every status change goes through it, and it answers
// the update timer, the calendar watcher and the close-down.
class CClientHnd
{
public:
    CClientHnd();
    ~CClientHnd();
    CClientHnd(const CClientHnd &) = delete;
    CClientHnd &operator=(const CClientHnd &) = delete;

    // The calendar watcher process, when the user's calendar is watched there.
    std::unique_ptr<ICalendarWatcher> m_OutLookClient;
    // Holds the watcher and hears its two events.
    void setOutLookClient(std::unique_ptr<ICalendarWatcher> watcher);

    // True when this copy is to run the nightly mark-out now that it is due.
    bool NeedToDoMarkout() const;
    // The update timer calls this just before it runs the mark-out, so that the
    // sweep runs once that night and is due again the next.
    void MarkOutDone(double today);

    // Shows the status dialog for the users (keys "USR" + id) and applies the
    // choice. Gives 10000, or 10003 when the dialog was cancelled.
    qint32 EditUserStatus(const QList<CEntity> &users, bool setOutMode);

    // Stores a user's new status with its history row and change counter and
    // announces it. Empty times are filled in and handed back. An empty
    // connection is opened for the call. Gives 10000; raises AppError.
    // Changes run one at a time: one asked for while another is being made
    // (from events served during its database waits) is made after it.
    qint32 UpdateStatus(qint32 userId, const QString &status, const QString &note, double &outAt, double &dueBack,
                        bool addToCalendar, bool interactive, DbHandle &connection);
    qint32 UpdateStatus(qint32 userId, const QString &status, const QString &note, double &outAt, double &dueBack,
                        bool addToCalendar, bool interactive);

    // Offers "Check In" while the signed-in user is not in; removes the offer
    // when he is. Other users' statuses are ignored. Whether he is in, and
    // when he is due back, are read from his row: the status and time given
    // are only what was announced, and anyone on the network can announce.
    void showCheckInDialog(qint32 userId, const QString &status, double dueBack);
    void SetFrameCaption();
    // Switches the signed-in user's mobile flag. Gives 10000, or 0 when the
    // main window's list has no row for him.
    qint32 UpdatePhone(bool mobileOn);


    // The right-hand views of the tree's nodes. The list views fill these in;
    // until then they show nothing.
    qint32 RefreshUserList(bool checksOnly, bool skipCalendar, QString &query, QString &nodeKey);
    // The user list the main window shows, and its poll.
    UserListPoll &userList() { return *m_userListPoll; }
    void refreshResourceList(const QString &nodeKey);
    void refreshContactList();
    // Redraws one user's row after an update arrived from another copy.
    void updateView(qint32 userId, const QString &status, const QString &note, double etd, double eta);

    // What the update timer does next: 1 poll the list, 2 run the nightly
    // mark-out, 3 nothing (no main window), 4 check only the own status.
    qint16 CanPollDatabase();
    qint32 ShowHelp();
    qint32 PhHistory();
    // Closes the calendar link and the watcher process.
    void CloseDownOutlook(int unloadMode);
    // Sets the user's status on exit as his options say. False when it could
    // not be stored (the error log says why).
    bool CloseDown(int unloadMode);
    // Takes the signed-in user's status from the database when another copy
    // changed it.
    void CheckMyStatus();

    // The calendar watcher's events. A failure goes to the error log: it
    // must not reach the event loop that delivered the event.
    void m_OutlookClient_NeedToUpdateStatus(const QString &sStatus, const QString &sNote, double dtOutAt,
                                            double dtDueBack, double modTime, const QString &id);
    void m_OutLookClient_StatusBarMessage(const QString &sMsg);

private:
    struct StatusChange
    {
        qint32 userId = 0;
        QString status;
        QString note;
        double outAt = 0;
        double dueBack = 0;
        bool addToCalendar = false;
        bool interactive = false;
    };
    void makeChange(const StatusChange &change, DbHandle &connection);
    void makeWaitingChanges();
    qint32 storeStatus(DbHandle &connection, qint32 userId, const QString &status, const QString &note,
                       double outAt, double dueBack);
    void showOwnStatus(const QString &status, const QString &note, double outAt, double dueBack, bool interactive);
    void announce(qint32 seq, qint32 userId, const QString &status, const QString &note, double outAt,
                  double dueBack);
    void applyChosenStatus(const QList<CEntity> &users, const QString &status, const QString &note, double outAt,
                           double dueBack, bool addToCalendar);
    // Offers "Check In" unless the stored status is an In one.
    void offerCheckIn(const CUser &stored);
    void dropCheckInPopup();
    void applyOnCloseOption(int unloadMode, const QString &storedStatus, double storedDueBack);

    std::unique_ptr<ICheckInPopup> m_checkInPopup;
    std::unique_ptr<UserListPoll> m_userListPoll;
    std::unique_ptr<ContactList> m_contacts;
    // Shared by every controller: the short-lived one of the Check In button
    // changes the same row.
    static bool s_changing;
    static QList<StatusChange> s_waitingChanges;
};
