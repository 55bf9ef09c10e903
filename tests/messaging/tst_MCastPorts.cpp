#include "MADOFunctions.h"
#include "MCastPorts.h"
#include "PgServer.h"
#include "TestSupport.h"

#include <QtTest>

class tst_MCastPorts : public QObject
{
    Q_OBJECT
private slots:
    void fromTexts_data();
    void fromTexts();
    void readFromSqlite();
    void readFromPostgres();

private:
    static void checkReading();
};

void tst_MCastPorts::fromTexts_data()
{
    QTest::addColumn<QString>("sendText");
    QTest::addColumn<QString>("listenText");
    QTest::addColumn<int>("send");
    QTest::addColumn<int>("listen");
    QTest::newRow("both set") << "2001" << "2002" << 2001 << 2002;
    QTest::newRow("blanks around") << " 2001 " << "2002\t" << 2001 << 2002;
    QTest::newRow("highest") << "32767" << "1" << 32767 << 1;
    QTest::newRow("listen 70000") << "2001" << "70000" << 13905 << 13909;
    QTest::newRow("listen 32768") << "2001" << "32768" << 13905 << 13909;
    QTest::newRow("send empty") << "" << "2002" << 13905 << 13909;
    QTest::newRow("send not a number") << "port" << "2002" << 13905 << 13909;
    QTest::newRow("listen 0") << "2001" << "0" << 13905 << 13909;
    QTest::newRow("send negative") << "-2001" << "2002" << 13905 << 13909;
}

void tst_MCastPorts::fromTexts()
{
    QFETCH(QString, sendText);
    QFETCH(QString, listenText);
    QFETCH(int, send);
    QFETCH(int, listen);
    const MCastPorts ports = MCastPorts::fromTexts(sendText, listenText);
    QCOMPARE(int(ports.send), send);
    QCOMPARE(int(ports.listen), listen);
}

void tst_MCastPorts::checkReading()
{
    // No Properties table yet.
    MCastPorts ports = MCastPorts::read();
    QCOMPARE(int(ports.send), 13905);
    QCOMPARE(int(ports.listen), 13909);

    DbHandle db = OpenADOConnection();
    Update(QStringLiteral("CREATE TABLE Properties (pkey varchar(50), pvalue varchar(255))"), db);
    Update(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('version', '46')"), db);
    ports = MCastPorts::read(); // table there, rows not
    QCOMPARE(int(ports.send), 13905);

    Update(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('port_send', '14005')"), db);
    Update(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('port_lstn', '14009 ')"), db);
    ports = MCastPorts::read();
    QCOMPARE(int(ports.send), 14005);
    QCOMPARE(int(ports.listen), 14009);

    Update(QStringLiteral("UPDATE Properties SET pvalue = NULL WHERE pkey = 'port_lstn'"), db);
    ports = MCastPorts::read();
    QCOMPARE(int(ports.send), 13905);
    QCOMPARE(int(ports.listen), 13909);
}

void tst_MCastPorts::readFromSqlite()
{
    TestEnvironment env;
    env.useSqliteDatabase();
    checkReading();
}

void tst_MCastPorts::readFromPostgres()
{
    REQUIRE_PG();
    TestEnvironment env;
    env.usePostgresDatabase(PgServer::createDatabase(QStringLiteral("mcast_ports")));
    checkReading();
    PgServer::dropDatabase(QStringLiteral("mcast_ports"));
}

QTEST_GUILESS_MAIN(tst_MCastPorts)
#include "tst_MCastPorts.moc"
