#include "CopyProcess.h"
#include "StaffRows.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "foundation/Globals.h"
#include "messaging/CMCastUpdate.h"
#include "platform/DateUtil.h"
#include "platform/DbConnection.h"
#include "platform/SettingsKeys.h"
#include "resources/CReservation.h"
#include "web/qelweb.h"

#include <QMap>
#include <QtTest>
#include <cstdio>

// Eight running copies change statuses and add users at once on one database,
// waiting on a lock as long as the program does. Every copy prints what it
// did; the database must hold all of it: a history row for every change, no
// change counter and no user id handed out twice, and each user's row as his
// last change left it.

namespace {

constexpr int kCopies = 8;
constexpr int kSharedUsers = 16; // every copy changes all of them, so rows are fought over
constexpr int kAddEvery = 25;    // one user added per this many changes
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
    for (int round = 0; round < rounds(); ++round) {
        changeStatus(engine, 1 + (copy * 5 + round) % kSharedUsers, kStatuses.at((copy + round) % kStatuses.size()),
                     QStringLiteral("copy %1 round %2").arg(copy).arg(round));
        if (round % kAddEvery == kAddEvery - 1) {
            UserRecord added;
            added.RealName = QStringLiteral("Added by %1 in %2").arg(copy).arg(round);
            added.LoginName = QStringLiteral("ADDED%1X%2").arg(copy).arg(round);
            CClientAdmin().AddUser(added);
            std::printf("A\t%d\n", added.UserID);
            const std::optional<CStatus> custom = CClientAdmin().AddCustomStatus(added.RealName, "O", "OUT");
            std::printf("C\t%s\n", custom ? qPrintable(custom->StatusCode) : "none");
        }
    }
    std::fflush(stdout);
    g_frmSysTray.reset();
    return 0;
}

constexpr int kBookingRounds = 50;
constexpr int kPageSlots = 30;

double slotStart(int slot)
{
    return DateUtil::toDays(QDate(2030, 1, 7), QTime(0, 0)) + slot / 24.0;
}

// Books the slot of each round, as the other copy does at the same moment.
int runBookingCopy(int copy)
{
    CopyProcess::setUp(DbConnection::DefaultSqliteBusyTimeoutMs);
    ScriptedPrompt cancel;
    cancel.defaultAnswer = IPrompt::AnswerCancel;
    for (int round = 0; round < kBookingRounds; ++round) {
        CReservation booking;
        booking.iResourceID = 1;
        booking.iUserID = 1;
        booking.sBookedOutTo = QStringLiteral("copy %1").arg(copy);
        booking.dReservedFrom = slotStart(round);
        booking.dReservedUntil = booking.dReservedFrom + 1 / 24.0;
        booking.save(false, cancel);
    }
    return 0;
}

// A page's process, through the shared library: each slot of resource 2,
// then of resource 1, asked for its conflicts and booked when it looked free,
// as the example page does.
int runPageCopy()
{
    for (const QByteArray resource : {"2", "1"})
        for (int slot = 0; slot < kPageSlots; ++slot) {
            const long long booking = qelweb_create("QelWeb.CReservation");
            const QByteArray dates = QByteArray::number(slotStart(slot), 'g', 17) + ", "
                + QByteArray::number(slotStart(slot + 1), 'g', 17);
            char *conflicts = qelweb_call(booking, "getConflicts", "[" + resource + ", " + dates + "]");
            if (qstrcmp(conflicts, "{\"result\":\"\"}") == 0)
                qelweb_free(qelweb_call(booking, "BookResource", "[" + resource + ", 1, \"page\", " + dates + ", \"\"]"));
            qelweb_free(conflicts);
            qelweb_release(booking);
        }
    return 0;
}

struct Change
{
    qint32 seq = 0, user = 0;
    QString status, note;
};

} // namespace

class tst_ConcurrentWriters : public QObject
{
    Q_OBJECT

private:
    QList<Change> m_changes;
    QList<qint32> m_added;
    QStringList m_customCodes;

    // Starts the copies, the first `booking` of them booking, the rest in the role named.
    void runCopies(int count, const QString &role, int booking = 0)
    {
        m_changes.clear();
        m_added.clear();
        m_customCodes.clear();
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int copy = 0; copy < count; ++copy)
            copies.push_back(startCopy({"--copy", copy < booking ? "book" : role, QString::number(copy)}));
        // One bound for them all, which leaves a hung copy a failure well
        // inside Qt Test's limit for a test function.
        const QDeadlineTimer deadline(stretched(40000));
        for (auto &p : copies) {
            QVERIFY(p->waitForFinished(int(std::max<qint64>(1, deadline.remainingTime()))));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
                const QList<QByteArray> f = line.split('\t');
                if (f.size() == 5 && f[0] == "S")
                    m_changes << Change{f[1].toInt(), f[2].toInt(), QString::fromUtf8(f[3]), QString::fromUtf8(f[4])};
                else if (f.size() == 2 && f[0] == "A")
                    m_added << f[1].toInt();
                else if (f.size() == 2 && f[0] == "C")
                    m_customCodes << QString::fromUtf8(f[1]);
            }
        }
    }

    // Sorted, the numbers are first, first + 1, ... without a gap or a repeat.
    static void expectRun(QList<qint32> numbers, int size, qint32 first)
    {
        std::sort(numbers.begin(), numbers.end());
        QCOMPARE(numbers.size(), size);
        for (int i = 0; i < numbers.size(); ++i)
            QCOMPARE(numbers.at(i), first + i);
    }

private slots:
    // Eight pages and two copies of the program at once: resource 1 both
    // want, resource 2 only the pages; each slot is booked once.
    void pagesBookOneSlot_data() { addEngineRows(); }
    void pagesBookOneSlot()
    {
        OPEN_TEST_DATABASE(db, "page_bookings");
        addStaff(1);
        db.exec("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (1, 'Van', 'V1', 1, 0), "
                "(2, 'Car', 'C1', 1, 0)");
        if (postgres) // the pages' own setting, in the machine's settings
            SettingsKeys::WebConnection.write(*SettingsKeys::DatabaseConnection.stored());
        runCopies(kCopies + 2, QStringLiteral("page"), 2);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(queryRows("SELECT ResourceID, COUNT(*), COUNT(DISTINCT ReservedFrom) FROM Reservation "
                           "GROUP BY ResourceID ORDER BY ResourceID"),
                 QStringList({"1|50|50", "2|30|30"}));
    }

    void eightCopies_data() { addEngineRows(); }
    void eightCopies()
    {
        OPEN_TEST_DATABASE(db, "concurrent_writers");
        addStaff(kSharedUsers);
        db.exec("UPDATE idmanager SET id = ? WHERE tablename = 'userid'", {kSharedUsers});
        runCopies(kCopies, QStringLiteral("status"));
        if (QTest::currentTestFailed())
            return;
        const int changes = kCopies * rounds();
        const int adds = kCopies * (rounds() / kAddEvery);
        QCOMPARE(m_changes.size(), changes);

        // Every counter handed out once: those of the changes (the update's
        // number + 1) and those the added users' rows took fill the range
        // after the largest value before.
        QList<qint32> counters;
        for (const Change &c : std::as_const(m_changes))
            counters << c.seq + 1;
        for (const QString &added : queryRows("SELECT LastUpdated FROM STAFF_STATUS WHERE UserID > ?", {kSharedUsers}))
            counters << added.toInt();
        expectRun(counters, changes + adds, kSharedUsers + 1);
        // Every id handed out once, in a row after the users there were.
        expectRun(m_added, adds, kSharedUsers + 1);
        QCOMPARE(db.value("SELECT id FROM idmanager WHERE tablename = 'userid'").toInt(), kSharedUsers + adds);
        QCOMPARE(db.value("SELECT COUNT(*) FROM STAFF_OPTIONS").toInt(), adds);
        // Custom statuses added at the same time each got a code of their own.
        QCOMPARE(QSet<QString>(m_customCodes.begin(), m_customCodes.end()).size(), adds);
        QVERIFY(!m_customCodes.contains("none"));
        QCOMPARE(db.value("SELECT COUNT(DISTINCT id) FROM Custom_Status").toInt(), adds);

        // Every change has its history row, and no row is there twice.
        QStringList written;
        QMap<qint32, Change> last;
        for (const Change &c : std::as_const(m_changes)) {
            written << QStringLiteral("%1|%2|%3").arg(c.user).arg(c.status, c.note);
            if (!last.contains(c.user) || last[c.user].seq < c.seq)
                last[c.user] = c;
        }
        QStringList history = queryRows("SELECT UserID, Status, Note FROM STATUS_HISTORY");
        written.sort();
        history.sort();
        QCOMPARE(history, written);
        // Each user's row is his change with the largest counter.
        QCOMPARE(last.size(), kSharedUsers);
        for (const Change &c : std::as_const(last))
            QCOMPARE(queryRows("SELECT IsIn, Note, LastUpdated FROM STAFF_STATUS WHERE UserID = ?", {c.user}),
                     QStringList{QStringLiteral("%1|%2|%3").arg(c.status, c.note).arg(c.seq + 1)});
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_ConcurrentWriters test;
    return CopyProcess::main(argc, argv, "--copy", [](const QStringList &arguments) {
        const QString role = arguments.value(0);
        const int copy = arguments.value(1).toInt();
        if (role == QLatin1String("book"))
            return runBookingCopy(copy);
        return role == QLatin1String("page") ? runPageCopy() : runCopy(copy);
    }, test);
}

#include "tst_ConcurrentWriters.moc"
