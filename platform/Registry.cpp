#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QRegularExpression>
#include <QSettings>
#include <atomic>
#include <unistd.h>

namespace {

// Each stored value carries its type so a string that looks like a number
// stays a string: "sz:" for strings, "dword:" for 32-bit numbers.
const QString kStringPrefix = QStringLiteral("sz:");
const QString kDwordPrefix = QStringLiteral("dword:");
// An empty key is remembered by this marker, as INI files drop empty groups.
const QString kKeyMarker = QStringLiteral(".key");

std::atomic<quint64> g_changes{0};

QString group(const QString &key)
{
    QString g = key;
    g.replace(u'\\', u'/');
    while (g.endsWith(u'/'))
        g.chop(1);
    return g;
}

QString storedName(const QString &key, const QString &name)
{
    // The default value of a key has an empty name; "@" stands for it as in
    // exported registry files.
    return group(key) + u'/' + (name.isEmpty() ? QStringLiteral("@") : name);
}

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions kOwnerOnlyFolder = kOwnerOnly | QFile::ExeOwner;

// A connection string's password, or a value named so, whoever wrote it (the
// program, or the user by hand as the README shows); an empty one is none.
bool holdsPassword(const QString &path)
{
    static const QRegularExpression password(QStringLiteral("\\b(?:password|pwd)[ \\t]*=[ \\t]*'?[^\\s;'\"]"),
                                             QRegularExpression::CaseInsensitiveOption);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && password.match(QString::fromUtf8(file.readAll())).hasMatch();
}

Registry::SaveFailed g_tellSaveFailed;
std::atomic<bool> g_told{false};

// The first settings that could not be saved since the handler was set; the
// user hears of it once, not at every setting that follows.
void saveFailed(const QString &why)
{
    if (g_tellSaveFailed && !g_told.exchange(true))
        g_tellSaveFailed(why);
}

// Why a settings file or its folder is not to be written, or nothing. Written
// through a link, or in another user's place, a save as root would replace
// another user's file or close his folder; the user's own hive must be his.
QString unfitReason(const QFileInfo &entry, Registry::Hive hive)
{
    if (entry.isSymLink())
        return QStringLiteral("%1 is a link to %2").arg(entry.filePath(), entry.symLinkTarget());
    if (hive == Registry::CurrentUser && entry.ownerId() != ::geteuid())
        return QStringLiteral("%1 belongs to another user").arg(entry.filePath());
    return {};
}

// Why the file may not be written, or nothing. The user's settings may come
// to hold a database password, so their folder is made his alone; the
// machine's are read by every user.
QString refusal(Registry::Hive hive, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (hive == Registry::CurrentUser && !QFileInfo(folder).isSymLink() && !QFileInfo::exists(folder)) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QDir().mkdir(folder, kOwnerOnlyFolder);
    }
    for (const QFileInfo &entry : {QFileInfo(folder), QFileInfo(path)}) {
        if (!entry.exists() && !entry.isSymLink())
            continue;
        if (const QString why = unfitReason(entry, hive); !why.isEmpty())
            return why;
    }
    return {};
}

// One change to a hive: the names and groups that go, then the values set.
struct Change
{
    QStringList removed;
    QList<QPair<QString, QString>> set;
};

// The user's settings, by file, where the file may not be written: as the
// refused saves would have left it (stored name to stored text), read back
// until the program ends, as he is told, and never written out.
QMutex g_keptLock;
QHash<QString, QMap<QString, QString>> g_kept;

std::optional<QMap<QString, QString>> kept(const QString &path)
{
    QMutexLocker lock(&g_keptLock);
    const auto found = g_kept.constFind(path);
    if (found == g_kept.constEnd())
        return std::nullopt;
    return *found;
}

void apply(const Change &change, QMap<QString, QString> &values)
{
    for (const QString &name : change.removed) {
        const QString inside = name + u'/';
        values.remove(name);
        for (auto it = values.lowerBound(inside); it != values.end() && it.key().startsWith(inside);)
            it = values.erase(it);
    }
    for (const auto &[name, text] : change.set)
        values.insert(name, text);
}

// Writes the changes out. A user's file that holds a password is then
// readable by him alone, in a folder of his alone, however it got there.
// Empty when written, else why not.
QString save(const Change &change, Registry::Hive hive, const QString &path)
{
    if (const QString why = refusal(hive, path); !why.isEmpty())
        return why;
    QSettings settings(path, QSettings::IniFormat);
    for (const QString &name : change.removed)
        settings.remove(name);
    for (const auto &[name, text] : change.set)
        settings.setValue(name, text);
    settings.sync();
    if (hive == Registry::CurrentUser && holdsPassword(path)) {
        QFile::setPermissions(path, kOwnerOnly);
        QFile::setPermissions(QFileInfo(path).absolutePath(), kOwnerOnlyFolder);
    }
    if (settings.status() != QSettings::NoError)
        return QStringLiteral("%1 could not be written").arg(path);
    return {};
}

// The settings as the file holds them, to be kept from now on.
QMap<QString, QString> snapshot(const QString &path)
{
    QSettings settings(path, QSettings::IniFormat);
    QMap<QString, QString> values;
    const QStringList names = settings.allKeys();
    for (const QString &name : names)
        values.insert(name, settings.value(name).toString());
    return values;
}

// Saves a change; false when it is not saved. The user's own settings are
// then kept in memory from the file on; the machine's, which others look
// after, are read from the file again.
bool commit(Registry::Hive hive, const Change &change)
{
    const QString path = Registry::filePath(hive);
    QString why;
    {
        QMutexLocker lock(&g_keptLock);
        auto found = g_kept.find(path);
        if (found == g_kept.end()) {
            why = save(change, hive, path);
            if (!why.isEmpty() && hive == Registry::CurrentUser)
                found = g_kept.insert(path, snapshot(path));
        }
        if (found != g_kept.end())
            apply(change, *found);
        ++g_changes;
    }
    // Told outside the lock: the one told may read the settings.
    if (!why.isEmpty())
        saveFailed(why);
    return why.isEmpty() || hive == Registry::CurrentUser;
}

std::optional<QString> storedValue(Registry::Hive hive, const QString &key, const QString &name)
{
    const QString path = Registry::filePath(hive);
    if (const auto values = kept(path)) {
        const auto found = values->constFind(storedName(key, name));
        return found == values->constEnd() ? std::nullopt : std::optional<QString>(*found);
    }
    QSettings settings(path, QSettings::IniFormat);
    const QVariant v = settings.value(storedName(key, name));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

// The names stored right under a key, its marker among them.
QStringList childNames(Registry::Hive hive, const QString &key, bool *hasGroups = nullptr)
{
    const QString path = Registry::filePath(hive);
    const auto values = kept(path);
    if (!values) {
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup(group(key));
        if (hasGroups)
            *hasGroups = !settings.childGroups().isEmpty();
        return settings.childKeys();
    }
    const QString inside = group(key) + u'/';
    QStringList names;
    for (auto it = values->lowerBound(inside); it != values->end() && it.key().startsWith(inside); ++it) {
        const QString rest = it.key().mid(inside.size());
        if (!rest.contains(u'/'))
            names << rest;
        else if (hasGroups)
            *hasGroups = true;
    }
    return names;
}

} // namespace

QString Registry::filePath(Hive hive)
{
    if (hive == CurrentUser) {
        QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (base.isEmpty())
            base = QDir::homePath() + QStringLiteral("/.config");
        return base + QStringLiteral("/tessaly/registry-user.ini");
    }
    const QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    const QStringList list = dirs.split(u':', Qt::SkipEmptyParts);
    for (const QString &dir : list) {
        const QString candidate = dir + QStringLiteral("/tessaly/registry-machine.ini");
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return (list.isEmpty() ? QStringLiteral("/etc/xdg") : list.first())
        + QStringLiteral("/tessaly/registry-machine.ini");
}

void Registry::onSaveFailed(SaveFailed tell)
{
    g_tellSaveFailed = std::move(tell);
    g_told = false;
}

quint64 Registry::changeCount()
{
    return g_changes;
}

bool Registry::keyExists(Hive hive, const QString &key)
{
    bool hasGroups = false;
    return !childNames(hive, key, &hasGroups).isEmpty() || hasGroups;
}

bool Registry::createKey(Hive hive, const QString &key)
{
    return storedValue(hive, key, kKeyMarker) || commit(hive, {{}, {{storedName(key, kKeyMarker), QString()}}});
}

bool Registry::deleteKey(Hive hive, const QString &key)
{
    return commit(hive, {{group(key)}, {}});
}

std::optional<QString> Registry::readString(Hive hive, const QString &key, const QString &name)
{
    const auto v = storedValue(hive, key, name);
    if (!v || !v->startsWith(kStringPrefix))
        return std::nullopt;
    return v->mid(kStringPrefix.size());
}

std::optional<quint32> Registry::readDword(Hive hive, const QString &key, const QString &name)
{
    const auto v = storedValue(hive, key, name);
    if (!v || !v->startsWith(kDwordPrefix))
        return std::nullopt;
    bool ok = false;
    const quint32 value = v->mid(kDwordPrefix.size()).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return value;
}

QString Registry::queryValue(Hive hive, const QString &key, const QString &name)
{
    if (const auto s = readString(hive, key, name))
        return *s;
    if (const auto d = readDword(hive, key, name))
        return QString::number(*d);
    return missingText();
}

bool Registry::writeString(Hive hive, const QString &key, const QString &name, const QString &value)
{
    return commit(hive, {{}, {{storedName(key, name), kStringPrefix + value}}});
}

bool Registry::writeDword(Hive hive, const QString &key, const QString &name, quint32 value)
{
    const QString text = kDwordPrefix + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
    return commit(hive, {{}, {{storedName(key, name), text}}});
}

bool Registry::deleteValue(Hive hive, const QString &key, const QString &name)
{
    if (!storedValue(hive, key, name))
        return false;
    // Keep the key itself even when its last value goes.
    return commit(hive, {{storedName(key, name)}, {{storedName(key, kKeyMarker), QString()}}});
}

QStringList Registry::valueNames(Hive hive, const QString &key)
{
    QStringList names;
    const QStringList keys = childNames(hive, key);
    for (const QString &k : keys) {
        if (k == kKeyMarker)
            continue;
        names << (k == QLatin1String("@") ? QString() : k);
    }
    return names;
}
