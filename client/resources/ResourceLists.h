#pragma once

#include "foundation/IResourceLists.h"

#include <QStandardItemModel>

// The two lists of the resource view: the resources of the group shown and
// the bookings of the selected one. Refreshing the same group or resource
// rewrites rows in place, so the views keep their selection and scrolling.
class ResourceLists : public IResourceLists
{
public:
    ResourceLists();

    void refreshResourceList(const QString &nodeKey) override;
    void refreshReservationDetails(const QString &resourceName, const QString &resourceKey, int days) override;

    QStandardItemModel &resources() { return m_resources; }
    QStandardItemModel &reservations() { return m_reservations; }

private:
    void showView();

    QStandardItemModel m_resources;
    QStandardItemModel m_reservations;
    // Kept here rather than in g_sCurrentNodeKey, which stays the tree
    // node's: the two lists follow their own keys.
    QString m_groupKey;
    QString m_reservationKey;
    // A history span chosen from the menu holds until another resource is
    // shown, the timer's refreshes included.
    int m_days = 0;
};
