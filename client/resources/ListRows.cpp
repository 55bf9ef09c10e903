#include "ListRows.h"

#include "BookingDisplay.h"
#include "foundation/ListSortRole.h"

#include <QStandardItemModel>

namespace ListRows {

void setColumns(QStandardItemModel &model, const QStringList &keys, const QStringList &captions)
{
    model.setColumnCount(int(keys.size()));
    for (int column = 0; column < keys.size(); ++column) {
        model.setHeaderData(column, Qt::Horizontal, captions.at(column));
        model.setHeaderData(column, Qt::Horizontal, keys.at(column), Qt::UserRole);
    }
}

int rowOfKey(const QStandardItemModel &model, const QString &key)
{
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.index(row, 0).data(Qt::UserRole).toString().compare(key, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

int appendRow(QStandardItemModel &model, const QString &key, const QString &text)
{
    QList<QStandardItem *> cells;
    for (int column = 0; column < model.columnCount(); ++column)
        cells << new QStandardItem;
    cells.first()->setText(text);
    cells.first()->setData(key, Qt::UserRole);
    for (QStandardItem *cell : cells)
        cell->setEditable(false);
    model.appendRow(cells);
    return model.rowCount() - 1;
}

void setText(QStandardItemModel &model, int row, int column, const QString &text)
{
    model.setData(model.index(row, column), text);
    model.setData(model.index(row, column), QVariant(), ListSortRole);
}

void setTime(QStandardItemModel &model, int row, int column, double when)
{
    model.setData(model.index(row, column), BookingDisplay::timeText(when));
    model.setData(model.index(row, column), when, ListSortRole);
}

void removeOthers(QStandardItemModel &model, const QStringList &keep)
{
    for (int row = model.rowCount() - 1; row >= 0; --row)
        if (!keep.contains(model.index(row, 0).data(Qt::UserRole).toString(), Qt::CaseInsensitive))
            model.removeRow(row);
}

} // namespace ListRows
