#include "UserListModel.h"

#include "foundation/ListSortRole.h"

UserListModel::UserListModel(QObject *parent) : QAbstractTableModel(parent)
{
}

int UserListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int UserListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UserListModel::data(const QModelIndex &index, int role) const
{
    const UserListItem *row = index.isValid() ? item(index.row()) : nullptr;
    if (!row || index.column() < 0 || index.column() >= ColumnCount)
        return QVariant();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return cellText(*row, column);
    case Qt::DecorationRole:
        return column == NameColumn ? icon(row->IconKey) : QVariant();
    case Qt::ForegroundRole:
        if (column == NoteColumn || column == OutColumn)
            return colour(row->NoteColour);
        if (column == DueBackColumn)
            return colour(row->DueBackColour);
        return QVariant();
    case IconKeyRole:
        return column == NameColumn ? QVariant(row->IconKey) : QVariant();
    case UserIdRole:
        return row->UserID;
    case Qt::UserRole:
    case KeyRole:
        return QStringLiteral("USR") + QString::number(row->UserID);
    case TagRole:
        return row->Tag;
    case ListSortRole:
        // Times sort by their moment, not by their text.
        if (column == OutColumn)
            return row->OutTime;
        if (column == DueBackColumn)
            return row->DueBack;
        return cellText(*row, column);
    default:
        return QVariant();
    }
}

QVariant UserListModel::cellText(const UserListItem &item, int column) const
{
    switch (column) {
    case NameColumn: return item.Text;
    case StatusColumn: return item.StatusText;
    case NoteColumn: return item.Note;
    case OutColumn: return item.OutText;
    case DueBackColumn: return item.DueBackText;
    case MobileColumn: return item.Mobile;
    case MobilePhColumn: return item.MobilePh;
    case PhoneNumberColumn: return item.PhoneNumber;
    default: return QVariant();
    }
}

QVariant UserListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QVariant();
    const UserListColumns::Column &column = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole:
        return column.caption;
    case Qt::DecorationRole:
        return column.headerIcon.isEmpty() ? QVariant() : icon(column.headerIcon);
    case IconKeyRole:
        return column.headerIcon;
    case Qt::UserRole:
    case KeyRole:
        return column.key;
    default:
        return QVariant();
    }
}

bool UserListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    const int column = index.column();
    const QString text = value.toString();
    return patch(index.row(), [column, &text](UserListItem &item) {
        QString *cells[ColumnCount] = {&item.Text,    &item.StatusText, &item.Note,     &item.OutText,
                                       &item.DueBackText, &item.Mobile, &item.MobilePh, &item.PhoneNumber};
        if (column >= 0 && column < ColumnCount)
            *cells[column] = text;
    });
}

QVariant UserListModel::colour(const QColor &colour)
{
    return colour.isValid() ? QVariant(colour) : QVariant();
}

QVariant UserListModel::icon(const QString &key) const
{
    if (!m_iconProvider || key.isEmpty())
        return QVariant();
    return m_iconProvider(key);
}

void UserListModel::setIconProvider(std::function<QIcon(const QString &)> provider)
{
    m_iconProvider = std::move(provider);
    if (m_shownRows > 0)
        Q_EMIT dataChanged(index(0, NameColumn), index(m_shownRows - 1, NameColumn), {Qt::DecorationRole});
}

void UserListModel::setColumns(const QList<UserListColumns::Column> &columns)
{
    m_columns = columns;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void UserListModel::clear()
{
    beginResetModel();
    m_items.clear();
    m_rowOfUser.clear();
    m_pending.clear();
    m_shownRows = 0;
    endResetModel();
}

int UserListModel::rowOf(qint32 userId) const
{
    return m_rowOfUser.value(userId, -1);
}

int UserListModel::addUser(qint32 userId, const QString &name)
{
    const int existing = rowOf(userId);
    if (existing >= 0)
        return existing;
    const int row = int(m_items.size());
    UserListItem item;
    item.UserID = userId;
    item.Text = name;
    m_items.append(item);
    m_rowOfUser.insert(userId, row);
    if (!m_holding)
        showHeldRows();
    return row;
}

void UserListModel::reserve(int rows)
{
    m_items.reserve(rows);
    m_rowOfUser.reserve(rows);
}

void UserListModel::showHeldRows()
{
    const int rows = int(m_items.size());
    if (rows <= m_shownRows)
        return;
    beginInsertRows(QModelIndex(), m_shownRows, rows - 1);
    m_shownRows = rows;
    endInsertRows();
}

bool UserListModel::removeUser(qint32 userId)
{
    const int row = rowOf(userId);
    if (row < 0)
        return false;
    const bool shown = row < m_shownRows;
    if (shown)
        beginRemoveRows(QModelIndex(), row, row);
    m_items.removeAt(row);
    m_rowOfUser.remove(userId);
    m_pending.remove(userId);
    for (int i = row; i < m_items.size(); ++i)
        m_rowOfUser[m_items.at(i).UserID] = i;
    if (shown) {
        --m_shownRows;
        endRemoveRows();
    }
    return true;
}

const UserListItem *UserListModel::item(int row) const
{
    if (row < 0 || row >= m_items.size())
        return nullptr;
    return &m_items.at(row);
}

bool UserListModel::patch(int row, const std::function<void(UserListItem &)> &change)
{
    if (row < 0 || row >= m_items.size())
        return false;
    UserListItem &item = m_items[row];
    const qint32 userId = item.UserID;
    change(item);
    // The row stays the same user's: the hash finds it by that id.
    item.UserID = userId;
    if (item.Pending)
        m_pending.insert(userId);
    else
        m_pending.remove(userId);
    if (row < m_shownRows)
        Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}
