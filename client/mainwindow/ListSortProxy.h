#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

// A list's rows in the order its column headers chose, as a view over the
// model: the model keeps its own order, and rows a poll or an update pulse
// rewrites move to their place. Cells sort by their ListSortRole value when
// they give one (times by day number), else by their text as the locale
// orders words, ignoring case (Émile between Eva and Fabio).
class ListSortProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    struct Sort
    {
        int column = -1; // -1: the model's own order
        Qt::SortOrder order = Qt::AscendingOrder;
        bool operator==(const Sort &) const = default;
    };

    explicit ListSortProxy(QObject *parent = nullptr);

    // A click on a header: the column already sorted on flips its order,
    // another column sorts ascending.
    static Sort next(const Sort &current, int clickedColumn);

    Sort currentSort() const { return {sortColumn(), sortOrder()}; }

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QCollator m_words;
};
