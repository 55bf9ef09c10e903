#include "TestSupport.h"
#include "platform/SettingsKeys.h"

#include <QtTest>

// The one writer of the settings keeps the formats files already in use hold.
class tst_SettingKey : public QObject
{
    Q_OBJECT
private slots:
    // Settings that may not be written are kept in memory, and answer as the
    // file would for the rest of the run.
    void writesInTheStoredFormats_data()
    {
        QTest::addColumn<bool>("kept");
        QTest::newRow("in the file") << false;
        QTest::newRow("kept, the folder a link") << true;
    }
    void writesInTheStoredFormats()
    {
        QFETCH(bool, kept);
        TestEnvironment env;
        const QString elsewhere = env.path(QStringLiteral("elsewhere"));
        if (kept) {
            const QString folder = QFileInfo(Registry::filePath(Registry::CurrentUser)).absolutePath();
            QVERIFY(QDir(folder).removeRecursively() && QDir().mkpath(elsewhere) && QFile::link(elsewhere, folder));
        }
        const struct { const SettingKey &key; QVariant value; const char *stored; } cases[] = {
            {SettingsKeys::WindowWidth, 1500.5, "1500"},          // a DWORD, rounded half to even
            {SettingsKeys::WindowWidth, 2501.5, "2502"},
            {SettingsKeys::FontSize, true, "4294967295"},          // true is -1
            {SettingsKeys::WindowLeft, -300, "4294966996"},
            {SettingsKeys::WindowTop, 5e9, "REG_ERR"},             // beyond a DWORD: not written
            {SettingsKeys::IconSize, QStringLiteral("32"), "32"},
            {SettingsKeys::TreeByStatus, false, "False"},          // a flag as text
            {SettingsKeys::HiddenColumn, true, "True"},
            {SettingsKeys::DefaultBranch, QStringLiteral(" NOD3 "), " NOD3 "},
        };
        for (const auto &c : cases) {
            const QString item = c.key.family == SettingKey::Single ? QString() : QStringLiteral("NOTE");
            c.key.remove(item);
            c.key.write(c.value, item);
            QCOMPARE(c.key.read(item), QLatin1String(c.stored));
        }
        // A DWORD reads back as one, not as text.
        QCOMPARE(Registry::readDword(SettingsKeys::WindowWidth.hive, SettingsKeys::WindowWidth.keyPath(),
                                     SettingsKeys::WindowWidth.valueName()),
                 std::optional<quint32>(2502));
        QCOMPARE(SettingsKeys::WindowTop.stored(), std::nullopt);
        QCOMPARE(SettingsKeys::IconSize.readOrDefault(), QStringLiteral("32"));

        // A key outlives its last value; deleted, it takes its values along.
        const SettingKey &driver = SettingsKeys::DsnDriver;
        const QString dsn = QStringLiteral("Kept");
        QVERIFY(driver.createKey(dsn) && driver.keyExists(dsn) && driver.write(QStringLiteral("QSQLITE"), dsn));
        QCOMPARE(Registry::valueNames(driver.hive, driver.keyPath()) + Registry::valueNames(driver.hive, driver.keyPath(dsn)),
                 QStringList{driver.valueName()}); // a key's own values, not its subkeys'
        QVERIFY(driver.remove(dsn) && !driver.remove(dsn) && driver.keyExists(dsn));
        driver.write(QStringLiteral("QPSQL"), dsn);
        QVERIFY(Registry::deleteKey(driver.hive, driver.keyPath(dsn)) && !driver.keyExists(dsn));
        QCOMPARE(driver.read(dsn), Registry::missingText());
        QCOMPARE(QDir(elsewhere).isEmpty(), true); // nothing written through the link
    }

    // The machine's settings, refused, are read from the file again, as those
    // who look after it write them: a web server's default never hides them.
    void refusedMachineSettingsAreReadAgain()
    {
        TestEnvironment env;
        const QString real = env.path(QStringLiteral("machine")), linked = env.path(QStringLiteral("linked"));
        const auto writeThrough = [&](const QString &folder, const char *value) {
            qputenv("XDG_CONFIG_DIRS", folder.toUtf8());
            return SettingsKeys::WebConnection.write(QLatin1String(value));
        };
        QVERIFY(writeThrough(real, "host=first"));
        QVERIFY(QDir().mkpath(linked) && QFile::link(real + QStringLiteral("/tessaly"), linked + QStringLiteral("/tessaly")));
        QVERIFY(!writeThrough(linked, "host=refused"));
        QCOMPARE(SettingsKeys::WebConnection.read(), QStringLiteral("host=first"));
        QVERIFY(writeThrough(real, "host=second"));
        qputenv("XDG_CONFIG_DIRS", linked.toUtf8());
        QCOMPARE(SettingsKeys::WebConnection.read(), QStringLiteral("host=second"));
    }
};

QTEST_GUILESS_MAIN(tst_SettingKey)
#include "tst_SettingKey.moc"
