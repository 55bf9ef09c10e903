#include "UniformRowsTreeView.h"

#include <QEvent>

namespace {

// One line of text that the view's font draws: its height is the font's.
bool plainLine(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF || c == u'\n' || c == u'\r')
            return false;
    return true;
}

} // namespace

void UniformRowsTreeView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                      const QList<int> &roles)
{
    // Wrapped text would make the height depend on the widths as well.
    const bool firstRow = uniformRowHeights() && !wordWrap() && topLeft.isValid() && !topLeft.parent().isValid() &&
        topLeft.row() == 0 && bottomRight.row() == 0;
    if (!firstRow) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    const std::optional<quint64> key = heightKey();
    if (key && key == m_measured && iconSize() == m_measuredIconSize && rowHeight(topLeft) == m_measuredHeight) {
        // The height stays: only the cells are drawn again.
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    m_measured = key;
    m_measuredHeight = rowHeight(topLeft);
    m_measuredIconSize = iconSize();
}

void UniformRowsTreeView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        forgetMeasure();
    QTreeView::changeEvent(event);
}

std::optional<quint64> UniformRowsTreeView::heightKey() const
{
    const QAbstractItemModel *m = model();
    const int columns = m ? m->columnCount() : 0;
    if (columns > 32)
        return std::nullopt;
    quint64 key = 0;
    for (int column = 0; column < columns; ++column) {
        if (isColumnHidden(column)) {
            key |= quint64(1) << (2 * column);
            continue;
        }
        const QModelIndex cell = m->index(0, column);
        if (!plainLine(cell.data(Qt::DisplayRole).toString()) || cell.data(Qt::FontRole).isValid())
            return std::nullopt;
        if (cell.data(Qt::DecorationRole).isValid())
            key |= quint64(2) << (2 * column);
    }
    return key;
}
