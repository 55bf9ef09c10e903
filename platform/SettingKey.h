#pragma once

#include "Registry.h"

#include <QString>
#include <QVariant>
#include <optional>

// One stored setting: the hive and key it lives under, its value name, how
// it is stored and what holds when nothing is. A family of settings shares
// one entry: the item (a column, a tree node, a data source) completes the
// value name or the key path.
struct SettingKey
{
    enum Type { Text, Number, Flag }; // Number: a DWORD; Flag: "True"/"False" text
    enum Family { Single, ValuePerItem, KeyPerItem };

    Registry::Hive hive;
    const char *path;
    const char *name;
    Type type;
    const char *fallback = nullptr; // nullptr: none
    Family family = Single;

    // The same setting in another hive, as data sources are looked up among
    // the machine's records as well as the user's.
    constexpr SettingKey in(Registry::Hive other) const
    {
        SettingKey copy = *this;
        copy.hive = other;
        return copy;
    }

    QString keyPath(const QString &item = QString()) const;
    QString valueName(const QString &item = QString()) const;
    // The fallback as text; empty when there is none.
    QString defaultValue() const;

    // The stored text, a DWORD as decimal; Registry::missingText() when absent.
    QString read(const QString &item = QString()) const;
    std::optional<QString> stored(const QString &item = QString()) const;
    QString readOrDefault(const QString &item = QString()) const;
    // The one writer of a setting, creating its key. A Number is stored as a
    // DWORD rounded half to even (true is -1); a number a DWORD cannot hold
    // is not written. Otherwise text, a Boolean as "True"/"False".
    bool write(const QVariant &value, const QString &item = QString()) const;
    bool remove(const QString &item = QString()) const;
    bool keyExists(const QString &item = QString()) const;
    bool createKey(const QString &item = QString()) const;
};
