#include "PgServer.h"
#include "TestSupport.h"
#include "foundation/MADOFunctions.h"
#include "messaging/MCastPorts.h"

#include <QtTest>

class tst_MCastPorts : public QObject
{
    Q_OBJECT
private slots:
    void fromTexts_data()
    {
        QTest::addColumn<QString>("sendText");
        QTest::addColumn<QString>("listenText");
        QTest::addColumn<int>("send");
        QTest::addColumn<int>("listen");
        QTest::newRow("blanks around") << " 2001 " << "2002\t" << 2001 << 2002;
        QTest::newRow("highest") << "32767" << "1" << 32767 << 1;
        QTest::newRow("listen 70000") << "2001" << "70000" << 13905 << 13909;
        QTest::newRow("listen 32768") << "2001" << "32768" << 13905 << 13909;
        QTest::newRow("send empty") << "" << "2002" << 13905 << 13909;
        QTest::newRow("listen 0") << "2001" << "0" << 13905 << 13909;
        QTest::newRow("send negative") << "-2001" << "2002" << 13905 << 13909;
    }

    void fromTexts()
    {
        QFETCH(QString, sendText);
        QFETCH(QString, listenText);
        QFETCH(int, send);
        QFETCH(int, listen);
        const MCastPorts ports = MCastPorts::fromTexts(sendText, listenText);
        QCOMPARE(int(ports.send), send);
        QCOMPARE(int(ports.listen), listen);
    }

    void readFromSqlite()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        checkReading();
    }

    void readFromPostgres()
    {
        REQUIRE_PG();
        TestEnvironment env;
        env.usePostgresDatabase(PgServer::createDatabase(QStringLiteral("mcast_ports")));
        checkReading();
        PgServer::dropDatabase(QStringLiteral("mcast_ports"));
    }

private:
    static void checkReading()
    {
        const auto ports = [] {
            const MCastPorts read = MCastPorts::read();
            return QStringLiteral("%1 %2").arg(read.send).arg(read.listen);
        };
        QCOMPARE(ports(), QStringLiteral("13905 13909")); // no Properties table yet
        DbHandle db = OpenADOConnection();
        Update(QStringLiteral("CREATE TABLE Properties (pkey varchar(50), pvalue varchar(255))"), db);
        Update(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('version', '46')"), db);
        QCOMPARE(ports(), QStringLiteral("13905 13909")); // table there, rows not
        Update(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('port_send', '14005'), ('port_lstn', '14009 ')"), db);
        QCOMPARE(ports(), QStringLiteral("14005 14009"));
        Update(QStringLiteral("UPDATE Properties SET pvalue = NULL WHERE pkey = 'port_lstn'"), db);
        QCOMPARE(ports(), QStringLiteral("13905 13909"));
    }
};

QTEST_GUILESS_MAIN(tst_MCastPorts)
#include "tst_MCastPorts.moc"
