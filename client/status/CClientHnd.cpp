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
