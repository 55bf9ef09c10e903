#pragma once

#include <QStackedWidget>

class QAbstractItemModel;
class QItemSelectionModel;
class QListView;
class QModelIndex;
class QTreeView;

// A list shown in one of four styles over one model: large icons, small
// icons, list and details. Rows are found by the key that column 0 holds
// under KeyRole ("USR" + id, "RES" + id, ...).
class ListViewPane : public QStackedWidget
{
    Q_OBJECT
public:
    enum ViewMode { LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3 };
    static constexpr int KeyRole = Qt::UserRole;

    explicit ListViewPane(const QString &name, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model);
    QAbstractItemModel *model() const;
    int viewMode() const { return m_mode; }
    void setViewMode(int mode);

    QTreeView *detailsView() const { return m_details; }
    QListView *iconView() const { return m_icons; }

    // Selects the row with that key; false when there is none.
    bool selectKey(const QString &key);
    QString selectedKey() const;
    int selectedRow() const;
    void selectRow(int row);
    QString rowKey(int row) const;
    QString rowText(int row) const;

signals:
    void itemClicked(int row);

private:
    QTreeView *m_details;
    QListView *m_icons;
    int m_mode = Details;
};
