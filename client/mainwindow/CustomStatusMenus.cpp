#include "CustomStatusMenus.h"
#include "foundation/CStatus.h"

CustomStatusMenus CustomStatusMenus::sort(const QList<CStatus> &statuses)
{
    CustomStatusMenus menus;
    for (const CStatus &status : statuses) {
        const Item item{status.StatusCode, menuText(status.Status)};
        if (status.CustomType.compare(QLatin1String("I"), Qt::CaseInsensitive) == 0)
            menus.inn.append(item);
        else if (status.CustomType.compare(QLatin1String("O"), Qt::CaseInsensitive) == 0)
            menus.out.append(item);
        else
            menus.mtg.append(item);
    }
    return menus;
}

QString CustomStatusMenus::menuText(const QString &name)
{
    QString text = name;
    return text.replace(u'&', QLatin1String("&&"));
}
