#include "WebWorld.h"
#include "platform/AppError.h"
#include "platform/StatusCode.h"
#include "web/CReservation.h"
#include "web/CStatusChange.h"
#include "web/ErrorHandling.h"
#include "web/qelweb.h"
#include "web/SystemLog.h"
#include "web/WebErrors.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// One call through the C entry, its answer parsed.
QJsonObject call(long long handle, const char *member, const char *arguments)
{
    char *text = qelweb_call(handle, member, arguments);
    const QJsonObject answer = QJsonDocument::fromJson(text).object();
    qelweb_free(text);
    return answer;
}

int errorNumber(const QJsonObject &answer)
{
    return answer.value("error").toObject().value("number").toInt();
}

void setWebConnection(const QString &value)
{
    Registry::writeString(Registry::LocalMachine, QelWeb::WebSettingsKey(), QStringLiteral("WebConnection"), value);
}

// A call a page makes with a value no row may hold; "%1" in the arguments
// stands for a real user's id.
struct BadCall
{
    const char *what;
    const char *className;
    const char *member;
    const char *arguments;
    qint32 number;
};

constexpr qint32 kBadValue = QelWeb::WebErr::BadArguments;
constexpr qint32 kBadCode = StatusCode::InvalidCodeError;

// Resource 1 and the user exist; resource 1 is booked on day 47001 from
// 12:00 to 18:00; custom status XOF was retired.
const BadCall kBadCalls[] = {
    {"no such resource", "CReservation", "BookResource",
     "[99, %1, \"Ann\", 47000.5, 47000.75, \"\"]", ErrNo::Raised},
    {"no such user", "CReservation", "BookResource",
     "[1, 999, \"Ann\", 47000.5, 47000.75, \"\"]", ErrNo::Raised},
    {"end before start", "CReservation", "BookResource",
     "[1, %1, \"Ann\", 47000.75, 47000.5, \"\"]", kBadValue},
    {"empty period", "CReservation", "BookResource",
     "[1, %1, \"Ann\", 47000.5, 47000.5, \"\"]", kBadValue},
    {"end past 9999", "CReservation", "BookResource",
     "[1, %1, \"Ann\", 47000.5, 1e308, \"\"]", kBadValue},
    {"start before 1900", "CReservation", "BookResource",
     "[1, %1, \"Ann\", 1, 47000.5, \"\"]", kBadValue},
    {"NUL in note", "CReservation", "BookResource",
     "[1, %1, \"Ann\", 47000.5, 47000.75, \"a\\u0000b\"]", kBadValue},
    {"NUL in name", "CReservation", "BookResource",
     "[1, %1, \"A\\u0000nn\", 47000.5, 47000.75, \"\"]", kBadValue},
    {"clash", "CReservation", "BookResource",
     "[1, %1, \"Ann\", 47001.7, 47001.9, \"\"]", ErrNo::Raised},
    {"unknown code", "CStatusChange", "ChangeStatus",
     "[%1, \"ZZZ\", 0, 0, \"\"]", kBadCode},
    {"retired custom code", "CStatusChange", "ChangeStatus",
     "[%1, \"XOF\", 0, 0, \"\"]", kBadCode},
    {"due back past 9999", "CStatusChange", "ChangeStatus",
     "[%1, \"OUT\", 0, 1e308, \"\"]", kBadValue},
    {"out before 1900", "CStatusChange", "ChangeStatus",
     "[%1, \"OUT\", -3, 0, \"\"]", kBadValue},
    {"NUL in status note", "CStatusChange", "ChangeStatus",
     "[%1, \"OUT\", 0, 0, \"a\\u0000b\"]", kBadValue},
};

QStringList tablesOf(WebWorld &w)
{
    return w.db.rows(QStringLiteral("SELECT * FROM Reservation ORDER BY ID"))
        + w.db.rows(QStringLiteral("SELECT * FROM STAFF_STATUS ORDER BY UserID"))
        + w.db.rows(QStringLiteral("SELECT * FROM STATUS_HISTORY ORDER BY ETA"))
        + w.db.rows(QStringLiteral("SELECT * FROM idmanager ORDER BY tablename"));
}

} // namespace

class tst_WebEntry : public QObject
{
    Q_OBJECT

private slots:
    void badCalls_data()
    {
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<QByteArray>("arguments");
        QTest::addColumn<int>("number");
        QTest::newRow("malformed") << QByteArray("LoadReservationList") << QByteArray("[\"1\"") << QelWeb::WebErr::BadArguments;
        QTest::newRow("not an array") << QByteArray("LoadReservationList") << QByteArray("{}") << QelWeb::WebErr::BadArguments;
        QTest::newRow("unknown member") << QByteArray("DropTable") << QByteArray("[]") << QelWeb::WebErr::UnknownName;
        QTest::newRow("too many") << QByteArray("LoadReservationList") << QByteArray("[\"1\", 2]") << QelWeb::WebErr::BadParamCount;
        QTest::newRow("number for text") << QByteArray("LoadReservationList") << QByteArray("[1]") << QelWeb::WebErr::TypeMismatch;
        QTest::newRow("id not whole") << QByteArray("LoadReservationList") << QByteArray("[\"1 OR 1=1\"]") << QelWeb::WebErr::TypeMismatch;
    }
    void badCalls()
    {
        QFETCH(QByteArray, member);
        QFETCH(QByteArray, arguments);
        QFETCH(int, number);
        TestEnvironment env;
        const long long list = qelweb_create("QelWeb.CReservationList");
        QVERIFY(list > 0);
        QCOMPARE(errorNumber(call(list, member.constData(), arguments.constData())), number);
        QVERIFY(readTextFile(QelWeb::WebLogPath()).contains(QStringLiteral("[%1]").arg(number)));
        QCOMPARE(qelweb_release(list), 0);
    }

    void handlesAndTypes()
    {
        TestEnvironment env;
        QCOMPARE(qelweb_create("QelWeb.CNoSuchClass"), 0LL);
        const long long reservation = qelweb_create("qelweb.creservation");
        const long long resource = qelweb_create("QelWeb.CResource");
        QCOMPARE(errorNumber(call(reservation, "ID", "[1.5]")), QelWeb::WebErr::TypeMismatch);
        QCOMPARE(errorNumber(call(reservation, "ID", "[2147483648]")), QelWeb::WebErr::TypeMismatch);
        QCOMPARE(errorNumber(call(reservation, "Key", "[\"RSV1\"]")), QelWeb::WebErr::BadParamCount);
        QCOMPARE(call(reservation, "bookedoutto", "[\"Ann\"]").value("result"), QJsonValue());
        // An object goes in by its handle; a handle of another class does not.
        QCOMPARE(errorNumber(call(resource, "oCurrentReservation", QByteArray::number(resource).prepend('[').append(']'))),
                 QelWeb::WebErr::TypeMismatch);
        call(resource, "oCurrentReservation", QByteArray::number(reservation).prepend('[').append(']'));
        QCOMPARE(call(resource, "oCurrentReservation", nullptr).value("result")["BookedOutTo"], QJsonValue("Ann"));

        QCOMPARE(qelweb_release(reservation), 0);
        QCOMPARE(qelweb_release(reservation), -1);
        for (const long long handle : {reservation, 0LL, -5LL, 1LL << 40})
            QCOMPARE(errorNumber(call(handle, "ID", "[]")), QelWeb::WebErr::BadHandle);
        QCOMPARE(qelweb_release(resource), 0);
    }

    // Each thread reads the settings on its first call, then keeps them 120
    // seconds; a data source is found in the user's records, then the machine's.
    void settingsPerThread()
    {
        TestEnvironment env;
        WebWorld::pinNewDay(QTime(8, 0));
        QStringList seen;
        std::thread([&seen] {
            const long long debug = qelweb_create("QelWeb.CDebug");
            const auto dsn = [debug] { return call(debug, "GetDSN", "[]").value("result").toString(); };
            seen << dsn();
            setWebConnection(QStringLiteral("host=db password='se cret' dbname=staff"));
            Clock::advance(120 * 1000);
            seen << dsn();
            std::thread([&] { seen << dsn(); }).join();
            Clock::advance(1000);
            seen << dsn();
            qelweb_release(debug);
        }).join();
        QCOMPARE(seen, QStringList({QelWeb::DefaultWebConnection(), QelWeb::DefaultWebConnection(),
                                    "host=db password=***** dbname=staff", "host=db password=***** dbname=staff"}));

        // The machine's data source serves when the user has none; its file
        // is never made.
        const QString missing = env.path(QStringLiteral("data/missing.db"));
        Registry::writeString(Registry::LocalMachine, QStringLiteral("Software\\ODBC\\ODBC.INI\\MachineDSN"),
                              QStringLiteral("Driver"), QStringLiteral("QSQLITE"));
        Registry::writeString(Registry::LocalMachine, QStringLiteral("Software\\ODBC\\ODBC.INI\\MachineDSN"),
                              QStringLiteral("SourceDB"), missing);
        setWebConnection(QStringLiteral("DSN=MachineDSN"));
        WebWorld::pinNewDay(QTime(8, 0));
        const long long list = qelweb_create("QelWeb.CStatusList");
        QCOMPARE(errorNumber(call(list, "LoadCustomStatus", "[]")), ErrNo::ConnectFailed);
        QVERIFY(!QFile::exists(missing));
        QVERIFY(readTextFile(QelWeb::WebLogPath()).contains(QStringLiteral("database not found at ") + missing));
        qelweb_release(list);
        Clock::unpin();
    }

    // A failed change: an error result, a line in the component's log and
    // an error entry for syslog; no password anywhere.
    void errorsLogged()
    {
        WebWorld w(false, QStringLiteral("web_log"));
        const QString socketPath = w.db.env.path(QStringLiteral("syslog"));
        const int listener = socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, socketPath.toLocal8Bit().constData(), sizeof address.sun_path);
        QCOMPARE(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        QelWeb::SystemLog::setSocketPath(socketPath);

        const long long change = qelweb_create("QelWeb.CStatusChange");
        const QJsonObject answer = call(change, "ChangeStatus", "[999, \"OUT\", 0, 0, \"\"]");
        QCOMPARE(errorNumber(answer), ErrNo::Raised);
        QCOMPARE(w.db.value(QStringLiteral("SELECT COUNT(*) FROM STATUS_HISTORY")).toInt(), 0);
        QVERIFY(readTextFile(QelWeb::WebLogPath()).contains(QStringLiteral("No user has the id 999.")));
        char entry[1024] = {};
        QVERIFY(recv(listener, entry, sizeof entry - 1, MSG_DONTWAIT) > 0);
        QVERIFY(QByteArray(entry).startsWith("<11>"));
        QVERIFY(QByteArray(entry).contains(" QelWeb[") && QByteArray(entry).contains("No user has the id 999."));

        // A server that refuses the connection: its password stays out.
        setWebConnection(QStringLiteral("host=127.0.0.1 port=1 password=hunter2 dbname=x"));
        WebWorld::pinNewDay(QTime(8, 0));
        const long long auth = qelweb_create("QelWeb.CAuthentication");
        const QByteArray reason = QJsonDocument(call(auth, "checkuser", "[\"ann\"]")).toJson();
        QVERIFY(reason.contains("Problem accessing database:host=127.0.0.1 port=1 password=*****"));
        QVERIFY(!readTextFile(QelWeb::WebLogPath()).contains(QStringLiteral("hunter2")));
        QelWeb::SystemLog::setSocketPath(QStringLiteral("/dev/log"));
        close(listener);
        qelweb_release(change), qelweb_release(auth);
    }

    // Each refused with its error, and not a row touched, on either engine.
    void badValues_data() { addEngineRows(); }
    void badValues()
    {
        OPEN_WEB_WORLD(w, "web_bad_values");
        const qint32 user = w.addUser(QStringLiteral("Ann"), QStringLiteral("ann"));
        w.addResource(1, QStringLiteral("Van"));
        w.db.exec(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, ReservedFrom, "
                                 "ReservedUntil) VALUES (7, 1, ?, 'Bob', ?, ?)"),
                  {user, HistoryDate(47001.5), HistoryDate(47001.75)});
        w.db.exec(QStringLiteral("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                                 "VALUES ('XOF', 'Off', 'O', 'OUT', 0)"));
        const QStringList before = tablesOf(w);
        for (const BadCall &bad : kBadCalls) {
            const long long object = qelweb_create(QByteArray("QelWeb.") + bad.className);
            const QByteArray arguments = QString::fromUtf8(bad.arguments).arg(user).toUtf8();
            QVERIFY2(errorNumber(call(object, bad.member, arguments.constData())) == bad.number, bad.what);
            QVERIFY2(tablesOf(w) == before, bad.what);
            qelweb_release(object);
        }
    }

    // A booking that failed leaves no id behind for the page's Delete to use.
    void failedBookingDeletesNothing_data() { addEngineRows(); }
    void failedBookingDeletesNothing()
    {
        OPEN_WEB_WORLD(w, "web_failed_booking");
        const QByteArray user = QByteArray::number(w.addUser(QStringLiteral("Ann"), QStringLiteral("ann")));
        w.addResource(1, QStringLiteral("Van"));
        const long long booking = qelweb_create("QelWeb.CReservation");
        const QByteArray first = "[1, " + user + ", \"Ann\", 47000.5, 47000.75, \"\"]";
        QVERIFY(call(booking, "BookResource", first).contains("result"));
        QCOMPARE(call(booking, "ID", "[]").value("result").toInt(), 2);
        QCOMPARE(errorNumber(call(booking, "BookResource", "[1, " + user + ", \"Ann\", 47000.6, 47000.7, \"\"]")),
                 ErrNo::Raised);
        QCOMPARE(call(booking, "ID", "[]").value("result").toInt(), 0);
        call(booking, "Delete", "[]");
        QCOMPARE(w.db.value(QStringLiteral("SELECT COUNT(*) FROM Reservation")).toInt(), 1);
        qelweb_release(booking);
    }

    // Texts longer than their columns are cut as the program cuts them, never
    // within a character, on both engines alike.
    void textsCutToColumns_data() { addEngineRows(); }
    void textsCutToColumns()
    {
        OPEN_WEB_WORLD(w, "web_long_texts");
        const qint32 user = w.addUser(QStringLiteral("Ann"), QStringLiteral("ann"));
        w.addResource(1, QStringLiteral("Van"));
        const QString long_ = QString(253, u'x') + QStringLiteral("\U0001F600") + QString(40, u'y');
        QelWeb::CReservation booking;
        booking.BookResource(1, user, long_, 47000.5, 47000.75, long_);
        QelWeb::CStatusChange().ChangeStatus(user, QStringLiteral("OUT"), 0, 0, long_);
        const QString cut = QString(253, u'x');
        QCOMPARE(w.db.rows(QStringLiteral("SELECT BookedTo, Note FROM Reservation")), QStringList({cut + u'|' + cut}));
        QCOMPARE(w.db.value(QStringLiteral("SELECT Note FROM STAFF_STATUS WHERE UserID = ?"), {user}).toString(), cut);
        const QString fits = QString(252, u'x') + QStringLiteral("\U0001F600");
        QelWeb::CStatusChange().ChangeStatus(user, QStringLiteral("OUT"), 0, 0, fits);
        QCOMPARE(w.db.value(QStringLiteral("SELECT Note FROM STAFF_STATUS WHERE UserID = ?"), {user}).toString(), fits);
    }

    // A database that cannot be reached is an error from every method that
    // reads or writes, never an empty answer.
    void unreachableDatabase_data()
    {
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<QByteArray>("arguments");
        const auto row = [](const char *name, const char *className, const char *member, const char *arguments) {
            QTest::newRow(name) << QByteArray(className) << QByteArray(member) << QByteArray(arguments);
        };
        row("users", "CUserList", "LoadUserList", "[3]");
        row("tree", "CGroupList", "LoadGroupList", "[]");
        row("resources", "CResourceList", "LoadResourceList", "[\"6\"]");
        row("bookings", "CReservationList", "LoadReservationList", "[\"1\"]");
        row("conflicts", "CReservation", "getConflicts", "[1, 47000.5, 47000.75]");
        row("read", "CReservation", "Read", "[2]");
        row("delete", "CReservation", "Delete", "[2]");
        row("custom statuses", "CStatusList", "LoadCustomStatus", "[]");
        row("counter", "CStatusChange", "getLastUpdatedValue", "[]");
    }
    void unreachableDatabase()
    {
        QFETCH(QByteArray, className);
        QFETCH(QByteArray, member);
        QFETCH(QByteArray, arguments);
        TestEnvironment env;
        setWebConnection(QStringLiteral("host=127.0.0.1 port=1 dbname=x connect_timeout=2"));
        WebWorld::pinNewDay(QTime(8, 0));
        const long long object = qelweb_create("QelWeb." + className);
        QCOMPARE(errorNumber(call(object, member.constData(), arguments.constData())), ErrNo::ConnectFailed);
        qelweb_release(object);
        Clock::unpin();
    }

    // The example page, on a database the program made.
    void pythonExample_data() { addEngineRows(); }
    void pythonExample()
    {
        OPEN_WEB_WORLD(w, "web_example");
        const qint32 ann = w.addUser(QStringLiteral("Ann O'Neil"), QStringLiteral("ANNO"));
        w.addUser(QStringLiteral("Bert"), QStringLiteral("bert"));
        w.db.exec(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = 'LNC', Note = ? WHERE UserID = ?"),
                  {EncodeQuotes(QStringLiteral("Ann's lunch")), ann});
        w.addResource(1, QStringLiteral("Projector"), 5);
        w.db.exec(QStringLiteral("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                                 "VALUES ('XSI', 'On site', 'I', 'ICOsite', 1)"));
        Clock::unpin(); // the example runs on today's clock

        QProcess page;
#ifdef QELWEB_PRELOAD
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QELWEB_PRELOAD));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0")); // the interpreter's own
        page.setProcessEnvironment(environment);
#endif
        page.start(QStringLiteral("python3"),
                   {QStringLiteral(QELWEB_EXAMPLE), "--library", QStringLiteral(QELWEB_LIBRARY), "--group", "3",
                    "--login", " anno ", "--resource-group", "5", "--user", QString::number(ann)});
        QVERIFY(page.waitForFinished(60000));
        const QString out = QString::fromUtf8(page.readAllStandardOutput());
        QVERIFY2(page.exitCode() == 0, qPrintable(out + page.readAllStandardError()));
        for (const QString &line : {QStringLiteral("user Ann O'Neil | LNC | Ann's lunch |"),
                                    QStringLiteral("visitor Ann O'Neil (id %1, LNC)").arg(ann),
                                    QStringLiteral("tree ") + QString(6, u' ') + QStringLiteral("Staff Members [GRP]"),
                                    QStringLiteral("resource Projector (PRO): no booking"),
                                    QStringLiteral("conflicts before: none"), QStringLiteral("booked RSV2"),
                                    QStringLiteral("reservation RSV2 Visitors' day 10:00 Booked"),
                                    QStringLiteral("conflicts now: Visitors&#39; day - &lt;script&gt;alert(1)&lt;/script&gt;"),
                                    QStringLiteral("after delete: 0 booking(s)"),
                                    QStringLiteral("custom XSI On site (I) icon site"),
                                    QStringLiteral("user Ann O'Neil | OUT | Gone to the printer's | due ")})
            QVERIFY2(out.contains(line), qPrintable(line + "\n---\n" + out));
        QCOMPARE(w.db.value(QStringLiteral("SELECT COUNT(*) FROM STATUS_HISTORY WHERE UserID = ?"), {ann}).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_WebEntry)
#include "tst_WebEntry.moc"
