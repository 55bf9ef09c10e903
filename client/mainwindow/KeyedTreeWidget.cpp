#include "KeyedTreeWidget.h"

#include "CImageList.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
} // namespace

KeyedTreeWidget::KeyedTreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("trvUserlist"));
    setHeaderHidden(true);
    setColumnCount(1);
    // Long names scroll sideways rather than being cut short.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setMouseTracking(true);
}

QTreeWidgetItem *KeyedTreeWidget::addNode(const QString &parentKey, const QString &key, const QString &text,
                                          const QString &imageKey, const QString &tag)
{
    if (key.isEmpty() || m_nodes.contains(key.toUpper()))
        return nullptr;
    QTreeWidgetItem *parent = node(parentKey);
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setData(0, kKeyRole, key);
    describe(item, text, imageKey, tag);
    m_nodes.insert(key.toUpper(), item);
    return item;
}

void KeyedTreeWidget::setImageList(const CImageList *list)
{
    m_images = list;
    if (list)
        setIconSize(QSize(list->imageSize(), list->imageSize()));
    for (QTreeWidgetItem *item : std::as_const(m_nodes))
        showPicture(item);
}

void KeyedTreeWidget::describe(QTreeWidgetItem *item, const QString &text, const QString &imageKey, const QString &tag)
{
    item->setText(0, text);
    item->setData(0, kImageRole, imageKey);
    item->setData(0, kTagRole, tag);
    showPicture(item);
}

void KeyedTreeWidget::showPicture(QTreeWidgetItem *item) const
{
    if (!m_images)
        return;
    const QString imageKey = item->data(0, kImageRole).toString();
    const bool known = !imageKey.isEmpty() && m_images->contains(imageKey);
    item->setIcon(0, m_images->picture(known ? imageKey : QStringLiteral("ICO_MISSING")));
}

bool KeyedTreeWidget::setNode(const QString &key, const QString &text, const QString &imageKey, const QString &tag)
{
    QTreeWidgetItem *item = node(key);
    if (item)
        describe(item, text, imageKey, tag);
    return item;
}

void KeyedTreeWidget::removeNode(const QString &key)
{
    QTreeWidgetItem *item = node(key);
    if (!item)
        return;
    QList<QTreeWidgetItem *> gone{item};
    for (int i = 0; i < gone.size(); ++i)
        for (int child = 0; child < gone.at(i)->childCount(); ++child)
            gone << gone.at(i)->child(child);
    for (const QTreeWidgetItem *each : gone)
        m_nodes.remove(keyOf(each).toUpper());
    delete item;
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

void KeyedTreeWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (currentItem())
        Q_EMIT nodeReleased(event->button());
}

void KeyedTreeWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        Q_EMIT menuKeyPressed();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || !currentItem()) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    Q_EMIT enterPressed(event->modifiers().testFlag(Qt::AltModifier));
}

void KeyedTreeWidget::mouseMoveEvent(QMouseEvent *event)
{
    QTreeWidget::mouseMoveEvent(event);
    const QString key = keyOf(itemAt(event->position().toPoint()));
    if (key == m_keyUnderPointer)
        return;
    m_keyUnderPointer = key;
    Q_EMIT nodeEntered(key);
}

void KeyedTreeWidget::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}
