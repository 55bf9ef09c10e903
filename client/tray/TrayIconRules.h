#pragma once

#include <QString>

// What the tray icon shows for a status: which picture, and the tool tip.
class TrayIconRules
{
public:
    // The tip holds 64 characters with its terminating NUL.
    static constexpr int kToolTipLength = 63;

    // A status code, the icon key of a custom status ("OUT" for a custom code
    // that is not loaded), or "Qel" when that key is empty.
    static QString iconName(const QString &status);
    // Names of the form "ICO" + file name stand for a file in the icon folder.
    static bool isIconFile(const QString &iconName);
    // The file an "ICO" name stands for, or empty when its name could reach
    // outside the icon folder.
    static QString iconFilePath(const QString &iconName, const QString &iconHome, const QString &programFolder);
    // The icon folder, ending in "/": the system property icon_home, else the
    // "icons" folder beside the program. A Windows-style folder has its
    // backslashes turned round; one with a drive letter or a network share
    // name cannot be reached here and is ignored.
    static QString iconFolder(const QString &iconHome, const QString &programFolder);
    // "Qel - " and the status description, cut to what the tray takes.
    static QString toolTip(const QString &status);

private:
    static bool isSafeFileName(const QString &name);
};
