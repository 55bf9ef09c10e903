#pragma once

#include "platform/SettingKey.h"

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

    static void writeFlag(const SettingKey &key, bool value);
    // Name, bold, size (whole points) and italic of the list font.
    static void writeFont(const QFont &font);
};
