#include "TestSupport.h"
#include "platform/Registry.h"

#include <QtTest>

class tst_Registry : public QObject
{
    Q_OBJECT
    static constexpr auto CU = Registry::CurrentUser;
private slots:
    void valuesKeysAndHives()
    {
        TestEnvironment env;
        const QString key = QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\Settings");
        QVERIFY(!Registry::keyExists(CU, key));
        QVERIFY(Registry::writeString(CU, key, QStringLiteral("Top"), QStringLiteral("42")));
        QVERIFY(Registry::writeDword(CU, key, QStringLiteral("Width"), 9000));
        QCOMPARE(Registry::readString(CU, key, QStringLiteral("Top")).value(), QStringLiteral("42"));
        QVERIFY(!Registry::readDword(CU, key, QStringLiteral("Top")).has_value());
        QCOMPARE(Registry::readDword(CU, key, QStringLiteral("Width")).value(), 9000u);
        QCOMPARE(Registry::queryValue(CU, key, QStringLiteral("Width")), QStringLiteral("9000"));
        QCOMPARE(Registry::queryValue(CU, key, QStringLiteral("Nothing")), QStringLiteral("REG_ERR"));
        QVERIFY(!Registry::readString(Registry::LocalMachine, key, QStringLiteral("Top")).has_value());

        // Text that looks like a type tag or holds escapes survives.
        const QString awkward = QStringLiteral("dword:1#sz:x = [y]; back\\slash 'quote' \"dq\" ünïcödé");
        const QString notes = QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\RecentNotes");
        Registry::writeString(CU, notes, QStringLiteral("Notes"), awkward);
        QCOMPARE(Registry::readString(CU, notes, QStringLiteral("Notes")).value(), awkward);
        QCOMPARE(Registry::valueNames(CU, notes), QStringList{QStringLiteral("Notes")});

        // A key outlives its last value until it is deleted.
        const QString dsn = QStringLiteral("Software\\ODBC\\ODBC.INI\\StaffDataDSN");
        QVERIFY(Registry::createKey(CU, dsn));
        Registry::writeString(CU, dsn, QStringLiteral("Server"), QStringLiteral("x"));
        QVERIFY(Registry::deleteValue(CU, dsn, QStringLiteral("Server")));
        QVERIFY(!Registry::deleteValue(CU, dsn, QStringLiteral("Server")));
        QVERIFY(Registry::keyExists(CU, dsn));
        QVERIFY(Registry::valueNames(CU, dsn).isEmpty());
        QVERIFY(Registry::deleteKey(CU, dsn));
        QVERIFY(!Registry::keyExists(CU, dsn));
    }
};

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_Registry.moc"
