#include "TestSupport.h"
#include "platform/SettingsKeys.h"

#include <QtTest>

// The one writer of the settings keeps the formats files already in use hold.
class tst_SettingKey : public QObject
{
    Q_OBJECT
private slots:
    void writesInTheStoredFormats()
    {
        TestEnvironment env;
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
    }
};

QTEST_GUILESS_MAIN(tst_SettingKey)
#include "tst_SettingKey.moc"
