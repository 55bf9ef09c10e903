#include "ViewSettings.h"

#include "foundation/MCIFunctions.h"
#include "platform/Registry.h"

namespace {

const QString kSettings = AppRegistryKey() + QStringLiteral("\\Settings");

// A value of the user's settings as text; none when it is missing.
std::optional<QString> stored(const QString &name)
{
    const QString value = GetRegistryValue(name, kSettings);
    return value == Registry::missingText() ? std::nullopt : std::optional<QString>(value);
}

std::optional<bool> storedFlag(const QString &name)
{
    const auto text = stored(name);
    return text ? std::optional<bool>(TextIsTrue(*text)) : std::nullopt;
}

} // namespace

ViewSettings ViewSettings::read()
{
    ViewSettings settings;
    settings.search = storedFlag(searchName());
    settings.statusToolbar = storedFlag(statusToolbarName());
    settings.navToolbar = storedFlag(navToolbarName());
    settings.infoBar = storedFlag(infoBarName());
    if (const auto mode = stored(QStringLiteral("ListView"))) {
        bool ok = false;
        const int value = mode->toInt(&ok);
        if (ok && value >= 0 && value <= 3)
            settings.listView = value;
    }
    const auto name = stored(QStringLiteral("FontName"));
    if (!name || name->trimmed().isEmpty())
        return settings;
    QFont font;
    font.setFamily(name->trimmed());
    font.setBold(TextIsTrue(stored(QStringLiteral("FontBold")).value_or(QString())));
    font.setItalic(TextIsTrue(stored(QStringLiteral("FontItalic")).value_or(QString())));
    const int points = stored(QStringLiteral("FontSize")).value_or(QString()).toInt();
    if (points > 0)
        font.setPointSize(points);
    settings.font = font;
    return settings;
}

void ViewSettings::writeFlag(const QString &name, bool value)
{
    SetRegistryValue(name, RegString, value, kSettings);
}

void ViewSettings::writeFont(const QFont &font)
{
    SetRegistryValue(QStringLiteral("FontName"), RegString, font.family(), kSettings);
    SetRegistryValue(QStringLiteral("FontBold"), RegString, font.bold(), kSettings);
    SetRegistryValue(QStringLiteral("FontSize"), RegDword, font.pointSizeF(), kSettings);
    SetRegistryValue(QStringLiteral("FontItalic"), RegString, font.italic(), kSettings);
}
