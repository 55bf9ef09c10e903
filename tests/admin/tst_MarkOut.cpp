#include "OptionsFakes.h"
#include "admin/CClientAdmin.h"
#include "app/MStartUp.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QProcess>
#include <QtTest>

namespace {

// Friday 4 December 2026, 23:35: the nightly sweep's hour.
const QDate kFriday(2026, 12, 4);
const QTime kSweepTime(23, 35);

void insertUser(TestDatabase &db, int id, const QString &status, const QVariant &eta, const QVariant &workStart,
                int active = 1)
{
    db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, Note, ETA, ETD, LastUpdated, IsActive) "
                           "VALUES (?, ?, ?, 'as before', ?, 5, ?, ?)"),
            {id, QStringLiteral("User %1").arg(id), status, eta, 100 - id, active});
    db.exec(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, WorkStartTime) VALUES (?, ?, ?)"),
            {id, QStringLiteral("U%1").arg(id), workStart});
}

double at(const QDate &date, const QTime &time)
{
    return DateUtil::toDays(date, time);
}

// A user's row as "IsIn|Note|ETA|ETD|LastStatusChange|LastUpdated", moments as "yyyy-MM-dd HH:mm:ss".
QString rowOf(int id)
{
    DbHandle connection;
    const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID = ?"),
                                          true, {id});
    const auto moment = [&](const char *field) {
        return rs.isNull(QLatin1String(field)) ? QStringLiteral("null")
                                               : DateUtil::fromDays(rs.number(QLatin1String(field)))
                                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    return QStringList{rs.text("IsIn").trimmed(), rs.text("Note"), moment("ETA"), QString::number(rs.number("ETD")),
                       moment("LastStatusChange"), QString::number(rs.integer("LastUpdated"))}
        .join(u'|');
}

} // namespace

class tst_MarkOut : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        Clock::unpin();
        g_frmMain.reset();
    }

    void dueBackOnTheNextWorkingDay_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("dueBack");
        // Friday and Monday are swept in the cases below.
        QTest::newRow("Saturday") << kFriday.addDays(1) << kFriday.addDays(3);
        QTest::newRow("Sunday") << kFriday.addDays(2) << kFriday.addDays(3);
    }
    void dueBackOnTheNextWorkingDay() // the days are counted in the program, the same on either engine
    {
        QFETCH(QDate, today);
        QFETCH(QDate, dueBack);
        TestDatabase db(false, QString());
        Clock::pin(QDateTime(today, kSweepTime));
        insertUser(db, 1, QStringLiteral("INN"), at(today, QTime(17, 0)), QStringLiteral("08:30:00"));
        QCOMPARE(CClientAdmin().MarkAllUsersOut(), ErrNo::Success);
        QCOMPARE(rowOf(1), QStringLiteral("OUT|Marked Out by Qel|%1 08:30:00|0|%2 23:35:00|100")
                               .arg(dueBack.toString(Qt::ISODate), today.toString(Qt::ISODate)));
    }

    void whoIsSwept_data() { addEngineRows(); }
    void whoIsSwept()
    {
        OPEN_TEST_DATABASE(db, "markout_");
        Clock::pin(QDateTime(kFriday, kSweepTime));
        const double tomorrow = at(kFriday.addDays(1), QTime(9, 0));
        const double anHourAgo = at(kFriday, QTime(22, 35));
        const QString start = QStringLiteral("08:30:00");
        insertUser(db, 1, QStringLiteral("INN"), tomorrow, start);
        insertUser(db, 2, QStringLiteral("MTG"), tomorrow, start);     // in a meeting till tomorrow: left
        insertUser(db, 3, QStringLiteral("OUT"), anHourAgo, start);    // overdue Out: swept again
        insertUser(db, 4, QStringLiteral("HME"), anHourAgo, start);    // overdue Gone Home: swept
        insertUser(db, 5, QStringLiteral("OUT"), 0, start);            // no due-back time: left
        insertUser(db, 6, QStringLiteral("VAC"), QVariant(QMetaType(QMetaType::Double)), start); // null: left
        insertUser(db, 7, QStringLiteral("INN"), QVariant(QMetaType(QMetaType::Double)), start, 0); // deleted, still In
        insertUser(db, 8, QStringLiteral("DND"), tomorrow, start);
        insertUser(db, 9, QStringLiteral("LNC"), tomorrow, start);
        insertUser(db, 10, QStringLiteral("BRK"), tomorrow, start);
        insertUser(db, 11, QStringLiteral("XX2"), tomorrow, start);    // a custom status not yet due: left

        QCOMPARE(CClientAdmin().MarkAllUsersOut(), ErrNo::Success);

        int counter = 99; // the largest LastUpdated before the sweep, one higher per row in user order
        for (int id : {1, 3, 4, 7, 8, 9, 10})
            QCOMPARE(rowOf(id).section(u'|', 0, 3) + u'|' + rowOf(id).section(u'|', 5),
                     QStringLiteral("OUT|Marked Out by Qel|2026-12-07 08:30:00|0|%1").arg(++counter));
        for (const auto &[id, status] : {std::pair{2, "MTG"}, {5, "OUT"}, {6, "VAC"}, {11, "XX2"}})
            QCOMPARE(rowOf(id).section(u'|', 0, 1) + u'|' + rowOf(id).section(u'|', 5),
                     QStringLiteral("%1|as before|%2").arg(QLatin1String(status)).arg(100 - id));
        QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM STATUS_HISTORY")).toInt(), 0);
    }

    void unreadableWorkStartTimesTakeHalfPastEight_data() { addEngineRows(); }
    void unreadableWorkStartTimesTakeHalfPastEight()
    {
        OPEN_TEST_DATABASE(db, "markout_");
        Clock::pin(QDateTime(kFriday.addDays(3), kSweepTime));
        insertUser(db, 1, QStringLiteral("INN"), 0, QVariant(QMetaType(QMetaType::QString)));
        insertUser(db, 2, QStringLiteral("INN"), 0, QStringLiteral("after breakfast"));
        insertUser(db, 3, QStringLiteral("INN"), 0, QStringLiteral("9:00:45 AM"));
        QCOMPARE(CClientAdmin().MarkAllUsersOut(), ErrNo::Success);
        QCOMPARE(rowOf(1).section(u'|', 2, 2), QStringLiteral("2026-12-08 08:30:00")); // Tuesday
        QCOMPARE(rowOf(2).section(u'|', 2, 2), QStringLiteral("2026-12-08 08:30:00"));
        QCOMPARE(rowOf(3).section(u'|', 2, 2), QStringLiteral("2026-12-08 09:00:00")); // seconds dropped
        const QString log = readTextFile(db.env.path(QStringLiteral("logs/debug.log")));
        QVERIFY(log.contains(QStringLiteral("after breakfast")));
    }

    void theShownViewIsRedrawnEvenWithNobodyToSweep()
    {
        TestDatabase db(false, QString());
        Clock::pin(QDateTime(kFriday, kSweepTime));
        auto *window = new OptionsHostWindow;
        g_frmMain.reset(window);
        g_sCurrentNodeKey = "NOD3";
        QCOMPARE(CClientAdmin().MarkAllUsersOut(), ErrNo::Success);
        QCOMPARE(window->calls, QStringList{"click NOD3!"});
        g_sCurrentNodeKey.clear();
    }

    // "-domarkout" is run by a scheduler: no display, no window system.
    void theCommandLineRunNeedsNoDisplayAndReportsFailure()
    {
        {
            TestEnvironment env;
            env.useSqliteDatabase(); // no tables at all
            QCOMPARE(runMarkOutChild(env), 1);
            const QString log = readTextFile(env.path(QStringLiteral("state/error.log")));
            QVERIFY2(log.contains(QStringLiteral("CClientAdmin.MarkAllUsersOut")), qPrintable(log));
        }
        TestDatabase db(false, QString());
        insertUser(db, 1, QStringLiteral("INN"), 0, QStringLiteral("08:30:00"));
        QCOMPARE(runMarkOutChild(db.env), 0);
        QCOMPARE(rowOf(1).section(u'|', 0, 0), QStringLiteral("OUT"));
    }

private:
    static int runMarkOutChild(TestEnvironment &env)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), env.path(QStringLiteral("state")));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--markout-child")});
        if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit)
            return -1;
        return child.exitCode();
    }
};

// The child runs the program's entry as the scheduler starts it: a plain
// core application, nothing that could open a window.
int main(int argc, char *argv[])
{
    if (argc == 2 && QByteArray(argv[1]) == "--markout-child") {
        QCoreApplication app(argc, argv);
        SetLogFolder(qEnvironmentVariable("XDG_STATE_HOME"));
        Main({QStringLiteral("-domarkout")});
        return 2; // Main ends the program itself
    }
    QCoreApplication app(argc, argv);
    tst_MarkOut test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MarkOut.moc"
