#pragma once

#include <QHash>
#include <QTreeWidget>

class CImageList;

// The navigation tree: every node carries a key ("NOD" + id, "TOP",
// "SRH0", ...) and a tag naming its kind ("GRP", "RSG", ...). Keys are unique
// and found without regard to case.
class KeyedTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit KeyedTreeWidget(QWidget *parent = nullptr);

    // Pictures the nodes from this list, those already there too, at its
    // picture size.
    void setImageList(const CImageList *list);
    // Adds a node under the node parentKey (top level when empty or unknown).
    // A picture key the image list lacks shows "ICO_MISSING". Gives null,
    // adding nothing, when the key is taken.
    QTreeWidgetItem *addNode(const QString &parentKey, const QString &key, const QString &text,
                             const QString &imageKey, const QString &tag);
    // Gives a node a new text, picture and tag; false when there is none.
    bool setNode(const QString &key, const QString &text, const QString &imageKey, const QString &tag);
    // Removes a node with the nodes under it.
    void removeNode(const QString &key);
    QTreeWidgetItem *node(const QString &key) const;
    static QString keyOf(const QTreeWidgetItem *item);
    static QString tagOf(const QTreeWidgetItem *item);
    QString nodeTag(const QString &key) const;
    QString selectedKey() const;
    // Selects and shows the node; false when there is none with that key.
    bool selectNode(const QString &key);
    void clearNodes();

signals:
    // A mouse button went up over the tree while a node was selected.
    void nodeReleased(Qt::MouseButton button);
    // Enter on the selected node, with or without Alt.
    void enterPressed(bool alt);
    // The pointer moved onto another node; an empty key over no node.
    void nodeEntered(const QString &key);
    // The Menu key or Shift+F10 asked for the context menu.
    void menuKeyPressed();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    // The menu comes with the button's release or the keys, not with the press.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void describe(QTreeWidgetItem *item, const QString &text, const QString &imageKey, const QString &tag);
    void showPicture(QTreeWidgetItem *item) const;

    QHash<QString, QTreeWidgetItem *> m_nodes; // upper-cased key
    const CImageList *m_images = nullptr;
    QString m_keyUnderPointer;
};
