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
