#pragma once

#include "CImageList.h"

#include <QString>
#include <QStringList>

// The main window's three picture lists: coloured 32-pixel pictures (list
// icons, tool-bar buttons under the pointer), grey tool-bar pictures, and
// 16-pixel copies of the coloured ones (small list icons, tree). Custom
// statuses bring their own pictures as .ico files in the icon folder.
class CMainImageLists
{
public:
    CImageList imghot{32};
    CImageList imgnorm{32};
    CImageList img16{16};

    // The nine status keys and the eleven tool keys, in list order.
    static QStringList toolbarKeys();
    // The built-in keys that follow the icon folder's pictures.
    static QStringList trailingKeys();

    // The icon folder named by the system property icon_home; the "icons"
    // folder beside the program when the value is empty. Ends in "/".
    static QString iconFolder(const QString &iconHome, const QString &programFolder);
    // The folder's .ico files (any letter case), sorted by name ignoring case.
    static QStringList iconFiles(const QString &folder);

    // Fills the three lists. A folder file that is not a picture, or whose
    // key is already taken, is skipped and written to the error log; an
    // empty folder string adds no folder pictures. The icon files the default
    // tree nodes name are drawn after the folder's pictures when the folder
    // lacks them.
    void load(const QString &iconFolder);

private:
    void addBuiltIn(const QString &key);
    void addFolderIcon(const QString &folder, const QString &fileName);
};
