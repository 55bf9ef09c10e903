#include "TrayIconLoader.h"

#include "TrayIconRules.h"
#include "status/IconArt.h"

#include <QImageReader>
#include <QPixmap>

QIcon TrayIconLoader::load(const QString &iconName, const QString &iconHome, const QString &programFolder)
{
    if (!TrayIconRules::isIconFile(iconName))
        return drawn(iconName);
    const QString path = TrayIconRules::iconFilePath(iconName, iconHome, programFolder);
    const QIcon file = path.isEmpty() ? QIcon() : loadFile(path);
    // The main window's list draws the icon files it was given no file for;
    // the tray shows the same picture.
    return file.isNull() ? drawn(iconName) : file;
}

QIcon TrayIconLoader::drawn(const QString &iconName)
{
    QIcon icon;
    // Trays ask for different sizes; each is drawn sharp.
    for (int size : {16, 24, 32, 48}) {
        const QPixmap picture = IconArt::picture(iconName, size);
        if (!picture.isNull())
            icon.addPixmap(picture);
    }
    return icon;
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
