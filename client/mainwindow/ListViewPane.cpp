#include "ListViewPane.h"

#include "CImageList.h"
#include "ImageListProxyModel.h"
#include "ListSortProxy.h"
#include "MainLayout.h"
#include "UniformRowsTreeView.h"
#include "UserListClicks.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QTreeView>

#include <algorithm>

ListViewPane::ListViewPane(const QString &name, QWidget *parent)
    : QStackedWidget(parent), m_sort(new ListSortProxy(this)), m_pictures(new ImageListProxyModel(this)),
      m_details(new UniformRowsTreeView(this)), m_icons(new QListView(this))
{
    m_pictures->setSourceModel(m_sort);
    static_assert(IconKeyRole == ImageListProxyModel::IconKeyRole);
    setObjectName(name);
    m_details->setRootIsDecorated(false);
    m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_icons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_icons->setResizeMode(QListView::Adjust);
    m_details->header()->setSectionsClickable(true);
    // A column dragged to nothing is a hidden column, as the settings keep it.
    m_details->header()->setMinimumSectionSize(0);
    connect(m_details->header(), &QHeaderView::sectionClicked, this, &ListViewPane::sortByHeader);
    addWidget(m_details);
    addWidget(m_icons);
    setViewMode(Details);
    connect(m_details, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        Q_EMIT itemClicked(index.row());
    });
    connect(m_icons, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        Q_EMIT itemClicked(index.row());
    });
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex &index) { Q_EMIT itemDoubleClicked(index.row()); });
        view->viewport()->installEventFilter(this);
        view->installEventFilter(this);
    }
}

void ListViewPane::setModel(QAbstractItemModel *model)
{
    if (m_sort->sourceModel() != model) {
        // Another model has other columns: its rows come in its own order.
        m_sort->sort(-1);
        m_details->header()->setSortIndicatorShown(false);
        m_sort->setSourceModel(model);
    }
    if (m_details->model() == m_pictures)
        return;
    m_details->setModel(m_pictures);
    m_icons->setModel(m_pictures);
    // One selection for both looks, so switching style keeps it.
    QItemSelectionModel *own = m_icons->selectionModel();
    m_icons->setSelectionModel(m_details->selectionModel());
    delete own;
}

QAbstractItemModel *ListViewPane::model() const
{
    return m_sort->sourceModel() ? m_pictures : nullptr;
}

void ListViewPane::sortByHeader(int column)
{
    const ListSortProxy::Sort sort = ListSortProxy::next(m_sort->currentSort(), column);
    m_sort->sort(sort.column, sort.order);
    m_details->header()->setSortIndicator(sort.column, sort.order);
    m_details->header()->setSortIndicatorShown(true);
}

void ListViewPane::setImageLists(const CImageList *small, const CImageList *large)
{
    m_small = small;
    m_large = large;
    choosePictures();
}

// Each style draws its pictures at the size of the list they come from, so
// the large pictures asked for in place of the small ones show large.
void ListViewPane::choosePictures()
{
    const auto side = [](const CImageList *list, int fallback) {
        const int pixels = list ? list->imageSize() : fallback;
        return QSize(pixels, pixels);
    };
    const bool large = m_mode == LargeIcons;
    m_pictures->setImageList(large ? m_large : m_small);
    const int growth = pictureGrowth();
    m_details->setIconSize(side(m_small, kDesignedSide));
    m_icons->setIconSize(large ? side(m_large, 32) : side(m_small, kDesignedSide));
    const int change = pictureGrowth() - growth;
    if (change != 0 && !m_details->isColumnHidden(0))
        m_details->setColumnWidth(0, std::max(0, m_details->columnWidth(0) + change));
}

// The first column holds the pictures: pictures larger than the list was
// designed for widen it by their extra size, so its text keeps the room the
// stored width gives it.
int ListViewPane::pictureGrowth() const
{
    return std::max(0, m_details->iconSize().width() - kDesignedSide);
}

void ListViewPane::setViewMode(int mode)
{
    if (mode < LargeIcons || mode > Details)
        return;
    m_mode = mode;
    choosePictures();
    if (mode == Details) {
        setCurrentWidget(m_details);
        return;
    }
    m_icons->setViewMode(mode == LargeIcons ? QListView::IconMode : QListView::ListMode);
    m_icons->setFlow(mode == List ? QListView::TopToBottom : QListView::LeftToRight);
    m_icons->setWrapping(true);
    m_icons->setMovement(QListView::Static);
    setCurrentWidget(m_icons);
}

QString ListViewPane::rowKey(int row) const
{
    const QAbstractItemModel *m = model();
    return m && row >= 0 && row < m->rowCount() ? m->index(row, 0).data(KeyRole).toString() : QString();
}

QString ListViewPane::rowText(int row) const
{
    const QAbstractItemModel *m = model();
    return m && row >= 0 && row < m->rowCount() ? m->index(row, 0).data(Qt::DisplayRole).toString() : QString();
}

int ListViewPane::rowOfKey(const QString &key) const
{
    const QAbstractItemModel *m = model();
    for (int row = 0; m && row < m->rowCount(); ++row)
        if (rowKey(row).compare(key, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

bool ListViewPane::selectKey(const QString &key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return false;
    selectRow(row);
    return true;
}

QList<int> ListViewPane::selectedRows() const
{
    QList<int> rows;
    if (m_details->selectionModel())
        for (const QModelIndex &index : m_details->selectionModel()->selectedRows())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool ListViewPane::isRowSelected(int row) const
{
    const QAbstractItemModel *m = model();
    return m && m_details->selectionModel() && m_details->selectionModel()->isRowSelected(row, QModelIndex());
}

QRect ListViewPane::selectedRect() const
{
    const QAbstractItemView *view = m_mode == Details ? static_cast<QAbstractItemView *>(m_details) : m_icons;
    const int row = selectedRow();
    return row >= 0 && view->model() ? view->visualRect(view->model()->index(row, 0)) : QRect();
}

QWidget *ListViewPane::currentViewport() const
{
    return m_mode == Details ? m_details->viewport() : m_icons->viewport();
}

int ListViewPane::selectedRow() const
{
    const QModelIndex current = m_details->selectionModel() ? m_details->selectionModel()->currentIndex()
                                                             : QModelIndex();
    return current.isValid() ? current.row() : -1;
}

QString ListViewPane::selectedKey() const
{
    return rowKey(selectedRow());
}

void ListViewPane::selectRow(int row)
{
    const QAbstractItemModel *m = model();
    if (!m || row < 0 || row >= m->rowCount() || !m_details->selectionModel())
        return;
    const QModelIndex index = m->index(row, 0);
    m_details->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                            | QItemSelectionModel::Rows);
    m_details->scrollTo(index);
}

void ListViewPane::scrollToSelection()
{
    const QModelIndex current = m_details->selectionModel() ? m_details->selectionModel()->currentIndex()
                                                             : QModelIndex();
    if (!current.isValid())
        return;
    m_details->scrollTo(current);
    m_icons->scrollTo(current);
}

QColor ListViewPane::textColour() const
{
    return m_details->palette().color(QPalette::Text);
}

void ListViewPane::setTextColour(const QColor &colour)
{
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        QPalette palette = view->palette();
        palette.setColor(QPalette::Text, colour);
        view->setPalette(palette);
    }
}

int ListViewPane::columnWidth(int column) const
{
    if (m_details->isColumnHidden(column))
        return 0;
    const int growth = column == 0 ? pictureGrowth() : 0;
    return MainLayout::toTwips(std::max(0, m_details->columnWidth(column) - growth));
}

void ListViewPane::setColumnWidth(int column, int twips)
{
    m_details->setColumnHidden(column, twips <= 0);
    if (twips > 0)
        m_details->setColumnWidth(column, MainLayout::toPixels(twips) + (column == 0 ? pictureGrowth() : 0));
}

bool ListViewPane::isMenuKey(QEvent *event) const
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    return key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

bool ListViewPane::eventFilter(QObject *watched, QEvent *event)
{
    if (isMenuKey(event)) {
        Q_EMIT menuKeyPressed();
        return true;
    }
    // The menu comes with the button's release, or with the keys above.
    if (event->type() == QEvent::ContextMenu)
        return true;
    if (event->type() != QEvent::MouseButtonRelease)
        return QStackedWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    QAbstractItemView *view = m_mode == Details ? static_cast<QAbstractItemView *>(m_details) : m_icons;
    if (watched != view->viewport())
        return QStackedWidget::eventFilter(watched, event);
    Q_EMIT released(mouse->button(), mouse->globalPosition().toPoint());
    // The right button is the menu's; any other opens the status on its icon.
    if (mouse->button() == Qt::RightButton)
        return QStackedWidget::eventFilter(watched, event);
    const QPoint at = mouse->position().toPoint();
    const QModelIndex index = view->indexAt(at);
    if (index.isValid()) {
        const QRect row = view->visualRect(index);
        if (UserListClicks::onStatusIcon(m_mode, MainLayout::toTwips(row.left()), MainLayout::toTwips(row.top()),
                                         MainLayout::toTwips(at.x()), MainLayout::toTwips(at.y())))
            Q_EMIT statusIconClicked(index.row());
    }
    return QStackedWidget::eventFilter(watched, event);
}
