#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

// An ordered store of pictures found by key. Keys are unique and, as in the
// rest of the program, compared without regard to case.
class CImageList
{
public:
    explicit CImageList(int imageSize = 32) : m_imageSize(imageSize) {}

    int imageSize() const { return m_imageSize; }
    int count() const { return int(m_items.size()); }
    // Adds at the end; false (and nothing added) when the key is taken.
    bool add(const QString &key, const QIcon &picture);
    bool contains(const QString &key) const { return m_index.contains(key.toUpper()); }
    // 1-based position of the key; 0 when there is none.
    int indexOf(const QString &key) const;
    QString key(int index) const;
    QStringList keys() const;
    // A null icon for an unknown key.
    QIcon picture(const QString &key) const;
    QPixmap pixmap(const QString &key) const;
    void clear();

private:
    struct Item
    {
        QString key;
        QIcon picture;
    };
    int m_imageSize;
    QList<Item> m_items;
    QHash<QString, int> m_index; // upper-cased key -> position in m_items
};
