#include "UserListColumns.h"

#include "IUserListView.h"
#include "UserListModel.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/MCIFunctions.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

std::optional<QString> stored(const SettingKey &key, const QString &item)
{
    const QString value = key.read(item);
    if (value == Registry::missingText())
        return std::nullopt;
    return value.trimmed();
}

std::optional<double> storedNumber(const SettingKey &key, const QString &item)
{
    const auto text = stored(key, item);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const double number = text->toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// "True"/"False" as the settings store them, or a number (non-zero is true).
std::optional<bool> storedFlag(const SettingKey &key, const QString &item)
{
    const auto text = stored(key, item);
    if (!text)
        return std::nullopt;
    if (text->compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text->compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto number = storedNumber(key, item);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

} // namespace

QList<UserListColumns::Column> UserListColumns::columns()
{
    struct Definition { const char *key; qint32 captionId; const char *icon; };
    static const Definition definitions[] = {
        {"NAME", 155, "ORBIT"},   {"STATUS", 156, ""},   {"NOTE", 157, ""},     {"OUT", 158, ""},
        {"DUEBACK", 159, ""},     {"MOBILE", 0, "MOB"},  {"MOBILEPH", 160, ""}, {"PHONENUMBER", 161, ""},
    };
    QList<Column> result;
    for (const Definition &d : definitions) {
        Column column;
        column.key = QString::fromLatin1(d.key);
        column.caption = d.captionId ? GetResString(d.captionId) : QString();
        column.headerIcon = QString::fromLatin1(d.icon);
        column.width = GetColumnWidth(column.key);
        result.append(column);
    }
    return result;
}

bool UserListColumns::showsUsers(const QString &viewKind)
{
    for (const char *kind : {"GRP", "NTF", "SRH"}) {
        if (viewKind.compare(QLatin1String(kind), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// g_sViewType is the kind of the node whose view is shown, which the window
// records once the view is open; while it shows users, so do the columns.
bool UserListColumns::SetupUserListColumns(UserListModel &model)
{
    if (showsUsers(g_sViewType) && !g_fRefreshNeeded)
        return false;
    IUserListView *view = IUserListView::ofMainWindow();
    if (!g_fRefreshNeeded && view)
        view->saveColumnSettings();
    g_fRefreshNeeded = false;

    const QList<Column> userColumns = columns();
    model.setColumns(userColumns);
    if (view)
        view->showUserColumns(userColumns);
    if (g_frmMain)
        g_frmMain->hideWebPage();
    return true;
}

qint32 UserListColumns::GetColumnWidth(const QString &key, qint32 whenMissing)
{
    if (isHidden(key))
        return 0;
    const auto width = storedNumber(SettingsKeys::ColumnWidth, key);
    // A negative width cannot be shown; like text it counts as no width.
    if (!width || *width < 0 || *width > std::numeric_limits<qint32>::max())
        return whenMissing;
    return qint32(DateUtil::roundHalfEven(*width));
}

bool UserListColumns::isHidden(const QString &key)
{
    return storedFlag(SettingsKeys::HiddenColumn, key).value_or(TextIsTrue(SettingsKeys::HiddenColumn.defaultValue()));
}

void UserListColumns::setHidden(const QString &key, bool hidden)
{
    SettingsKeys::HiddenColumn.write(hidden, key);
}
