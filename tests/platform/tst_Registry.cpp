#include "Registry.h"
#include "TestSupport.h"

#include <QtTest>

class tst_Registry : public QObject
{
    Q_OBJECT
private slots:
    void valuesKeepTheirTypes()
    {
        TestEnvironment env;
        const QString key = QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\Settings");
        QVERIFY(!Registry::keyExists(Registry::CurrentUser, key));
        QVERIFY(Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Top"), QStringLiteral("42")));
        QVERIFY(Registry::writeDword(Registry::CurrentUser, key, QStringLiteral("Width"), 9000));
        QVERIFY(Registry::keyExists(Registry::CurrentUser, key));

        QCOMPARE(Registry::readString(Registry::CurrentUser, key, QStringLiteral("Top")).value(), QStringLiteral("42"));
        QVERIFY(!Registry::readDword(Registry::CurrentUser, key, QStringLiteral("Top")).has_value());
        QCOMPARE(Registry::readDword(Registry::CurrentUser, key, QStringLiteral("Width")).value(), 9000u);
        QCOMPARE(Registry::queryValue(Registry::CurrentUser, key, QStringLiteral("Width")), QStringLiteral("9000"));
        QCOMPARE(Registry::queryValue(Registry::CurrentUser, key, QStringLiteral("Nothing")), QStringLiteral("REG_ERR"));
    }

    void textThatLooksLikeATypeTagSurvives()
    {
        TestEnvironment env;
        const QString key = QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\RecentNotes");
        const QString awkward = QStringLiteral("dword:1#sz:x = [y]; back\\slash 'quote' \"dq\" ünïcödé");
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Notes"), awkward);
        QCOMPARE(Registry::readString(Registry::CurrentUser, key, QStringLiteral("Notes")).value(), awkward);
        QCOMPARE(Registry::valueNames(Registry::CurrentUser, key), QStringList{QStringLiteral("Notes")});
    }

    void keysSurviveTheirLastValue()
    {
        TestEnvironment env;
        const QString key = QStringLiteral("Software\\ODBC\\ODBC.INI\\StaffDataDSN");
        QVERIFY(Registry::createKey(Registry::CurrentUser, key));
        QVERIFY(Registry::keyExists(Registry::CurrentUser, key));
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Server"), QStringLiteral("x"));
        QVERIFY(Registry::deleteValue(Registry::CurrentUser, key, QStringLiteral("Server")));
        QVERIFY(!Registry::deleteValue(Registry::CurrentUser, key, QStringLiteral("Server")));
        QVERIFY(Registry::keyExists(Registry::CurrentUser, key));
        QVERIFY(Registry::valueNames(Registry::CurrentUser, key).isEmpty());
        QVERIFY(Registry::deleteKey(Registry::CurrentUser, key));
        QVERIFY(!Registry::keyExists(Registry::CurrentUser, key));
    }

    void hivesAreSeparate()
    {
        TestEnvironment env;
        const QString key = QStringLiteral("Software\\Halvard Software\\Qel\\4.0");
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Who"), QStringLiteral("user"));
        QVERIFY(!Registry::readString(Registry::LocalMachine, key, QStringLiteral("Who")).has_value());
        QVERIFY(Registry::filePath(Registry::CurrentUser) != Registry::filePath(Registry::LocalMachine));
    }
};

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_Registry.moc"
