#include "ListViewPane.h"

#include "ImageListProxyModel.h"
#include "ListSortProxy.h"
#include "MainLayout.h"
#include "UniformRowsTreeView.h"
#include "UserListClicks.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QListView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>

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

void ListViewPane::choosePictures()
{
    m_pictures->setImageList(m_mode == LargeIcons ? m_large : m_small);
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
    m_icons->setIconSize(mode == LargeIcons ? QSize(32, 32) : QSize(16, 16));
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
    return m_details->isColumnHidden(column) ? 0 : MainLayout::toTwips(m_details->columnWidth(column));
}

void ListViewPane::setColumnWidth(int column, int twips)
{
    m_details->setColumnHidden(column, twips <= 0);
    if (twips > 0)
        m_details->setColumnWidth(column, MainLayout::toPixels(twips));
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
