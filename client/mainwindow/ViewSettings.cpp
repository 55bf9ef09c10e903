#include "ViewSettings.h"

#include "foundation/MCIFunctions.h"
#include "platform/SettingsKeys.h"

namespace {

std::optional<bool> storedFlag(const SettingKey &key)
{
    const auto text = key.stored();
    return text ? std::optional<bool>(TextIsTrue(*text)) : std::nullopt;
}

} // namespace

ViewSettings ViewSettings::read()
{
    ViewSettings settings;
    settings.search = storedFlag(SettingsKeys::Search);
    settings.statusToolbar = storedFlag(SettingsKeys::StatusToolbar);
    settings.navToolbar = storedFlag(SettingsKeys::NavToolbar);
    settings.infoBar = storedFlag(SettingsKeys::InfoBar);
    if (const auto mode = SettingsKeys::ListView.stored()) {
        bool ok = false;
        const int value = mode->toInt(&ok);
        if (ok && value >= 0 && value <= 3)
            settings.listView = value;
    }
    const auto name = SettingsKeys::FontName.stored();
    if (!name || name->trimmed().isEmpty())
        return settings;
    QFont font;
    font.setFamily(name->trimmed());
    font.setBold(TextIsTrue(SettingsKeys::FontBold.stored().value_or(QString())));
    font.setItalic(TextIsTrue(SettingsKeys::FontItalic.stored().value_or(QString())));
    const int points = SettingsKeys::FontSize.stored().value_or(QString()).toInt();
    if (points > 0)
        font.setPointSize(points);
    settings.font = font;
    return settings;
}

void ViewSettings::writeFlag(const SettingKey &key, bool value)
{
    key.write(value);
}

void ViewSettings::writeFont(const QFont &font)
{
    SettingsKeys::FontName.write(font.family());
    SettingsKeys::FontBold.write(font.bold());
    SettingsKeys::FontSize.write(font.pointSizeF());
    SettingsKeys::FontItalic.write(font.italic());
}
