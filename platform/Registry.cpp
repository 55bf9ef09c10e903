#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
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

std::optional<QString> storedValue(QSettings &settings, const QString &key, const QString &name)
{
    const QVariant v = settings.value(storedName(key, name));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
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

// The user's settings may come to hold a database password, so their folder
// is made his alone; the machine's are read by every user. Empty, and the
// user told, when the file or its folder is not what it seems.
QString writablePath(Registry::Hive hive)
{
    const QString path = Registry::filePath(hive);
    const QString folder = QFileInfo(path).absolutePath();
    if (hive == Registry::CurrentUser && !QFileInfo(folder).isSymLink() && !QFileInfo::exists(folder)) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QDir().mkdir(folder, kOwnerOnlyFolder);
    }
    for (const QFileInfo &entry : {QFileInfo(folder), QFileInfo(path)}) {
        if (!entry.exists() && !entry.isSymLink())
            continue;
        if (const QString why = unfitReason(entry, hive); !why.isEmpty()) {
            saveFailed(why);
            return {};
        }
    }
    return path;
}

// Writes the changes out. A user's file that holds a password is then
// readable by him alone, in a folder of his alone, however it got there.
bool save(QSettings &settings, Registry::Hive hive)
{
    settings.sync();
    ++g_changes;
    const QString path = settings.fileName();
    if (hive == Registry::CurrentUser && holdsPassword(path)) {
        QFile::setPermissions(path, kOwnerOnly);
        QFile::setPermissions(QFileInfo(path).absolutePath(), kOwnerOnlyFolder);
    }
    if (settings.status() == QSettings::NoError)
        return true;
    saveFailed(QStringLiteral("%1 could not be written").arg(path));
    return false;
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
    QSettings settings(filePath(hive), QSettings::IniFormat);
    settings.beginGroup(group(key));
    return !settings.childKeys().isEmpty() || !settings.childGroups().isEmpty();
}

bool Registry::createKey(Hive hive, const QString &key)
{
    const QString path = writablePath(hive);
    if (path.isEmpty())
        return false;
    QSettings settings(path, QSettings::IniFormat);
    const QString marker = group(key) + u'/' + kKeyMarker;
    if (!settings.contains(marker))
        settings.setValue(marker, QString());
    return save(settings, hive);
}

bool Registry::deleteKey(Hive hive, const QString &key)
{
    const QString path = writablePath(hive);
    if (path.isEmpty())
        return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.remove(group(key));
    return save(settings, hive);
}

std::optional<QString> Registry::readString(Hive hive, const QString &key, const QString &name)
{
    QSettings settings(filePath(hive), QSettings::IniFormat);
    const auto v = storedValue(settings, key, name);
    if (!v || !v->startsWith(kStringPrefix))
        return std::nullopt;
    return v->mid(kStringPrefix.size());
}

std::optional<quint32> Registry::readDword(Hive hive, const QString &key, const QString &name)
{
    QSettings settings(filePath(hive), QSettings::IniFormat);
    const auto v = storedValue(settings, key, name);
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
    const QString path = writablePath(hive);
    if (path.isEmpty())
        return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(storedName(key, name), kStringPrefix + value);
    return save(settings, hive);
}

bool Registry::writeDword(Hive hive, const QString &key, const QString &name, quint32 value)
{
    const QString path = writablePath(hive);
    if (path.isEmpty())
        return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(storedName(key, name),
                      kDwordPrefix + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')));
    return save(settings, hive);
}

bool Registry::deleteValue(Hive hive, const QString &key, const QString &name)
{
    const QString path = writablePath(hive);
    if (path.isEmpty())
        return false;
    QSettings settings(path, QSettings::IniFormat);
    const QString stored = storedName(key, name);
    if (!settings.contains(stored))
        return false;
    settings.remove(stored);
    // Keep the key itself even when its last value goes.
    settings.setValue(group(key) + u'/' + kKeyMarker, QString());
    return save(settings, hive);
}

QStringList Registry::valueNames(Hive hive, const QString &key)
{
    QSettings settings(filePath(hive), QSettings::IniFormat);
    settings.beginGroup(group(key));
    QStringList names;
    const QStringList keys = settings.childKeys();
    for (const QString &k : keys) {
        if (k == kKeyMarker)
            continue;
        names << (k == QLatin1String("@") ? QString() : k);
    }
    return names;
}
