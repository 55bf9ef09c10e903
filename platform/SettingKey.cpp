#include "SettingKey.h"

QString SettingKey::keyPath(const QString &item) const
{
    const QString base = QString::fromLatin1(path);
    return family == KeyPerItem ? base + u'\\' + item : base;
}

QString SettingKey::valueName(const QString &item) const
{
    const QString base = QString::fromLatin1(name);
    return family == ValuePerItem ? base + item : base;
}

QString SettingKey::defaultValue() const
{
    return fallback ? QString::fromLatin1(fallback) : QString();
}

QString SettingKey::read(const QString &item) const
{
    return Registry::queryValue(hive, keyPath(item), valueName(item));
}

std::optional<QString> SettingKey::stored(const QString &item) const
{
    const QString text = read(item);
    return text == Registry::missingText() ? std::nullopt : std::optional<QString>(text);
}

QString SettingKey::readOrDefault(const QString &item) const
{
    return stored(item).value_or(defaultValue());
}

bool SettingKey::writeText(const QString &value, const QString &item) const
{
    return Registry::writeString(hive, keyPath(item), valueName(item), value);
}

bool SettingKey::remove(const QString &item) const
{
    return Registry::deleteValue(hive, keyPath(item), valueName(item));
}

bool SettingKey::keyExists(const QString &item) const
{
    return Registry::keyExists(hive, keyPath(item));
}

bool SettingKey::createKey(const QString &item) const
{
    return Registry::createKey(hive, keyPath(item));
}
