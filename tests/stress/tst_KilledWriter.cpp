#include "CopyProcess.h"
#include "StaffRows.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "foundation/Globals.h"

#include <QtTest>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

// A copy killed (SIGKILL) in the middle of a status change: the next start
// opens the database without repair, and finds the whole change or none of it.

namespace {

constexpr qint32 kUser = 1;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Called by the trigger inside the change: tells the parent, then waits for the end.
void pauseHere(sqlite3_context *, int, sqlite3_value **)
{
    say(QStringLiteral("PAUSED"));
    for (;;)
        pause();
}

// Starts one status change and stops inside it, before the commit: after the
// status row ("status") or after the history row ("history").
int writeAndStop(const QString &point)
{
    DbHandle connection = OpenADOConnection();
    if (connection->isSQLite()) {
        const QVariant handle = connection->nativeHandle();
        sqlite3_create_function_v2(*static_cast<sqlite3 *const *>(handle.constData()), "pause_here", 0, SQLITE_UTF8,
                                   nullptr, pauseHere, nullptr, nullptr, nullptr);
        connection->execute(QStringLiteral("CREATE TEMP TRIGGER stop AFTER %1 BEGIN SELECT pause_here(); END")
                                .arg(point == QLatin1String("status") ? "UPDATE ON main.STAFF_STATUS"
                                                                      : "INSERT ON main.STATUS_HISTORY"));
    } else {
        // The server sleeps inside the change, looking for the vanished client every 100 ms.
        connection->execute(QStringLiteral("SET tessaly.pause = 'on'"));
        connection->execute(QStringLiteral("SET client_connection_check_interval = 100"));
        say(QStringLiteral("PAUSED"));
    }
    double outAt = 0, dueBack = 0;
    CClientHnd().UpdateStatus(kUser, QStringLiteral("OUT"), QStringLiteral("never stored"), outAt, dueBack, false,
                              false, connection);
    return 1; // the change was to be stopped
}

QString row()
{
    return queryRows(QStringLiteral("SELECT IsIn, Note, LastUpdated FROM STAFF_STATUS WHERE UserID = ?"), {kUser}).value(0);
}

} // namespace

class tst_KilledWriter : public QObject
{
    Q_OBJECT

private:
    static int sleepingWriters(TestDatabase &db)
    {
        return db.value("SELECT COUNT(*) FROM pg_stat_activity WHERE wait_event = 'PgSleep' AND datname = current_database()")
            .toInt();
    }

private slots:
    void killedInsideTheChange_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("point");
        QTest::newRow("sqlite, after the status row") << false << QStringLiteral("status");
        QTest::newRow("sqlite, after the history row") << false << QStringLiteral("history");
        QTest::newRow("postgres, after the history row") << true << QStringLiteral("history");
    }
    void killedInsideTheChange()
    {
        QFETCH(QString, point);
        OPEN_TEST_DATABASE(db, "killed_writer");
        addStaff(3, 2);
        if (postgres) {
            db.exec("CREATE FUNCTION stop() RETURNS trigger AS $$ BEGIN IF current_setting('tessaly.pause', true) = 'on' "
                    "THEN PERFORM pg_sleep(60); END IF; RETURN NEW; END $$ LANGUAGE plpgsql");
            db.exec("CREATE TRIGGER stop AFTER INSERT ON STATUS_HISTORY FOR EACH ROW EXECUTE FUNCTION stop()");
        }
        const QString before = row();
        auto copy = startCopy({QStringLiteral("--copy"), point});
        QVERIFY(copy->waitForReadyRead(stretched(30000)));
        QCOMPARE(copy->readLine().trimmed(), QByteArray("PAUSED"));
        if (postgres) // killed only once the server sleeps inside the change
            QTRY_VERIFY_WITH_TIMEOUT(sleepingWriters(db) == 1, stretched(20000));
        copy->kill(); // SIGKILL
        QVERIFY(copy->waitForFinished(stretched(10000)));
        QCOMPARE(copy->exitStatus(), QProcess::CrashExit);
        if (postgres) {
            // The server notices the client is gone and rolls the change back.
            QTRY_VERIFY_WITH_TIMEOUT(sleepingWriters(db) == 0, stretched(20000));
            db.exec("DROP TRIGGER stop ON STATUS_HISTORY");
        }
        // The next start's schema check asks nothing; SQLite's own check of every page passes.
        CUpdateDatabase::checkAtStartUp();
        QVERIFY(db.env.prompt.asked.isEmpty());
        if (!postgres)
            QCOMPARE(db.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        // Nothing of the change, and the next one goes through with the next counter.
        QCOMPARE(row(), before);
        QCOMPARE(db.value("SELECT COUNT(*) FROM STATUS_HISTORY").toInt(), 0);
        g_frmSysTray.reset();
        CClientHnd engine;
        changeStatus(engine, kUser, QStringLiteral("LNC"), QStringLiteral("after"));
        QCOMPARE(row(), QStringLiteral("LNC|after|6"));
        QCOMPARE(db.value("SELECT COUNT(*) FROM STATUS_HISTORY").toInt(), 1);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_KilledWriter test;
    return CopyProcess::main(argc, argv, "--copy", [](const QStringList &arguments) {
        CopyProcess::setUp(5000);
        g_lUserID = kUser;
        g_frmSysTray = std::make_unique<StubTrayWindow>();
        return writeAndStop(arguments.value(0));
    }, test);
}

#include "tst_KilledWriter.moc"
