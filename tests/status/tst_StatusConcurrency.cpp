#include "CopyProcess.h"
#include "StatusFakes.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/DbConnection.h"
#include "status/CClientHnd.h"

#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kWorkers = 6;
constexpr int kRounds = 25;

// One running copy changing its user's status again and again; prints the
// sequence number of every update it announced. It finds the database the
// parent registered through the inherited configuration folder.
int runWorker(qint32 userId)
{
    CopyProcess::setUp(5000);
    g_lUserID = userId;
    auto tray = std::make_unique<FakeTray>();
    FakeTray *sent = tray.get();
    g_frmSysTray = std::move(tray);
    CClientHnd engine;
    for (int round = 0; round < kRounds; ++round) {
        double outAt = 0;
        double dueBack = 0;
        engine.UpdateStatus(userId, round % 2 ? QStringLiteral("INN") : QStringLiteral("OUT"),
                            QStringLiteral("round %1").arg(round), outAt, dueBack, false, false);
    }
    for (const CMCastUpdate &update : std::as_const(sent->sent))
        std::printf("%d\n", update.Seq);
    g_frmSysTray.reset();
    return 0;
}

} // namespace

class tst_StatusConcurrency : public QObject
{
    Q_OBJECT

private:
    void competeOn(bool postgres)
    {
        StatusWorld w(postgres, QStringLiteral("status_concurrency"));
        DbHandle connection;
        for (qint32 id = 4; id <= kWorkers; ++id)
            Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, IsIn, LastUpdated, IsActive) VALUES (?, 'INN', 0, 1)"),
                   connection, {id});
        CloseADOConnection(connection);

        QList<QProcess *> workers;
        for (qint32 id = 1; id <= kWorkers; ++id) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--worker"), QString::number(id)});
            workers << p;
        }
        QList<qint32> seqs;
        for (QProcess *p : std::as_const(workers)) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
            for (const QByteArray &line : p->readAllStandardOutput().split('\n'))
                if (!line.trimmed().isEmpty())
                    seqs << line.toInt();
        }
        // Every change got its own counter: the largest before was 7, so the
        // sequence numbers are 7, 8, ... without a gap or a repeat.
        std::sort(seqs.begin(), seqs.end());
        QCOMPARE(seqs.size(), kWorkers * kRounds);
        for (int i = 0; i < seqs.size(); ++i)
            QCOMPARE(seqs[i], 7 + i);
        QCOMPARE(w.history().size(), kWorkers * kRounds);
        const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT MAX(LastUpdated) AS hi FROM STAFF_STATUS"));
        QCOMPARE(rs.integer(QStringLiteral("hi")), qint64(7 + kWorkers * kRounds));
    }

private slots:
    void severalCopiesOnSqlite() { competeOn(false); }
    void severalCopiesOnPostgres()
    {
        REQUIRE_PG();
        competeOn(true);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_StatusConcurrency test;
    return CopyProcess::main(argc, argv, "--worker", [](const QStringList &arguments) {
        return runWorker(arguments.value(0).toInt());
    }, test);
}

#include "tst_StatusConcurrency.moc"
