#include "CImageList.h"

bool CImageList::add(const QString &key, const QIcon &picture)
{
    const QString folded = key.toUpper();
    if (key.isEmpty() || m_index.contains(folded))
        return false;
    m_index.insert(folded, int(m_items.size()));
    m_items.append({key, picture});
    return true;
}

int CImageList::indexOf(const QString &key) const
{
    return m_index.value(key.toUpper(), -1) + 1;
}

QString CImageList::key(int index) const
{
    return index >= 1 && index <= count() ? m_items.at(index - 1).key : QString();
}

QStringList CImageList::keys() const
{
    QStringList result;
    result.reserve(m_items.size());
    for (const Item &item : m_items)
        result.append(item.key);
    return result;
}

QIcon CImageList::picture(const QString &key) const
{
    const int index = indexOf(key);
    return index ? m_items.at(index - 1).picture : QIcon();
}

QPixmap CImageList::pixmap(const QString &key) const
{
    return picture(key).pixmap(m_imageSize, m_imageSize);
}

void CImageList::clear()
{
    m_items.clear();
    m_index.clear();
}
