#pragma once

#include <QColor>
#include <QStackedWidget>

class CImageList;
class ImageListProxyModel;
class ListSortProxy;
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

    // The row with that key (found ignoring case), or -1.
    int rowOfKey(const QString &key) const;
    // Selects the row with that key; false when there is none.
    bool selectKey(const QString &key);
    QString selectedKey() const;
    int selectedRow() const;
    void selectRow(int row);
    // The selected rows, in list order; and whether one row is among them.
    QList<int> selectedRows() const;
    bool isRowSelected(int row) const;
    // The selected row's rectangle in the viewport of the style shown.
    QRect selectedRect() const;
    QWidget *currentViewport() const;
    QString rowKey(int row) const;
    QString rowText(int row) const;
    // Brings the selected row into view in the style shown.
    void scrollToSelection();

    QColor textColour() const;
    void setTextColour(const QColor &colour);

    // Column widths in twips, 0 for a hidden column.
    int columnWidth(int column) const;
    void setColumnWidth(int column, int twips);

    // A click on a column header sorts the rows on that column (again: the
    // other way round).
    void sortByHeader(int column);

signals:
    void itemClicked(int row);
    void itemDoubleClicked(int row);
    // A click of any button but the right one released on a row, at a point
    // of the row's status icon.
    void statusIconClicked(int row);
    // A mouse button went up over the rows, at that global position.
    void released(Qt::MouseButton button, const QPoint &globalPos);
    // The Menu key or Shift+F10 asked for the context menu.
    void menuKeyPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int kDesignedSide = 16;

    bool isMenuKey(QEvent *event) const;
    void choosePictures();
    int pictureGrowth() const;

    ListSortProxy *m_sort;
    ImageListProxyModel *m_pictures;
    const CImageList *m_small = nullptr;
    const CImageList *m_large = nullptr;
    QTreeView *m_details;
    QListView *m_icons;
    int m_mode = Details;
};
