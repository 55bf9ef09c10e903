#pragma once

#include <QFont>
#include <QString>
#include <optional>

// The View menu's choices as the user's settings keep them between runs:
// which bars show, the list style and the list font. A value that is
// missing or does not read stays empty and leaves the window as built.
class ViewSettings
{
public:
    std::optional<bool> search;
    std::optional<bool> statusToolbar;
    std::optional<bool> navToolbar;
    std::optional<bool> infoBar;
    std::optional<int> listView;
    std::optional<QFont> font;

    static ViewSettings read();

    // Names of the bar flags.
    static QString searchName() { return QStringLiteral("Search"); }
    static QString statusToolbarName() { return QStringLiteral("StatusToolbar"); }
    static QString navToolbarName() { return QStringLiteral("NavToolbar"); }
    static QString infoBarName() { return QStringLiteral("InfoBar"); }

    static void writeFlag(const QString &name, bool value);
    // Name, bold, size (whole points) and italic of the list font.
    static void writeFont(const QFont &font);
};
