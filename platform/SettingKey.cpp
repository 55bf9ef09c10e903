#include "SettingKey.h"

#include "DateUtil.h"

#include <cmath>
#include <limits>

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

bool SettingKey::write(const QVariant &value, const QString &item) const
{
    const bool flag = value.typeId() == QMetaType::Bool;
    if (type == Number) {
        const double rounded = DateUtil::roundHalfEven(flag ? (value.toBool() ? -1 : 0) : value.toDouble());
        if (!std::isfinite(rounded) || rounded > std::numeric_limits<quint32>::max()
            || rounded < std::numeric_limits<qint32>::min())
            return false;
        return Registry::writeDword(hive, keyPath(item), valueName(item),
                                    rounded < 0 ? quint32(qint32(rounded)) : quint32(rounded));
    }
    const QString text = flag ? (value.toBool() ? QStringLiteral("True") : QStringLiteral("False")) : value.toString();
    return Registry::writeString(hive, keyPath(item), valueName(item), text);
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
