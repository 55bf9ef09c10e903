#pragma once

#include <QList>
#include <QString>

class UserListModel;

// The columns of the user view and their widths from the user's settings.
class UserListColumns
{
public:
    struct Column
    {
        QString key;        // "NAME", "STATUS", ...
        QString caption;    // localised; empty for the mobile column
        QString headerIcon; // image key, or empty
        qint32 width = 0;   // twips; 0 hides the column
    };

    // Twips given to a column that has no stored width.
    static constexpr qint32 DefaultWidth = 1440;

    // The eight columns in order, with captions in the user's language and
    // the widths GetColumnWidth gives.
    static QList<Column> columns();

    // Whether a node of this kind shows the user list: a group (the status
    // nodes among them), the watch list or the search results.
    static bool showsUsers(const QString &viewKind);

    // Sets the user view's columns, unless the user view is already shown and
    // no setting change asked for a rebuild. Saves the widths of the columns
    // shown before. Gives true when the columns were rebuilt.
    static bool SetupUserListColumns(UserListModel &model);

    // A column's width: 0 when it is hidden, else its stored width, else
    // whenMissing. A stored width that does not read as a number counts as
    // missing.
    static qint32 GetColumnWidth(const QString &key, qint32 whenMissing = DefaultWidth);
    // Where a list's header gives the width a column starts with, under
    // this role; DefaultWidth where it gives none.
    static constexpr int StartWidthRole = Qt::UserRole + 2;

    // The hide flag of a column, as the list and the options dialog both read
    // and write it: only a stored true hides, so a column nobody has hidden
    // (no value, or one that does not read as a boolean) is shown.
    static bool isHidden(const QString &key);
    static void setHidden(const QString &key, bool hidden);
};
