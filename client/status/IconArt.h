#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

// The program's own pictures, drawn in code: the status icons, the tool-bar
// buttons, the tree's node icons and the program icon. Each is drawn for the
// size asked, so the 16- and 32-pixel lists both get a sharp picture. The main
// window's lists and the tray both draw from here, so a status looks the same
// in either place.
class IconArt
{
public:
    // Icon-file keys the new database's own tree nodes name ("ICOcopier", ...).
    // No such files are shipped, so they are drawn here too; a file of that
    // name in the icon folder takes their place.
    static QStringList iconFileKeys();
    static bool hasPicture(const QString &key);
    // The coloured picture under an image key (a status code, a tool key,
    // "Qel", ...); a null pixmap for an unknown key.
    static QPixmap picture(const QString &key, int size);
    // The same picture in grey, as tool-bar buttons show it until the
    // pointer is over them.
    static QPixmap greyPicture(const QString &key, int size);
    static QPixmap toGrey(const QPixmap &picture);
};
