#include "ImageListProxyModel.h"

#include "CImageList.h"
#include "foundation/NavigationTreeBuilder.h"

void ImageListProxyModel::setImageList(const CImageList *list)
{
    if (m_list == list)
        return;
    m_list = list;
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows > 0 && columns > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows - 1, columns - 1), {Qt::DecorationRole});
    if (columns > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns - 1);
}

QVariant ImageListProxyModel::picture(const QVariant &key) const
{
    const QString text = key.toString();
    if (!m_list || text.isEmpty())
        return QVariant();
    // A key the list lacks (a status no copy could name, an icon file
    // another machine has) shows the neutral picture: a row without one
    // would be drawn lower, and every row with it.
    return m_list->picture(m_list->contains(text) ? text : NavigationTreeBuilder::missingIcon());
}

QVariant ImageListProxyModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DecorationRole) {
        const QVariant named = picture(QIdentityProxyModel::data(index, IconKeyRole));
        if (named.isValid())
            return named;
    }
    return QIdentityProxyModel::data(index, role);
}

QVariant ImageListProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DecorationRole) {
        const QVariant named = picture(QIdentityProxyModel::headerData(section, orientation, IconKeyRole));
        if (named.isValid())
            return named;
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
}
