#include "TreeNavigation.h"

QString TreeNavigation::kindOf(const QString &tag)
{
    return tag.isEmpty() ? QStringLiteral("TOP") : tag.toUpper();
}

TreeNavigation::Action TreeNavigation::actionFor(const QString &nodeKey, const QString &kind, bool reload,
                                                 const QString &currentKey)
{
    if (!reload && nodeKey.compare(currentKey, Qt::CaseInsensitive) == 0)
        return Action::Unchanged;
    if (kind == QLatin1String("GRP"))
        return Action::OpenGroupView;
    if (kind == QLatin1String("CTL"))
        return Action::RecordOnly;
    if (kind == QLatin1String("TOP"))
        return !reload || currentKey.isEmpty() ? Action::WelcomePage : Action::RefreshPage;
    return Action::OpenView;
}
