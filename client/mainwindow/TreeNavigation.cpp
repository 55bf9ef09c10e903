#include "TreeNavigation.h"

#include "foundation/MCIFunctions.h"

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
    if (!opensView(kind))
        return Action::RecordOnly;
    if (kind == QLatin1String("TOP"))
        return !reload || currentKey.isEmpty() ? Action::WelcomePage : Action::RefreshPage;
    return Action::OpenView;
}

bool TreeNavigation::opensView(const QString &kind)
{
    return kind != QLatin1String("CTL");
}

QString TreeNavigation::infoText(const QString &kind, const QString &nodeName)
{
    if (kind == QLatin1String("TOP"))
        return welcomeText();
    if (kind == QLatin1String("GRP") || kind == QLatin1String("SRH") || kind == QLatin1String("NTF"))
        return GetResString(148) + u' ' + nodeName;
    return nodeName;
}
