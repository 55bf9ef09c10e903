#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Keys and typed values in the manner of the Windows registry, kept in INI
// files: the user's hive under $XDG_CONFIG_HOME/tessaly, the machine's under
// the system configuration folders. Key paths keep their backslashes
// ("Software\\Halvard Software\\Qel\\4.0\\App\\Settings").
class Registry
{
public:
    enum Hive { CurrentUser, LocalMachine };

    // The text that reads of a missing value give where callers ask for it.
    static QString missingText() { return QStringLiteral("REG_ERR"); }

    static bool keyExists(Hive hive, const QString &key);
    static bool createKey(Hive hive, const QString &key);
    static bool deleteKey(Hive hive, const QString &key);

    static std::optional<QString> readString(Hive hive, const QString &key, const QString &name);
    static std::optional<quint32> readDword(Hive hive, const QString &key, const QString &name);
    // A string value, or a DWORD as decimal text; missingText() when absent.
    static QString queryValue(Hive hive, const QString &key, const QString &name);

    static bool writeString(Hive hive, const QString &key, const QString &name, const QString &value);
    static bool writeDword(Hive hive, const QString &key, const QString &name, quint32 value);
    static bool deleteValue(Hive hive, const QString &key, const QString &name);
    static QStringList valueNames(Hive hive, const QString &key);

    static QString filePath(Hive hive);
    // A save is refused when the file or its folder is a link, or, for the
    // user's own, another user's; it fails when the file cannot be written.
    // From then on the user's own settings are kept in memory: his changes
    // hold until the program ends, and the file is not written again. The
    // machine's are read from the file again, as those who look after it
    // write them. tell hears why, once: at the first such save after it is
    // set.
    using SaveFailed = std::function<void(const QString &why)>;
    static void onSaveFailed(SaveFailed tell);
    // Grows with every change this process makes, so a reader can tell that
    // what it read before still holds.
    static quint64 changeCount();
};
