#include "ResourceLists.h"

#include "CReservationList.h"
#include "CResourceList.h"
#include "ListRows.h"
#include "foundation/CEntity.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/MCIFunctions.h"
#include "foundation/Steps.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "status/IUserListView.h"

namespace {

const QString kLog = QStringLiteral("ResourceLists");
constexpr int kTimeWidth = 2100; // twips

} // namespace

ResourceLists::ResourceLists() = default;

void ResourceLists::showView()
{
    if (g_sViewType == QLatin1String("RSG"))
        return;
    // Captions in the language of the moment, which the options may change.
    ListRows::setColumns(m_resources, CResourceList::columnKeys(),
                         {GetResString(340) + u' ' + GetResString(155), GetResString(341), GetResString(156),
                          GetResString(342), GetResString(157), GetResString(343), GetResString(159)});
    ListRows::setColumns(m_reservations, CReservationList::columnKeys(),
                         {QStringLiteral("Booked To"), GetResString(157), QStringLiteral("Booked From"),
                          GetResString(159), QStringLiteral("Owner")});
    // A time with its date needs more room than a column gets by default.
    for (int column : {5, 6})
        m_resources.setHeaderData(column, Qt::Horizontal, kTimeWidth, UserListColumns::StartWidthRole);
    for (int column : {2, 3})
        m_reservations.setHeaderData(column, Qt::Horizontal, kTimeWidth, UserListColumns::StartWidthRole);
    if (IUserListView *view = IUserListView::ofMainWindow())
        view->showListView(&m_resources, &m_reservations);
}

void ResourceLists::refreshResourceList(const QString &nodeKey)
{
    showView();
    if (nodeKey.compare(m_groupKey, Qt::CaseInsensitive) != 0) {
        m_groupKey = nodeKey;
        m_reservationKey.clear();
        m_days = 0;
        m_resources.removeRows(0, m_resources.rowCount());
        m_reservations.removeRows(0, m_reservations.rowCount());
    }
    CEntity selected;
    const bool hadSelection = g_frmMain && g_frmMain->selectedListItem(selected);
    const CTreeNode *node = FindTreeNode(nodeKey);
    const QString iconKey = node ? node->Icon : QString();
    QStringList keys;
    Steps::logAndSkip(kLog, [&] {
        for (const CResource &resource : CResourceList::getResourceDetails(KeyToId(nodeKey))) {
            int row = ListRows::rowOfKey(m_resources, resource.Key());
            if (row < 0)
                row = CResourceList::addResourceItem(m_resources, resource, iconKey);
            CResourceList::updateResourceItem(m_resources, row, resource);
            keys << resource.Key();
        }
        ListRows::removeOthers(m_resources, keys);
    });
    if (!hadSelection || !g_frmMain)
        return;
    g_frmMain->selectUserItem(selected.Key());
    const int row = ListRows::rowOfKey(m_resources, selected.Key());
    if (row >= 0)
        refreshReservationDetails(m_resources.index(row, 0).data().toString(), selected.Key(), m_days);
}

void ResourceLists::refreshReservationDetails(const QString &resourceName, const QString &resourceKey, int days)
{
    if (resourceKey.compare(m_reservationKey, Qt::CaseInsensitive) != 0) {
        m_reservationKey = resourceKey;
        m_reservations.removeRows(0, m_reservations.rowCount());
        m_days = days;
    } else if (days > 0) {
        m_days = days;
    }
    days = m_days;
    const QDate since = DateUtil::dateOf(Clock::nowDays()).addDays(-days);
    if (IUserListView *view = IUserListView::ofMainWindow())
        view->setResourceCaption(resourceName + QStringLiteral(" - ") + GetResString(344) + u' '
                                 + DateUtil::mediumDate(QDateTime(since, QTime(0, 0))));
    QStringList keys;
    Steps::logAndSkip(kLog, [&] {
        for (const CReservation &booking : CReservationList::getReservationDetails(KeyToId(resourceKey), days)) {
            const QString key = QStringLiteral("RES") + QString::number(booking.iID);
            int row = ListRows::rowOfKey(m_reservations, key);
            if (row < 0)
                row = CReservationList::addReservationItem(m_reservations, booking);
            CReservationList::updateReservationItem(m_reservations, row, booking);
            keys << key;
        }
        ListRows::removeOthers(m_reservations, keys);
    });
}
