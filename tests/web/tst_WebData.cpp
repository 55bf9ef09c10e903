#include "WebWorld.h"
#include "StatusFakes.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/QuickNoteTable.h"
#include "foundation/StringTable.h"
#include "platform/AppError.h"
#include "platform/ConnectionPool.h"
#include "platform/StatusCode.h"
#include "status/UserListReader.h"
#include "web/CAuthentication.h"
#include "web/CGroupList.h"
#include "web/CReservationList.h"
#include "web/CResourceList.h"
#include "web/CStatusChange.h"
#include "web/CStatusList.h"
#include "web/CUserList.h"
#include "web/ErrorHandling.h"
#include "web/SqlRunner.h"
#include "web/WebErrors.h"
#include "web/WebValues.h"

#include <QtTest>
#include <thread>

using namespace QelWeb;

namespace {

// The tree as "name@depth" lines, children in their order.
QStringList flatten(const QelWeb::CTreeNode &node, int depth = 0)
{
    QStringList lines = {QStringLiteral("%1@%2").arg(node.Name).arg(depth)};
    for (int i = 0; i < node.Children.size(); ++i)
        lines += flatten(node.Children.at(i), depth + 1);
    return lines;
}

template <typename T>
QStringList keysOf(const KeyedCollection<T> &items)
{
    QStringList keys;
    for (int i = 0; i < items.size(); ++i)
        keys << items.keyAt(i);
    return keys;
}

} // namespace

class tst_WebData : public QObject
{
    Q_OBJECT

private slots:
    void usersAndLogIn_data() { addEngineRows(); }
    void usersAndLogIn()
    {
        OPEN_WEB_WORLD(w, "web_users");
        const qint32 bob = w.addUser(QStringLiteral("bob"), QStringLiteral("bob"));
        const qint32 alice = w.addUser(QStringLiteral("alice"), QStringLiteral("alice"));
        const qint32 upper = w.addUser(QStringLiteral("Alice"), QStringLiteral("alice2"));
        const qint32 gone = w.addUser(QStringLiteral("Gone"), QStringLiteral("gone"));
        w.db.exec(QStringLiteral("UPDATE STAFF_STATUS SET IsActive = 0 WHERE UserID = ?"), {gone});
        w.db.exec(QStringLiteral("UPDATE STAFF_STATUS SET ETA = NULL, Note = ? WHERE UserID = ?"),
                  {QStringLiteral("at the dentist") + QChar(8) + QStringLiteral("s"), bob});
        w.db.exec(QStringLiteral("UPDATE STAFF_STATUS SET ETA = 0 WHERE UserID = ?"), {alice});

        // By name ignoring case, then by id, whatever the engine's collation.
        const QList<QelWeb::CUser> users = CUserList().LoadUserList(3);
        QCOMPARE(users.size(), 3);
        QCOMPARE(QList<qint32>({users[0].ID, users[1].ID, users[2].ID}), QList<qint32>({alice, upper, bob}));
        QCOMPARE(users[2].Note, QStringLiteral("at the dentist's"));
        QCOMPARE(users[2].DueBack, 0.0);
        QCOMPARE(users[0].DueBack, 0.0);
        QVERIFY(CUserList().LoadUserList(5).isEmpty());

        const auto found = CAuthentication().checkuser(QStringLiteral("  alice2 "));
        QCOMPARE(keysOf(found), QStringList({"auth", "RealName", "UserId", "Status"}));
        QCOMPARE(found.find("UserId")->toInt(), upper);
        QCOMPARE(found.find("RealName")->toString(), QStringLiteral("Alice"));
        for (const QString &login : {QStringLiteral(" gone "), QStringLiteral("x' OR '1'='1")}) {
            const auto missing = CAuthentication().checkuser(login);
            QCOMPARE(missing.find("auth")->toBool(), false);
            QCOMPARE(missing.find("uname")->toString(), login);
            QCOMPARE(missing.find("reason")->toString(), "User '" + login + "' not found in database");
        }
    }

    void groupTreeAndCustomStatuses_data() { addEngineRows(); }
    void groupTreeAndCustomStatuses()
    {
        OPEN_WEB_WORLD(w, "web_tree");
        const QelWeb::CTreeNode root = CGroupList().LoadGroupList();
        QCOMPARE(flatten(root), QStringList({"Viduruviva Tessaly@0", "Organisation@1", "Attendance@2",
                                             "Staff Members@3", "Reservations@2", "Equipment@3", "Meeting Rooms@3",
                                             "Vehicles@3"}));
        QCOMPARE(root.Children.at(0).Children.at(1).Icon, QStringLiteral("copier"));
        QCOMPARE(root.Key(), root.ParentKey());

        // Node 8 hangs under 9 and holds 10, which the ParentID order reads
        // first; 50's parent is missing; 60 and 61 are each other's parents.
        const auto node = [&](qint32 id, qint32 parent) {
            w.db.exec(QStringLiteral("INSERT INTO TreeNode (ID, Name, NodeType, ParentID) VALUES (?, ?, 'GRP', ?)"),
                      {id, QStringLiteral("N%1").arg(id), parent});
        };
        node(8, 9), node(9, 1), node(10, 8), node(50, 99), node(60, 61), node(61, 60);
        const QStringList lines = flatten(CGroupList().LoadGroupList());
        QCOMPARE(lines.mid(1, 5), QStringList({"Organisation@1", "Attendance@2", "Staff Members@3", "Reservations@2",
                                               "Equipment@3"}));
        QCOMPARE(lines.mid(8), QStringList({"N9@2", "N8@3", "N10@4"}));
        const QString log = readTextFile(QelWeb::WebLogPath());
        for (const char *id : {"50", "60", "61"})
            QVERIFY(log.contains(QStringLiteral("Tree node %1 ").arg(QLatin1String(id))));

        // Custom statuses, active ones only.
        QVERIFY(CStatusList().LoadCustomStatus().isEmpty());
        const auto add = [&](const char *code, const char *type, const char *icon, int active) {
            w.db.exec(QStringLiteral("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                                     "VALUES (?, 'Status', ?, ?, ?)"),
                      {QLatin1String(code), QLatin1String(type), QLatin1String(icon), active});
        };
        add("XSI", "I", "ICOsite", 1), add("XAW", "O", "MTG", 1), add("XOF", "M", "ICOoff", 0), add("VC", "O", "", 1);
        const auto statuses = CStatusList().LoadCustomStatus();
        QCOMPARE(keysOf(statuses), QStringList({"VC", "XAW", "XSI"})); // as stored, not padded
        QCOMPARE(statuses.at(0).StatusCode, QStringLiteral("VC"));
        QCOMPARE(statuses.at(1).Icon + u'|' + statuses.at(2).Icon, QStringLiteral("mtg|site"));
    }

    void resourcesAndBookings_data() { addEngineRows(); }
    void resourcesAndBookings()
    {
        OPEN_WEB_WORLD(w, "web_bookings");
        w.addUser(QStringLiteral("Booker"), QStringLiteral("booker"));
        w.addResource(1, QStringLiteral("Room B"));
        w.addResource(2, QStringLiteral("Room A"));
        w.addResource(3, QStringLiteral("Room C"));
        w.addBooking(11, 1, QTime(14, 0), QTime(15, 0), QStringLiteral("Later"));
        w.addBooking(12, 1, QTime(10, 0), QTime(11, 0), QStringLiteral("Inside"));
        w.addBooking(13, 1, QTime(9, 0), QTime(17, 0), QStringLiteral("Equal"));
        w.addBooking(14, 1, QTime(17, 0), QTime(18, 0), QStringLiteral("Touching"));
        w.addBooking(15, 1, QTime(8, 0), QTime(9, 0), QStringLiteral("Touching before"));
        w.addBooking(16, 3, QTime(9, 0), QTime(10, 0), QStringLiteral("Yesterday"), -1);

        // Without a current booking first, on both engines; then by the start
        // of the current one, the earliest not ended (13, at 09:00).
        Clock::pin(QDateTime(Clock::now().date(), QTime(9, 30)));
        const auto resources = CResourceList().LoadResourceList(QStringLiteral(" 6 "));
        QCOMPARE(keysOf(resources), QStringList({"RES2", "RES3", "RES1"}));
        QCOMPARE(resources.at(1).oCurrentReservation.BookedOutTo, QString());
        QCOMPARE(resources.at(2).oCurrentReservation.BookedOutTo, QStringLiteral("Equal"));
        QVERIFY(CResourceList().LoadResourceList(QStringLiteral("5")).isEmpty());
        QCOMPARE(raisedBy([] { CResourceList().LoadResourceList(QStringLiteral("1 OR 1=1")); }).number(),
                 WebErr::TypeMismatch);
        QCOMPARE(keysOf(CReservationList().LoadReservationList(QStringLiteral("1"))),
                 QStringList({"RSV15", "RSV13", "RSV12", "RSV11", "RSV14"}));
        QCOMPARE(CReservationList().LoadReservationList(QStringLiteral("3")).size(), 0);

        // Inside and equal are conflicts, touching ones are not; texts escaped.
        const QStringList conflicts = CReservation()
                                          .getConflicts(1, WebWorld::today(QTime(9, 0)), WebWorld::today(QTime(17, 0)))
                                          .split(QStringLiteral("<br>"), Qt::SkipEmptyParts);
        QCOMPARE(conflicts.size(), 3);
        QVERIFY(conflicts[0].startsWith(QStringLiteral("Equal - &lt;script&gt;x&lt;/script&gt;  ( ")));
        QVERIFY(conflicts[1].startsWith(QStringLiteral("Inside")) && conflicts[2].startsWith(QStringLiteral("Later")));

        // The first booking on a counter that is null gets id 2; it reads
        // back whole, apostrophes included, and goes again.
        w.db.exec(QStringLiteral("UPDATE idmanager SET id = NULL WHERE tablename = 'resrvn'"));
        w.db.exec(QStringLiteral("DELETE FROM Reservation"));
        CReservation booking;
        booking.BookResource(2, 1, QStringLiteral("O'Brien"), WebWorld::today(QTime(10, 0)),
                             WebWorld::today(QTime(12, 0)), QStringLiteral("x'); DROP TABLE Reservation; --"));
        QCOMPARE(booking.ID, 2);
        CReservation read;
        read.Read(2);
        QCOMPARE(read.BookedOutTo + u'|' + read.Note + u'|' + read.UserName,
                 QStringLiteral("O'Brien|x'); DROP TABLE Reservation; --|Booker"));
        QCOMPARE(read.ReservedUntil, WebWorld::today(QTime(12, 0)));
        QStringList states;
        for (const QTime at : {QTime(9, 59), QTime(10, 0), QTime(10, 1), QTime(11, 59, 59), QTime(12, 0)}) {
            Clock::pin(QDateTime(Clock::now().date(), at));
            states << read.Status();
        }
        QCOMPARE(states, QStringList({"Booked", "Booked Out", "Booked Out", "Booked Out", "Returned"}));
        read.Delete();
        QCOMPARE(read.ID, -1);
        QCOMPARE(w.db.value(QStringLiteral("SELECT COUNT(*) FROM Reservation")).toInt(), 0);
    }

    // Every built-in status is a valid code with a caption, a quick note and
    // a place of its own; pages take exactly these codes (a new one in the
    // program must not be refused from a page).
    void builtInStatusesCompleteAndTakenByPages()
    {
        QSet<int> notes, places;
        for (const BuiltInStatus::Row &status : BuiltInStatus::all()) {
            const QString code(status.code);
            QVERIFY2(StatusCode::isValid(code) && WebValues::isBuiltInStatus(code), qPrintable(code));
            QVERIFY(!StringTable::text(status.captionId).isEmpty());
            QVERIFY(status.noteNumber > 0 && status.noteNumber < QuickNoteTable::kRows);
            notes << status.noteNumber;
            places << status.place;
        }
        QCOMPARE(notes.size(), BuiltInStatus::all().size());
        QCOMPARE(places.size(), BuiltInStatus::all().size());
        QVERIFY(!WebValues::isBuiltInStatus(QStringLiteral("XSI")));
    }

    void statusChange_data() { addEngineRows(); }
    void statusChange()
    {
        OPEN_WEB_WORLD(w, "web_change");
        const qint32 user = w.addUser(QStringLiteral("Changer"), QStringLiteral("changer"));
        const qint32 before = CStatusChange().getLastUpdatedValue();

        // An unknown user: the transaction rolled back before its connection
        // goes back to the pool (the bad calls' rows show nothing is written).
        QStringList leftOpen;
        ConnectionPool::setReporter([&leftOpen](const QString &text) { leftOpen << text; });
        QCOMPARE(raisedBy([] { CStatusChange().ChangeStatus(999, QStringLiteral("OUT"), 0, 0, QString()); }).number(),
                 ErrNo::Raised);
        ConnectionPool::setReporter([](const QString &text) { qWarning("%s", qPrintable(text)); });
        QCOMPARE(leftOpen, QStringList());

        // Both dates 0: null in the row, now twice in the history.
        CStatusChange().ChangeStatus(user, QStringLiteral("OUT"), 0, 0, QStringLiteral(" it's done "));
        QCOMPARE(CStatusChange().getLastUpdatedValue(), before + 1);
        DbHandle connection;
        const RecordSet row = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID = ?"),
                                               true, {user});
        QVERIFY(row.isNull("ETA") && row.isNull("ETD"));
        QCOMPARE(row.text("Note"), QStringLiteral("it") + QChar(8) + QStringLiteral("s done"));
        QCOMPARE(row.number("LastStatusChange"), Clock::nowDays());
        const QString now = HistoryDate(Clock::nowDays());
        QCOMPARE(w.db.value(QStringLiteral("SELECT COUNT(*) FROM STATUS_HISTORY WHERE UserID = ? AND Note = ? AND "
                                           "ETA = ? AND ETD = ?"),
                            {user, row.text("Note"), now, now}).toInt(), 1);

        // Real times: each in its own column, in the history and (below) in the row.
        const double outAt = WebWorld::today(QTime(9, 15)), dueBack = WebWorld::today(QTime(11, 45));
        CStatusChange().ChangeStatus(user, QStringLiteral("MTG"), outAt, dueBack, QString());
        QCOMPARE(w.db.value(QStringLiteral("SELECT COUNT(*) FROM STATUS_HISTORY WHERE ETD = ? AND ETA = ?"),
                            {HistoryDate(outAt), HistoryDate(dueBack)}).toInt(), 1);

        // The program's poll reads the row: its counter is above the mark.
        const auto rows = UserListReader().read(UserListReader::usersQuery(0, {}, before, true), connection, before);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].user.IsIn + u'|' + rows[0].user.Note, QStringLiteral("MTG|"));
        QCOMPARE(rows[0].user.ETD, outAt);
        QCOMPARE(rows[0].user.ETA, dueBack);
    }

    // A web writer and the program's own write at once: each change gets a
    // counter of its own.
    void webAndProgramWriters_data() { addEngineRows(); }
    void webAndProgramWriters()
    {
        FETCH_ENGINE();
        StatusWorld w(postgres, QStringLiteral("web_writers"));
        DbConnection::setSqliteBusyTimeout(DbConnection::DefaultSqliteBusyTimeoutMs);
        WebWorld::useProgramDatabase(postgres);
        constexpr int kRounds = 40;
        QList<qint32> counters;
        std::thread web([&counters] {
            for (int round = 0; round < kRounds; ++round) {
                CStatusChange().ChangeStatus(2, round % 2 ? QStringLiteral("INN") : QStringLiteral("OUT"), 0, 0, {});
                counters << qint32(RunSQLReturnRS(QStringLiteral("SELECT LastUpdated FROM STAFF_STATUS WHERE UserID = 2"))
                                       .integer(QStringLiteral("LastUpdated")));
            }
        });
        for (int round = 0; round < kRounds; ++round) {
            double outAt = 0, dueBack = 0;
            g_oClientHnd->UpdateStatus(1, round % 2 ? QStringLiteral("INN") : QStringLiteral("OUT"), QString(), outAt,
                                       dueBack, false, false);
        }
        web.join();
        for (const CMCastUpdate &update : std::as_const(w.tray->sent))
            counters << update.Seq + 1;
        QCOMPARE(QSet<qint32>(counters.begin(), counters.end()).size(), 2 * kRounds);
    }
};

QTEST_GUILESS_MAIN(tst_WebData)
#include "tst_WebData.moc"
