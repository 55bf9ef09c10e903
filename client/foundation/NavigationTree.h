#pragma once

#include <QList>
#include <QString>

// The navigation tree as built for the main window, which only shows it:
// items in the order they were added, each after its parent. Keys are
// compared ignoring case.
class NavigationTree
{
public:
    struct Item
    {
        QString key;
        QString text;
        QString image;             // key in the main window's image list
        QString tag;               // node kind: "TOP", "GRP", "RSG", "BRH", "WEB", "SRH", "NTF"
        QString parentKey;         // empty for the root
        bool sortChildren = false; // children shown in alphabetical order
        bool ensureVisible = false; // its parents are expanded so that it shows
    };

    // Adds an item; false when its key is taken or its parent is not there.
    bool add(const Item &item);
    bool contains(const QString &key) const;
    Item *find(const QString &key);
    const QList<Item> &items() const { return m_items; }
    QList<Item> &items() { return m_items; }

    QString selectedKey;

private:
    int indexOf(const QString &key) const;

    QList<Item> m_items;
};
