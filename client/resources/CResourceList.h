#pragma once

#include "CResource.h"

#include <QList>

class QStandardItemModel;

// The resources of one group, each with its current booking, as the upper
// list of the resource view shows them.
class CResourceList
{
public:
    // The column keys of the list, in order.
    static const QStringList &columnKeys();
    // Each resource of the group once, with the latest booking that has
    // started (for a manual item: the latest not checked in), ties going to
    // the later booking id; ordered by that start, resources without one
    // first, then by id. The same on every database engine.
    static QList<CResource> getResourceDetails(qint32 groupId);
    // Adds an empty row for the resource at the end; gives its row.
    static int addResourceItem(QStandardItemModel &model, const CResource &resource, const QString &iconKey);
    // Writes the resource and its current booking into its row.
    static void updateResourceItem(QStandardItemModel &model, int row, const CResource &resource);
};
