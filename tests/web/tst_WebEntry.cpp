#include "WebWorld.h"
#include "platform/AppError.h"
#include "platform/StatusCode.h"
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

// Calls no row may follow, "%1" standing for a real user: resource 1 is
// booked on day 47001 from 12:00 to 18:00, custom status XOF was retired.
struct BadCall
{
    const char *member, *arguments;
    qint32 number;
};
constexpr qint32 kBadValue = QelWeb::WebErr::BadArguments;
const BadCall kBadCalls[] = {
    {"BookResource", "[99, %1, \"no such resource\", 47000.5, 47000.75, \"\"]", ErrNo::Raised},
    {"BookResource", "[1, 999, \"no such user\", 47000.5, 47000.75, \"\"]", ErrNo::Raised},
    {"BookResource", "[1, %1, \"clash\", 47001.7, 47001.9, \"\"]", ErrNo::Raised},
    {"BookResource", "[1, %1, \"end before start\", 47000.75, 47000.5, \"\"]", kBadValue},
    {"BookResource", "[1, %1, \"empty period\", 47000.5, 47000.5, \"\"]", kBadValue},
    {"BookResource", "[1, %1, \"end past 9999\", 47000.5, 1e308, \"\"]", kBadValue},
    {"BookResource", "[1, %1, \"start before 1900\", 1, 47000.5, \"\"]", kBadValue},
    {"BookResource", "[1, %1, \"NUL\", 47000.5, 47000.75, \"a\\u0000b\"]", kBadValue},
    {"ChangeStatus", "[%1, \"ZZZ\", 0, 0, \"unknown code\"]", StatusCode::InvalidCodeError},
    {"ChangeStatus", "[%1, \"XOF\", 0, 0, \"retired code\"]", StatusCode::InvalidCodeError},
    {"ChangeStatus", "[%1, \"out\", 0, 0, \"code in lower case\"]", StatusCode::InvalidCodeError},
    {"ChangeStatus", "[%1, \"OUT\", 0, 1e308, \"due back past 9999\"]", kBadValue},
    {"ChangeStatus", "[%1, \"OUT\", -3, 0, \"out before 1900\"]", kBadValue},
    {"ChangeStatus", "[%1, \"OUT\", 0, 0, \"NUL \\u0000\"]", kBadValue},
    {"BookResource", "[1, %1, \"one ms\", 47000.5, 47000.50000001, \"\"]", kBadValue},
    {"BookResource", "[1, %1, \"half a character\", 47000.5, 47000.75, \"x\\ud800yz\"]", kBadValue},
    {"ChangeStatus", "[%1, \"OUT\", 0, 0, \"x\\udc00\\ud800yz\"]", kBadValue},
    {"ChangeStatus",
     "[%1, \"O\\u0000\\u0007\\b\\t\\n\\r\\u001b\\u007f\\u0080\\u0085\\u009b\\u009f\\u2028\\u2029\\u200e\\u200f\\u202a"
     "\\u202e\\u2066\\u2069\\u061cT\", 0, 0, \"controls in the code\"]",
     StatusCode::InvalidCodeError},
};

QStringList tablesOf(WebWorld &w)
{
    QStringList rows;
    for (const char *table : {"Reservation", "STAFF_STATUS", "STATUS_HISTORY", "idmanager"})
        rows += w.db.rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
    return rows;
}

} // namespace

class tst_WebEntry : public QObject
{
    Q_OBJECT

private slots:
    void badCallsHandlesAndTypes()
    {
        TestEnvironment env;
        // A bad call: an error, and one line in the log with the member's
        // name, its controls as their codes.
        namespace E = QelWeb::WebErr;
        const long long list = qelweb_create("QelWeb.CReservationList");
        const QByteArray load = "LoadReservationList";
        const QList<std::tuple<QByteArray, QByteArray, int>> badCalls = {
            {load, "[\"1\"", E::BadArguments}, {load, "{}", E::BadArguments},
            {load, "[\"1\", 2]", E::BadParamCount}, {load, "[1]", E::TypeMismatch},
            {load, "[\"1 OR 1=1\"]", E::TypeMismatch},
            {("Drop" + logBreakingText(false) + "Table").toUtf8(), "[]", E::UnknownName}};
        for (const auto &[member, arguments, number] : badCalls) {
            QCOMPARE(errorNumber(call(list, member.constData(), arguments.constData())), number);
            const QString line = readTextFile(QelWeb::WebLogPath()).section(u'\n', -2, -2);
            const QString coded = QString::fromUtf8(member).replace(logBreakingText(false), logBreakingCodes(false));
            QVERIFY(line.contains(QStringLiteral("[%1]").arg(number)) && line.contains(coded));
        }
        const QString log = readTextFile(QelWeb::WebLogPath());
        QVERIFY(log.count(u'\n') == badCalls.size() && !holdsLogBreaking(log));
        QCOMPARE(qelweb_release(list), 0);

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
            SettingsKeys::WebConnection.write(QStringLiteral("host=db password='se cret' dbname=staff"));
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
        SettingsKeys::DsnDriver.in(Registry::LocalMachine).write(QStringLiteral("QSQLITE"), QStringLiteral("MachineDSN"));
        SettingsKeys::DsnSourceDB.in(Registry::LocalMachine).write(missing, QStringLiteral("MachineDSN"));
        SettingsKeys::WebConnection.write(QStringLiteral("DSN=MachineDSN"));
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
        SettingsKeys::WebConnection.write(QStringLiteral("host=127.0.0.1 port=1 password=hunter2 dbname=x"));
        WebWorld::pinNewDay(QTime(8, 0));
        // Each failure is one entry, under the name of the runner that failed.
        const auto logged = [] { return readTextFile(QelWeb::WebLogPath()).split(u'\n', Qt::SkipEmptyParts); };
        const auto oneEntry = [&](qsizetype before, const QString &runner) {
            const QStringList lines = logged();
            const QString heading = QStringLiteral(" Error executing %1 Error: [").arg(runner);
            return lines.size() == before + 1 && lines.last().mid(19).startsWith(heading);
        };
        const long long auth = qelweb_create("QelWeb.CAuthentication");
        qsizetype before = logged().size();
        const QByteArray reason = QJsonDocument(call(auth, "checkuser", "[\"ann\"]")).toJson();
        QVERIFY(reason.contains("Problem accessing database:host=127.0.0.1 port=1 password=*****"));
        QVERIFY2(oneEntry(before, "RunSQLReturnRS"), qPrintable(logged().last()));
        QVERIFY(!readTextFile(QelWeb::WebLogPath()).contains(QStringLiteral("hunter2")));
        // Every other method that reads or writes says so too: no empty answers.
        const char *calls[][4] = {{"CUserList", "LoadUserList", "[3]", "RunSQLReturnRS"},
                                  {"CGroupList", "LoadGroupList", "[]", "RunSQLReturnRS"},
                                  {"CResourceList", "LoadResourceList", "[\"6\"]", "RunSQLReturnRS"},
                                  {"CReservationList", "LoadReservationList", "[\"1\"]", "RunSQLReturnRS"},
                                  {"CReservation", "getConflicts", "[1, 47000.5, 47000.75]", "RunSQLReturnRS"},
                                  {"CReservation", "Delete", "[2]", "RunSQL"},
                                  {"CStatusList", "LoadCustomStatus", "[]", "RunSQLReturnRS"},
                                  {"CStatusChange", "getLastUpdatedValue", "[]", "RunSQLReturnRS"}};
        for (const auto &c : calls) {
            const long long object = qelweb_create(QByteArray("QelWeb.") + c[0]);
            before = logged().size();
            QVERIFY2(errorNumber(call(object, c[1], c[2])) == ErrNo::ConnectFailed, c[1]);
            QVERIFY2(oneEntry(before, QLatin1String(c[3])), qPrintable(logged().last()));
            qelweb_release(object);
        }
        QelWeb::SystemLog::setSocketPath(QStringLiteral("/dev/log"));
        close(listener);
        qelweb_release(change), qelweb_release(auth);
    }

    // Each bad call answers with an error and leaves every table as it was,
    // on either engine; a failed booking leaves no id for the page's Delete.
    void badValues_data() { addEngineRows(); }
    void badValues()
    {
        OPEN_WEB_WORLD(w, "web_bad_values");
        const QString user = QString::number(w.addUser(QStringLiteral("Ann"), QStringLiteral("ann")));
        w.addResource(1, QStringLiteral("Van"));
        const int dayOffset = int(47001 - WebWorld::today(QTime(0, 0)));
        w.addBooking(7, 1, QTime(12, 0), QTime(18, 0), QStringLiteral("Bob"), dayOffset);
        w.db.exec(QStringLiteral("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                                 "VALUES ('XOF', 'Off', 'O', 'OUT', 0)"));
        const long long booking = qelweb_create("QelWeb.CReservation");
        const long long change = qelweb_create("QelWeb.CStatusChange");
        const QString longText = QString(253, u'x') + QStringLiteral("\U0001F600") + QString(40, u'y');
        const QString emoji = QStringLiteral("\U0001F600").repeated(260);
        const QString good = QStringLiteral("[1, %1, \"%2\", 47000.5, 47000.75, \"%2\"]").arg(user, longText);
        QCOMPARE(call(booking, "BookResource", good.toUtf8()).value("result"), QJsonValue());
        QCOMPARE(call(booking, "BookResource", QStringLiteral("[1, %1, \"%2\", 47002.5, 47002.75, \"\"]")
                                                   .arg(user, emoji).toUtf8()).value("result"), QJsonValue());
        const QString note = QStringLiteral("[%1, \"OUT\", 0, 0, \"%2\"]").arg(user, longText);
        QCOMPARE(call(change, "ChangeStatus", note.toUtf8()).value("result"), QJsonValue());
        const QStringList before = tablesOf(w);
        for (const BadCall &bad : kBadCalls) {
            const QByteArray arguments = QString::fromLatin1(bad.arguments).arg(user).toUtf8();
            const QJsonObject answer = call(bad.member[0] == 'B' ? booking : change, bad.member, arguments);
            QVERIFY2(errorNumber(answer) == bad.number && tablesOf(w) == before, bad.arguments);
        }
        QCOMPARE(call(booking, "ID", "[]").value("result"), QJsonValue(0));
        call(booking, "Delete", "[]");
        QCOMPARE(tablesOf(w), before);
        // Texts are cut to their columns by characters, as PostgreSQL counts them.
        const QString cut = QString(253, u'x') + QStringLiteral("\U0001F600");
        QCOMPARE(w.db.rows(QStringLiteral("SELECT BookedTo, Note FROM Reservation WHERE ID = 2")),
                 QStringList(cut + u'|' + cut));
        QCOMPARE(w.db.rows(QStringLiteral("SELECT BookedTo FROM Reservation WHERE ID = 3")),
                 QStringList(QStringLiteral("\U0001F600").repeated(254)));
        QCOMPARE(w.db.rows(QStringLiteral("SELECT Note FROM STAFF_STATUS")), QStringList(cut));
        // What a page sent is logged as text: its controls by their codes.
        const QString log = readTextFile(QelWeb::WebLogPath());
        QVERIFY(!holdsLogBreaking(log) && log.contains(u'O' + logBreakingCodes() + u'T'));
        qelweb_release(booking), qelweb_release(change);
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
        QVERIFY(page.waitForFinished(stretched(60000)));
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
