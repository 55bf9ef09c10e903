#include "CClientHnd.h"

#include "Globals.h"
#include "ICalendarLink.h"

CClientHnd::CClientHnd() = default;

CClientHnd::~CClientHnd() = default;

void CClientHnd::CloseDown(int unloadMode)
{
    Q_UNUSED(unloadMode);
}

void CClientHnd::CloseDownOutlook(int unloadMode)
{
    Q_UNUSED(unloadMode);
    if (m_OutLookClient) {
        m_OutLookClient->CloseDown();
        m_OutLookClient.reset();
    }
    g_calendarLink->CloseOutlook();
}

qint32 CClientHnd::RefreshUserList(bool checksOnly, bool skipCalendar, QString &query, QString &nodeKey)
{
    Q_UNUSED(checksOnly) Q_UNUSED(skipCalendar) Q_UNUSED(query) Q_UNUSED(nodeKey)
    return 10000;
}

void CClientHnd::refreshResourceList()
{
}

void CClientHnd::refreshContactList()
{
}

qint32 CClientHnd::UpdateStatus(qint32 userID, const QString &statusCode, const QString &note, double &outTime,
                                double &dueBack, bool addToCalendar, bool interactive, DbHandle &connection)
{
    Q_UNUSED(userID) Q_UNUSED(statusCode) Q_UNUSED(note) Q_UNUSED(outTime) Q_UNUSED(dueBack)
    Q_UNUSED(addToCalendar) Q_UNUSED(interactive) Q_UNUSED(connection)
    return 10000;
}

void CClientHnd::SetFrameCaption()
{
}
