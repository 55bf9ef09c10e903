#include "CopyProcess.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "foundation/Globals.h"
#include "messaging/CMCastUpdate.h"
#include "platform/DbConnection.h"
#include "status/CClientHnd.h"

#include <QMap>
#include <QProcess>
#include <QtTest>
#include <cstdio>

// Eight running copies change statuses and add users at once on one database.
// Every copy prints what it did; the database must hold all of it: a history
// row for every change, no change counter and no user id handed out twice,
// and each user's row as his last change left it.

namespace {

constexpr int kCopies = 8;
constexpr int kSharedUsers = 16;  // every copy changes all of them, so rows are fought over
constexpr int kAddEvery = 25;     // one user added per this many changes
const QStringList kStatuses = {QStringLiteral("OUT"), QStringLiteral("INN"), QStringLiteral("LNC"),
                               QStringLiteral("MTG"), QStringLiteral("BRK")};

int rounds()
{
    const int wanted = qEnvironmentVariableIntValue("TESSALY_STRESS_ROUNDS");
    return wanted > 0 ? wanted : 500;
}

// Prints every update the engine announces: "S<TAB>seq<TAB>user<TAB>status<TAB>note".
class PrintingTray : public StubTrayWindow
{
public:
    void sendUpdatePulse(const CMCastUpdate &update) override
    {
        std::printf("S\t%d\t%d\t%s\t%s\n", update.Seq, update.UserID, qPrintable(update.Status),
                    qPrintable(update.Note));
    }
};

int runCopy(int copy)
{
    CopyProcess::setUp(DbConnection::DefaultSqliteBusyTimeoutMs);
    g_lUserID = kSharedUsers + 1 + copy;
    g_frmSysTray = std::make_unique<PrintingTray>();
    CClientHnd engine;
    const int total = rounds();
    for (int round = 0; round < total; ++round) {
        const qint32 user = 1 + (copy * 5 + round) % kSharedUsers;
        double outAt = 0, dueBack = 0;
        engine.UpdateStatus(user, kStatuses.at((copy + round) % kStatuses.size()),
                            QStringLiteral("copy %1 round %2").arg(copy).arg(round), outAt, dueBack, false, false);
        if (round % kAddEvery == kAddEvery - 1) {
            UserRecord added;
            added.RealName = QStringLiteral("Added by %1 in %2").arg(copy).arg(round);
            added.LoginName = QStringLiteral("ADDED%1X%2").arg(copy).arg(round);
            CClientAdmin().AddUser(added);
            std::printf("A\t%d\n", added.UserID);
        }
    }
    std::fflush(stdout);
    g_frmSysTray.reset();
    return 0;
}

struct Change
{
    qint32 seq = 0;
    qint32 user = 0;
    QString status;
    QString note;
};

// Every row of a query, its fields joined by "|".
QStringList rows(const QString &sql, const QVariantList &params = {})
{
    DbHandle connection;
    QStringList result;
    for (RecordSet rs = OpenADORecordSet(connection, sql, true, params); !rs.eof(); rs.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs.columns().size(); ++i)
            fields << rs.value(i).toString();
        result << fields.join(u'|');
    }
    return result;
}

} // namespace

class tst_ConcurrentWriters : public QObject
{
    Q_OBJECT

private:
    QList<Change> m_changes;
    QList<qint32> m_added;

    void runCopies()
    {
        m_changes.clear();
        m_added.clear();
        QList<QProcess *> copies;
        for (int copy = 0; copy < kCopies; ++copy) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--copy"), QString::number(copy)});
            copies << p;
        }
        for (QProcess *p : std::as_const(copies)) {
            QVERIFY(p->waitForFinished(300000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
                const QList<QByteArray> f = line.split('\t');
                if (f.size() == 5 && f[0] == "S")
                    m_changes << Change{f[1].toInt(), f[2].toInt(), QString::fromUtf8(f[3]), QString::fromUtf8(f[4])};
                else if (f.size() == 2 && f[0] == "A")
                    m_added << f[1].toInt();
            }
            delete p;
        }
    }

    void compete(bool postgres)
    {
        TestDatabase db(postgres, QStringLiteral("concurrent_writers"));
        for (qint32 id = 1; id <= kSharedUsers; ++id)
            db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) "
                                   "VALUES (?, ?, 'INN', ?, 1)"),
                    {id, QStringLiteral("User %1").arg(id), id});
        db.exec("UPDATE idmanager SET id = ? WHERE tablename = 'userid'", {kSharedUsers});

        runCopies();
        const int changes = kCopies * rounds();
        const int adds = kCopies * (rounds() / kAddEvery);
        QCOMPARE(m_changes.size(), changes);
        QCOMPARE(m_added.size(), adds);

        // Every counter handed out once: those of the changes (the update's
        // number + 1) and those the added users' rows took fill the range
        // after the largest value before, without a gap or a repeat.
        QList<qint32> counters;
        for (const Change &c : std::as_const(m_changes))
            counters << c.seq + 1;
        for (const QString &added : rows("SELECT LastUpdated FROM STAFF_STATUS WHERE UserID > ?", {kSharedUsers}))
            counters << added.toInt();
        std::sort(counters.begin(), counters.end());
        QCOMPARE(counters.size(), changes + adds);
        for (int i = 0; i < counters.size(); ++i)
            QCOMPARE(counters.at(i), kSharedUsers + 1 + i);

        // Every id handed out once, in a row after the users there were.
        std::sort(m_added.begin(), m_added.end());
        for (int i = 0; i < m_added.size(); ++i)
            QCOMPARE(m_added.at(i), kSharedUsers + 1 + i);
        QCOMPARE(db.value("SELECT id FROM idmanager WHERE tablename = 'userid'").toInt(), kSharedUsers + adds);
        QCOMPARE(db.value("SELECT COUNT(*) FROM STAFF_OPTIONS").toInt(), adds);

        // Every change has its history row, and no row is there twice.
        QStringList written;
        for (const Change &c : std::as_const(m_changes))
            written << QStringLiteral("%1|%2|%3").arg(c.user).arg(c.status, c.note);
        QStringList history = rows("SELECT UserID, Status, Note FROM STATUS_HISTORY");
        written.sort();
        history.sort();
        QCOMPARE(history, written);

        // Each user's row is his change with the largest counter.
        QMap<qint32, Change> last;
        for (const Change &c : std::as_const(m_changes))
            if (!last.contains(c.user) || last[c.user].seq < c.seq)
                last[c.user] = c;
        QCOMPARE(last.size(), kSharedUsers);
        for (const Change &c : std::as_const(last))
            QCOMPARE(rows("SELECT IsIn, Note, LastUpdated FROM STAFF_STATUS WHERE UserID = ?", {c.user}),
                     QStringList{QStringLiteral("%1|%2|%3").arg(c.status, c.note).arg(c.seq + 1)});
    }

private slots:
    void eightCopiesOnSqlite() { compete(false); }
    void eightCopiesOnPostgres()
    {
        REQUIRE_PG();
        compete(true);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_ConcurrentWriters test;
    return CopyProcess::main(argc, argv, "--copy", [](const QStringList &arguments) {
        return runCopy(arguments.value(0).toInt());
    }, test);
}

#include "tst_ConcurrentWriters.moc"
