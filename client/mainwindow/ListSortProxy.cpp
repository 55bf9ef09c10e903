#include "ListSortProxy.h"

#include "foundation/ListSortRole.h"

ListSortProxy::ListSortProxy(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setDynamicSortFilter(true);
}

ListSortProxy::Sort ListSortProxy::next(const Sort &current, int clickedColumn)
{
    if (current.column != clickedColumn)
        return {clickedColumn, Qt::AscendingOrder};
    return {clickedColumn, current.order == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder};
}

bool ListSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(ListSortRole);
    const QVariant b = right.data(ListSortRole);
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
        return a.toDouble() < b.toDouble();
    return left.data(Qt::DisplayRole).toString().compare(right.data(Qt::DisplayRole).toString(), Qt::CaseInsensitive) < 0;
}
