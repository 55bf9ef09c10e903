#include "TrayIconLoader.h"

#include "StatusIconPainter.h"
#include "TrayIconRules.h"

#include <QImageReader>
#include <QPixmap>

QIcon TrayIconLoader::load(const QString &iconName, const QString &iconHome, const QString &programFolder)
{
    if (!TrayIconRules::isIconFile(iconName))
        return StatusIconPainter::icon(iconName);
    const QString path = TrayIconRules::iconFilePath(iconName, iconHome, programFolder);
    return path.isEmpty() ? QIcon() : loadFile(path);
}

QIcon TrayIconLoader::loadFile(const QString &path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return QIcon();
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    // Larger trays take the picture at its own size.
    if (image.width() > 16)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}
