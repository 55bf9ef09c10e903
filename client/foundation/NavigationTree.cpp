#include "NavigationTree.h"

bool NavigationTree::add(const Item &item)
{
    if (item.key.isEmpty() || contains(item.key))
        return false;
    if (!item.parentKey.isEmpty() && !contains(item.parentKey))
        return false;
    m_items.append(item);
    return true;
}

bool NavigationTree::contains(const QString &key) const
{
    return indexOf(key) >= 0;
}

NavigationTree::Item *NavigationTree::find(const QString &key)
{
    const int index = indexOf(key);
    return index < 0 ? nullptr : &m_items[index];
}

int NavigationTree::indexOf(const QString &key) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
