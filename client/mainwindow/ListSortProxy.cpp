#include "ListSortProxy.h"

#include "foundation/ListSortRole.h"

namespace {

// The user's language orders words; the C locale would order code points,
// and so put every accented capital after Z.
QLocale wordOrder()
{
    return QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
}

} // namespace

ListSortProxy::ListSortProxy(QObject *parent) : QSortFilterProxyModel(parent), m_words(wordOrder())
{
    m_words.setCaseSensitivity(Qt::CaseInsensitive);
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
    return m_words.compare(left.data(Qt::DisplayRole).toString(), right.data(Qt::DisplayRole).toString()) < 0;
}
