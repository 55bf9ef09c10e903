#pragma once

#include <QHash>
#include <QString>
#include <vector>

namespace QelWeb {

// Items in the order they were added, each under a text key found again
// ignoring case, as the collections the web pages walk. The items are kept by
// value; a node may hold a collection of its own kind.
template <typename T>
class KeyedCollection
{
public:
    // False, and nothing added, when the key is already taken.
    bool add(const QString &key, T item)
    {
        const QString folded = key.toCaseFolded();
        if (m_index.contains(folded))
            return false;
        m_index.insert(folded, int(m_items.size()));
        m_keys.push_back(key);
        m_items.push_back(std::move(item));
        return true;
    }

    const T *find(const QString &key) const
    {
        const auto found = m_index.constFind(key.toCaseFolded());
        return found == m_index.constEnd() ? nullptr : &m_items[size_t(*found)];
    }

    int size() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    const QString &keyAt(int i) const { return m_keys[size_t(i)]; }
    const T &at(int i) const { return m_items[size_t(i)]; }

private:
    std::vector<QString> m_keys;
    std::vector<T> m_items;
    QHash<QString, int> m_index;
};

} // namespace QelWeb
