#include "TestSupport.h"

#ifndef TESSALY_TESTS_WITHOUT_APP
#include "app/ClientApplication.h"
#include "dialogs/RichTextGuard.h"
#include "mainwindow/PageReaderProcess.h"
#include "platform/calendar/CheckProcess.h"
#endif
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/ConnectionPool.h"
#include "platform/DbConnection.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QNetworkInterface>
#include <QTest>
#include <algorithm>
#include <unistd.h>

int ScriptedPrompt::message(const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    asked.append({text, int(buttons), int(icon), title});
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

int ScriptedErrorWindow::showError(const QString &userMessage, const QString &details)
{
    shown.append({userMessage, details});
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

TestEnvironment::TestEnvironment()
    : m_savedPrompt(g_prompt), m_savedErrorWindow(g_errorWindow), m_savedShell(g_shell)
{
    for (const char *sub : {"config", "data", "state", "runtime", "logs"})
        QDir().mkpath(m_dir.path() + u'/' + QLatin1String(sub));
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", path(QStringLiteral("data")).toUtf8());
    qputenv("XDG_STATE_HOME", path(QStringLiteral("state")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", path(QStringLiteral("runtime")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", path(QStringLiteral("config-machine")).toUtf8());
    SetLogFolder(path(QStringLiteral("logs")));
#ifndef TESSALY_TESTS_WITHOUT_APP // the rule layers' tests and the fuzzer link only those layers
    g_application = &ClientApplication::instance();
    RichTextGuard::install();
    PageReaderProcess::setProgram(QStringLiteral(TESSALY_PAGEREADER)); // where the build puts it
    CheckProcess::setProgram(QStringLiteral(TESSALY_CALENDARCHECK));
#endif
    g_prompt = &prompt;
    g_errorWindow = &errorWindow;
    g_shell = &shell;
    g_lLanguageOffset = 0;
    g_vUserList.clear();
    g_colCustomStatus.clear();
    g_colTreeNodes.clear();
    g_endProgram = [](int code) { throw ProgramEnded(code); };
    g_busyWait = [](int) {};
    g_chooseDatabase = nullptr; // nobody to ask: the database is registered first
    DbConnection::setSqliteBusyTimeout(100);
    g_sConnectionString.clear();
    g_sDBType.clear();
    g_iDBRetryCount = 0;
}

TestEnvironment::~TestEnvironment()
{
    // The next test's database is another one; nothing of this one stays open.
    ConnectionPool::closeLocal();
    g_prompt = m_savedPrompt;
    g_errorWindow = m_savedErrorWindow;
    g_shell = m_savedShell;
    g_sConnectionString.clear();
    SetLogFolder(QString());
}

QString TestEnvironment::path(const QString &relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.path() + u'/' + relative;
}

QString TestEnvironment::useSqliteDatabase(const QString &fileName)
{
    const QString file = path(QStringLiteral("data/") + fileName);
    SettingsKeys::DatabaseType.write(QStringLiteral("MSAccess"));
    SettingsKeys::DatabaseServer.write(file);
    CreateDSN(QStringLiteral("MSAccess"), file);
    g_sConnectionString.clear();
    return file;
}

void TestEnvironment::usePostgresDatabase(const QString &conninfo)
{
    SettingsKeys::DatabaseType.write(QStringLiteral("SQLServer"));
    SettingsKeys::DatabaseServer.write(QStringLiteral("127.0.0.1"));
    SettingsKeys::DatabaseConnection.write(conninfo);
    g_sConnectionString.clear();
}

int exitCodeOf(const std::function<void()> &step)
{
    try {
        step();
        return -1;
    } catch (const ProgramEnded &e) {
        return e.exitCode;
    }
}

AppError raisedBy(const std::function<void()> &step)
{
    try {
        step();
    } catch (const AppError &e) {
        return e;
    }
    QTest::qFail("nothing was raised", __FILE__, __LINE__);
    return AppError(0, QString(), QString());
}

void storeSettingText(const SettingKey &key, const QString &text, const QString &item)
{
    Registry::writeString(key.hive, key.keyPath(item), key.valueName(item), text);
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool saveFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString writeScript(const QString &path, const QByteArray &commands)
{
    saveFile(path, "#!/bin/sh\n" + commands + '\n');
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

namespace {
const char16_t kLogBreaking[] = {0x00, 0x07, 0x08, 0x09, 0x0a, 0x0d, 0x1b, 0x7f, 0x80, 0x85, 0x9b, 0x9f, 0x2028, 0x2029,
                                 0x200e, 0x200f, 0x202a, 0x202e, 0x2066, 0x2069, 0x061c};
}

QString logBreakingText(bool withNul)
{
    QString text;
    for (const char16_t c : kLogBreaking)
        if (c != 0 || withNul)
            text += QChar(c);
    return text;
}

QString logBreakingCodes(bool withNul)
{
    QString codes;
    for (const char16_t c : kLogBreaking)
        if (c != 0 || withNul)
            codes += c < 0x100 ? QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'))
                               : QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
    return codes;
}

bool holdsLogBreaking(const QString &log)
{
    return std::any_of(std::begin(kLogBreaking), std::end(kLogBreaking),
                       [&](char16_t c) { return c != u'\n' && log.contains(QChar(c)); });
}

qint64 residentBytes()
{
    return readTextFile(QStringLiteral("/proc/self/statm")).section(u' ', 1, 1).toLongLong() * sysconf(_SC_PAGESIZE);
}

bool onlyLoopbackNetwork()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    return std::all_of(interfaces.begin(), interfaces.end(), [](const QNetworkInterface &nic) {
        return nic.flags().testFlag(QNetworkInterface::IsLoopBack);
    });
}
