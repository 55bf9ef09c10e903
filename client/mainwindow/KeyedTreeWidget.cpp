#include "KeyedTreeWidget.h"

#include "CImageList.h"

namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;
} // namespace

KeyedTreeWidget::KeyedTreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("trvUserlist"));
    setHeaderHidden(true);
    setColumnCount(1);
}

QTreeWidgetItem *KeyedTreeWidget::addNode(const QString &parentKey, const QString &key, const QString &text,
                                          const QString &imageKey, const QString &tag)
{
    if (key.isEmpty() || m_nodes.contains(key.toUpper()))
        return nullptr;
    QTreeWidgetItem *parent = node(parentKey);
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    if (m_images) {
        const bool known = !imageKey.isEmpty() && m_images->contains(imageKey);
        item->setIcon(0, m_images->picture(known ? imageKey : QStringLiteral("ICO_MISSING")));
    }
    item->setData(0, kKeyRole, key);
    item->setData(0, kTagRole, tag);
    m_nodes.insert(key.toUpper(), item);
    return item;
}

QTreeWidgetItem *KeyedTreeWidget::node(const QString &key) const
{
    return key.isEmpty() ? nullptr : m_nodes.value(key.toUpper());
}

QString KeyedTreeWidget::keyOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QString KeyedTreeWidget::tagOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kTagRole).toString() : QString();
}

QString KeyedTreeWidget::nodeTag(const QString &key) const
{
    return tagOf(node(key));
}

QString KeyedTreeWidget::selectedKey() const
{
    return keyOf(currentItem());
}

bool KeyedTreeWidget::selectNode(const QString &key)
{
    QTreeWidgetItem *item = node(key);
    if (!item)
        return false;
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

void KeyedTreeWidget::clearNodes()
{
    m_nodes.clear();
    clear();
}
