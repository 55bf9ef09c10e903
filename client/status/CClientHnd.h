#pragma once

#include "ICalendarWatcherFactory.h"
#include "MADOFunctions.h"

#include <QString>
#include <memory>

// The client controller: status changes, the poll of the user list and the
// status on exit.
class CClientHnd
{
public:
    CClientHnd();
    ~CClientHnd();

    // The calendar watcher process, when the user's calendar is watched there.
    std::unique_ptr<ICalendarWatcher> m_OutLookClient;

    // Sets the user's status on exit as his options say.
    void CloseDown(int unloadMode);
    // Closes the calendar link and the watcher process.
    void CloseDownOutlook(int unloadMode);

    // A change of a user's status. The status engine fills these in; until
    // then they change nothing.
    qint32 UpdateStatus(qint32 userID, const QString &statusCode, const QString &note, double &outTime,
                        double &dueBack, bool addToCalendar, bool interactive, DbHandle &connection);
    void SetFrameCaption();

    // The right-hand views of the tree's nodes. The list views fill these in;
    // until then they show nothing.
    qint32 RefreshUserList(bool checksOnly, bool skipCalendar, QString &query, QString &nodeKey);
    void refreshResourceList();
    void refreshContactList();
};
