#include "TrayIconRules.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"
#include "foundation/MCIFunctions.h"
#include "platform/TextLimit.h"

#include <QRegularExpression>

QString TrayIconRules::iconName(const QString &status)
{
    QString name = status;
    if (IsCustomStatus(status)) {
        const CStatus *custom = FindCustomStatus(status);
        name = custom ? custom->Icon : QString(BuiltInStatus::Out);
    }
    return name.isEmpty() ? QStringLiteral("Qel") : name;
}

bool TrayIconRules::isIconFile(const QString &iconName)
{
    return iconName.startsWith(QLatin1String("ICO"));
}

QString TrayIconRules::iconFilePath(const QString &iconName, const QString &iconHome, const QString &programFolder)
{
    const QString fileName = iconName.mid(3);
    if (!isSafeFileName(fileName))
        return QString();
    return iconFolder(iconHome, programFolder) + fileName + QStringLiteral(".ico");
}

QString TrayIconRules::iconFolder(const QString &iconHome, const QString &programFolder)
{
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:"));
    QString folder = iconHome.trimmed();
    if (folder.startsWith(QLatin1String("\\\\")) || driveLetter.match(folder).hasMatch())
        folder.clear();
    folder.replace(u'\\', u'/');
    if (folder.isEmpty())
        folder = programFolder + QStringLiteral("/icons/");
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

bool TrayIconRules::isSafeFileName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QLatin1String(".."));
}

QString TrayIconRules::toolTip(const QString &status)
{
    return TextLimit::left(QStringLiteral("Qel - ") + GetStatusDescription(status).trimmed(), kToolTipLength);
}
