#pragma once

#include <QString>
#include <QStringList>

class QStandardItemModel;

// The helpers both lists of the resource view share. Column 0 of a row
// holds its key under Qt::UserRole; headers hold their column keys there.
namespace ListRows {

void setColumns(QStandardItemModel &model, const QStringList &keys, const QStringList &captions);
int rowOfKey(const QStandardItemModel &model, const QString &key);
int appendRow(QStandardItemModel &model, const QString &key, const QString &text);
void setText(QStandardItemModel &model, int row, int column, const QString &text);
// A moment's text, sorting by its day number.
void setTime(QStandardItemModel &model, int row, int column, double when);
// Drops the rows whose keys are not in keep.
void removeOthers(QStandardItemModel &model, const QStringList &keep);

} // namespace ListRows
