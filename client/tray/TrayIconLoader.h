#pragma once

#include <QIcon>
#include <QString>

// Loads the picture an icon name stands for: one of the program's drawn
// pictures (the same the main window's list shows), or an "ICO" + file name
// icon from the icon folder.
class TrayIconLoader
{
public:
    // A null icon when the name is unknown, the file name is refused or the
    // file cannot be read. iconHome is only read for "ICO" names.
    static QIcon load(const QString &iconName, const QString &iconHome, const QString &programFolder);

private:
    static QIcon drawn(const QString &iconName);
    static QIcon loadFile(const QString &path);
};
