#include "TrayMenu.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"
#include "foundation/MCIFunctions.h"

namespace {

TrayMenuItem item(const QString &caption, const QString &tag)
{
    return TrayMenuItem{caption, tag, true};
}

// Meeting itself, then its states.
qsizetype standardMeetingItems()
{
    return 1 + BuiltInStatus::meetingStates().size();
}

} // namespace

// The statuses in button order. In and Out are each followed by an entry for
// the custom statuses of their type; Meeting only opens its sub-menu.
TrayMenu::TrayMenu()
{
    for (const BuiltInStatus::Row *status : BuiltInStatus::buttons()) {
        const QString code = status->code;
        const bool opensMenu = code == BuiltInStatus::Meeting;
        m_status.append(item(QString(), opensMenu ? QStringLiteral("Q") + code : code));
        m_captionIds.append(status->captionId);
        if (code == BuiltInStatus::In || code == BuiltInStatus::Out) {
            m_status.append(TrayMenuItem{QString(), QStringLiteral("Q") + code, false});
            m_captionIds.append(status->captionId);
        }
    }
    m_customIn.append(item(QStringLiteral("In"), BuiltInStatus::In));
    m_customOut.append(item(QStringLiteral("Out"), BuiltInStatus::Out));
    m_meeting.append(item(QString(), BuiltInStatus::Meeting));
    for (const BuiltInStatus::Row *state : BuiltInStatus::meetingStates())
        m_meeting.append(item(QString(), state->code));
}

void TrayMenu::populateMenuStrings()
{
    m_restore = GetResString(345);
    m_exit = GetResString(108);
    for (int i = 0; i < m_status.size(); ++i) {
        m_status[i].caption = GetResString(m_captionIds.at(i));
        if (i == InMore || i == OutMore)
            m_status[i].caption += QStringLiteral(" (more...)");
    }
    for (qsizetype i = 0; i < standardMeetingItems(); ++i)
        m_meeting[i].caption = GetStatusDescription(m_meeting[i].tag);
}

void TrayMenu::loadCustomStatusMenus(const QList<CStatus> &statuses)
{
    m_customIn.resize(1);
    m_customOut.resize(1);
    m_meeting.resize(standardMeetingItems());
    for (const CStatus &status : statuses) {
        QList<TrayMenuItem> &menu = status.CustomType == QLatin1String("I")   ? m_customIn
                                    : status.CustomType == QLatin1String("O") ? m_customOut
                                                                              : m_meeting;
        menu.append(item(GetStatusDescription(status.StatusCode), status.StatusCode));
    }
    m_status[InMore].visible = m_customIn.size() > 1;
    m_status[OutMore].visible = m_customOut.size() > 1;
}

const QList<TrayMenuItem> *TrayMenu::subMenu(int index) const
{
    switch (index) {
    case InMore: return &m_customIn;
    case OutMore: return &m_customOut;
    case Meeting: return &m_meeting;
    default: return nullptr;
    }
}

QString TrayMenu::statusForClick(const QString &tag)
{
    return tag.startsWith(u'Q') ? QString() : tag;
}
