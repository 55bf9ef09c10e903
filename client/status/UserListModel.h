#pragma once

#include "UserListColumns.h"
#include "UserListItem.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QSet>
#include <functional>

// The rows of the user list, one per user, in the order they were read. The
// main window shows it in its list view; the poll patches rows in place, so a
// view keeps its selection and scroll position across polls. Users are found
// by id through a hash, whatever order the rows are in.
class UserListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Lists find a row by the key it answers under Qt::UserRole too, and a
    // column header by its column key there.
    enum Role {
        IconKeyRole = Qt::UserRole + 1, // the image key of a row or header
        UserIdRole,
        KeyRole,
        TagRole,
    };
    enum ColumnIndex { NameColumn, StatusColumn, NoteColumn, OutColumn, DueBackColumn, MobileColumn,
                       MobilePhColumn, PhoneNumberColumn, ColumnCount };

    explicit UserListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Rewrites the text of one cell (Qt::EditRole or Qt::DisplayRole), as the
    // main window does for a single column of a user's row.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Turns image keys into pictures; the main window gives its image list.
    void setIconProvider(std::function<QIcon(const QString &)> provider);
    void setColumns(const QList<UserListColumns::Column> &columns);
    const QList<UserListColumns::Column> &columns() const { return m_columns; }

    void clear();
    // The row of a user, or -1.
    int rowOf(qint32 userId) const;
    // The row of a user, added at the end with his key and name when he is
    // not in the list yet.
    int addUser(qint32 userId, const QString &name);
    bool removeUser(qint32 userId);
    // The item of a row; nothing for a row outside the list.
    const UserListItem *item(int row) const;
    // Lets change() rewrite a row's item, then tells the views. A row outside
    // the list is left alone; gives whether the row existed.
    bool patch(int row, const std::function<void(UserListItem &)> &change);
    // The users whose rows show a status still to come ("Pending"), so a
    // poll need not look at every row for them.
    QList<qint32> pendingUsers() const { return m_pending.values(); }

    // While held, users added go into the list without a word to the views,
    // which see them when showHeldRows() announces them all at once: a load
    // of thousands of rows costs the views one insertion, not thousands.
    class HeldRows
    {
    public:
        explicit HeldRows(UserListModel &model) : m_model(model) { m_model.m_holding = true; }
        ~HeldRows()
        {
            m_model.showHeldRows();
            m_model.m_holding = false;
        }
        HeldRows(const HeldRows &) = delete;
        HeldRows &operator=(const HeldRows &) = delete;

    private:
        UserListModel &m_model;
    };
    void showHeldRows();
    // Room for this many rows, so a full load grows the list once.
    void reserve(int rows);

private:
    QVariant cellText(const UserListItem &item, int column) const;
    QVariant icon(const QString &key) const;
    // A cell's own colour; none for an invalid one, so the list's shows.
    static QVariant colour(const QColor &colour);

    QList<UserListItem> m_items;
    QHash<qint32, int> m_rowOfUser;
    QSet<qint32> m_pending;
    int m_shownRows = 0; // the rows the views know of
    bool m_holding = false;
    QList<UserListColumns::Column> m_columns;
    std::function<QIcon(const QString &)> m_iconProvider;
};
