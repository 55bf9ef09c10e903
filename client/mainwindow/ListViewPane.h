#pragma once

#include <QStackedWidget>

class CImageList;
class ImageListProxyModel;
class QAbstractItemModel;
class QItemSelectionModel;
class QListView;
class QModelIndex;
class QTreeView;

// A list shown in one of four styles over one model: large icons, small
// icons, list and details. Rows are found by the key that column 0 holds
// under KeyRole ("USR" + id, "RES" + id, ...); rows and column headers name
// their pictures under IconKeyRole, drawn from the small image list, or the
// large one in the large-icon style.
class ListViewPane : public QStackedWidget
{
    Q_OBJECT
public:
    enum ViewMode { LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3 };
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    explicit ListViewPane(const QString &name, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model);
    // The model as the views show it (pictures resolved).
    QAbstractItemModel *model() const;
    void setImageLists(const CImageList *small, const CImageList *large);
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
    void choosePictures();

    ImageListProxyModel *m_pictures;
    const CImageList *m_small = nullptr;
    const CImageList *m_large = nullptr;
    QTreeView *m_details;
    QListView *m_icons;
    int m_mode = Details;
};
