#include "TrayMenu.h"

#include "foundation/CStatus.h"
#include "foundation/MCIFunctions.h"

namespace {

struct StatusEntry
{
    qint32 captionId;
    const char *tag;
};

// The status entries in display order.
constexpr StatusEntry kStatusEntries[] = {
    {162, "INN"}, {162, "QINN"}, {158, "OUT"}, {158, "QOUT"}, {163, "LNC"}, {165, "HME"},
    {164, "QMTG"}, {166, "DND"}, {172, "SCK"}, {170, "BRK"}, {171, "VAC"},
};

constexpr const char *kMeetingCodes[] = {"MTG", "MTA", "MTD", "MTO", "MTT"};

TrayMenuItem item(const QString &caption, const QString &tag)
{
    return TrayMenuItem{caption, tag, true};
}

} // namespace

TrayMenu::TrayMenu()
{
    for (const StatusEntry &entry : kStatusEntries)
        m_status.append(item(QString(), QLatin1String(entry.tag)));
    m_status[InMore].visible = false;
    m_status[OutMore].visible = false;
    m_customIn.append(item(QStringLiteral("In"), QStringLiteral("INN")));
    m_customOut.append(item(QStringLiteral("Out"), QStringLiteral("OUT")));
    for (const char *code : kMeetingCodes)
        m_meeting.append(item(QString(), QLatin1String(code)));
}

void TrayMenu::populateMenuStrings()
{
    m_restore = GetResString(345);
    m_exit = GetResString(108);
    for (int i = 0; i < m_status.size(); ++i) {
        m_status[i].caption = GetResString(kStatusEntries[i].captionId);
        if (i == InMore || i == OutMore)
            m_status[i].caption += QStringLiteral(" (more...)");
    }
    for (int i = 0; i < kStandardMeetingItems; ++i)
        m_meeting[i].caption = GetStatusDescription(m_meeting[i].tag);
}

void TrayMenu::loadCustomStatusMenus(const QList<CStatus> &statuses)
{
    m_customIn.resize(1);
    m_customOut.resize(1);
    m_meeting.resize(kStandardMeetingItems);
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
