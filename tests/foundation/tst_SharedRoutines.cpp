#include "StubMainWindow.h"
#include "TestDatabase.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MWait.h"
#include "foundation/MWindows.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "status/CClientHnd.h"
#include "status/MNodeView.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QtTest>

namespace {

// Records what the view switch asks of the main window.
class FakeMainWindow : public StubMainWindow
{
public:
    QHash<QString, QString> tags;
    QStringList calls;

    QString treeNodeTag(const QString &key) const override { return tags.value(key); }
    void hideWebPage() override { calls << QStringLiteral("hideWebPage"); }
    void displayWebPage(const QString &url) override { calls << QStringLiteral("displayWebPage ") + url; }
    void displayWebText(const QString &text) override { calls << QStringLiteral("displayWebText ") + text; }
    void SetSelectUserFunctions(bool on) override { calls << QStringLiteral("SetSelectUserFunctions ") + QString::number(on); }
    void DisplaySearch(bool show) override { calls << QStringLiteral("DisplaySearch ") + QString::number(show); }
    void setStatusText(const QString &text) override { status = text; }
    QString status;
};

CUser user(qint32 id, const QString &name = {}, const QString &status = {}, const QString &note = {}, double changed = 0)
{
    CUser u;
    u.UserID = id;
    u.RealName = name;
    u.IsIn = status;
    u.Note = note;
    u.LastStatusChange = changed;
    return u;
}

CStatus custom(const QString &code, const QString &type, const QString &description = QString())
{
    CStatus s;
    s.StatusCode = code;
    s.CustomType = type;
    s.Status = description;
    return s;
}

double at(int year, int month, int day, int hour, int minute, int second = 0)
{
    return DateUtil::toDays(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

class tst_SharedRoutines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        Clock::unpin();
        g_frmMain.reset();
        g_oClientHnd.reset();
    }

    void keyToId_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<qint32>("id");
        QTest::newRow("user") << QStringLiteral("USR17") << 17;
        QTest::newRow("kind alone") << QStringLiteral("USR") << -1;
        QTest::newRow("short") << QStringLiteral("TO") << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("root") << QStringLiteral("NOD0") << 0;
        QTest::newRow("not a number") << QStringLiteral("USRabc") << 0;
        QTest::newRow("too large") << QStringLiteral("RES99999999999") << 0;
    }

    void keyToId()
    {
        QFETCH(QString, key);
        QFETCH(qint32, id);
        QCOMPARE(KeyToId(key), id);
    }

    void findUserIndexAndStatusLine()
    {
        TestEnvironment env;
        QCOMPARE(FindUserIndex(3), -1);
        g_vUserList = {user(3), user(5), user(9), user(12)};
        const QList<QPair<qint32, int>> lookups = {{3, 0}, {9, 2}, {12, 3}, {1, -1}, {4, -1}, {10, -1}, {13, -1}, {0, -1}, {-1, -1}};
        for (const auto &[id, index] : lookups)
            QCOMPARE(FindUserIndex(id), index);
        g_vUserList = {user(7)};
        QCOMPARE(FindUserIndex(7), 0);
        QCOMPARE(FindUserIndex(8), -1);

        g_vUserList = {user(5, QStringLiteral("Ann Lee"), QStringLiteral("OUT"), QStringLiteral("back at 3"), at(2004, 3, 5, 14, 7, 9)),
                       user(8, QStringLiteral("Bob"), QStringLiteral("MTA"), QStringLiteral("   "), at(2004, 3, 6, 0, 0))};
        QCOMPARE(GetUserStatusLine(QStringLiteral("USR5")),
                 QStringLiteral("Ann Lee Last changed Status to Out - 05/03/2004 2:07:09 PM       [ back at 3 ] "));
        QCOMPARE(GetUserStatusLine(QStringLiteral("USR8")),
                 QStringLiteral("Bob Last changed Status to Meeting-Available - 06/03/2004"));
        QCOMPARE(GetUserStatusLine(QStringLiteral("USR6")), QString());
        QCOMPARE(GetUserStatusLine(QStringLiteral("USR")), QString());
    }

    void nextWorkingDay_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("next");
        QTest::newRow("Friday") << QDate(2004, 3, 5) << QDate(2004, 3, 8);
        QTest::newRow("Saturday") << QDate(2004, 3, 6) << QDate(2004, 3, 8);
        QTest::newRow("Sunday") << QDate(2004, 3, 7) << QDate(2004, 3, 8);
        QTest::newRow("Monday") << QDate(2004, 3, 8) << QDate(2004, 3, 9);
        QTest::newRow("over the year") << QDate(2004, 12, 31) << QDate(2005, 1, 3);
    }

    void nextWorkingDay()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, next);
        Clock::pin(QDateTime(today, QTime(23, 59, 30)));
        const double workStart = DateUtil::fromTime(QTime(8, 30, 45));
        QCOMPARE(DateUtil::fromDays(NextWorkingDay(workStart)), QDateTime(next, QTime(8, 30)));
        // A full date-time counts by its time of day only.
        QCOMPARE(DateUtil::fromDays(NextWorkingDay(at(1999, 1, 1, 17, 5))), QDateTime(next, QTime(17, 5)));
    }

    void statusPendingAtTheMinuteBoundary_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("when");
        QTest::addColumn<bool>("pending");
        // The clock stands at 10:30:45.
        QTest::newRow("out, this minute") << QStringLiteral("OUT") << at(2004, 3, 5, 10, 30, 0) << true;
        QTest::newRow("out, last second of the minute before") << QStringLiteral("OUT") << at(2004, 3, 5, 10, 29, 59) << false;
        QTest::newRow("out, next minute") << QStringLiteral("OUT") << at(2004, 3, 5, 10, 31, 0) << true;
        QTest::newRow("out, an hour ago") << QStringLiteral("OUT") << at(2004, 3, 5, 9, 30, 45) << false;
        QTest::newRow("meeting ahead") << QStringLiteral("MTO") << at(2004, 3, 5, 11, 0) << true;
        QTest::newRow("lunch ahead") << QStringLiteral("LNC") << at(2004, 3, 5, 11, 0) << false;
        QTest::newRow("custom out") << QStringLiteral("XX2") << at(2004, 3, 5, 11, 0) << true;
        QTest::newRow("custom in") << QStringLiteral("XX3") << at(2004, 3, 5, 11, 0) << false;
        QTest::newRow("custom unknown") << QStringLiteral("XFF") << at(2004, 3, 5, 11, 0) << true;
    }

    void statusPendingAtTheMinuteBoundary()
    {
        QFETCH(QString, code);
        QFETCH(double, when);
        QFETCH(bool, pending);
        TestEnvironment env;
        g_colCustomStatus = {custom(QStringLiteral("XX2"), QStringLiteral("O")), custom(QStringLiteral("XX3"), QStringLiteral("i"))};
        Clock::pin(QDateTime(QDate(2004, 3, 5), QTime(10, 30, 45)));
        QCOMPARE(IsStatusPending(code, when), pending);
    }

    void statusTestsAndTexts()
    {
        TestEnvironment env;
        g_colCustomStatus = {custom(QStringLiteral("XX2"), QStringLiteral("O"), QStringLiteral("Site Visit")),
                             custom(QStringLiteral("XX3"), QStringLiteral("I"), QStringLiteral("Reception"))};
        QVERIFY(IsCustomStatus(QStringLiteral("XX2")) && IsCustomStatus(QStringLiteral("XFF")));
        QVERIFY(!IsCustomStatus(QStringLiteral("INN")));
        for (const char *in : {"INN", "XX3"})
            QVERIFY2(IsInStatus(QLatin1String(in)), in);
        for (const char *notIn : {"LNC", "XX2", "XFF"})
            QVERIFY2(!IsInStatus(QLatin1String(notIn)), notIn);
        QCOMPARE(GetStatusDescription(QString()), QStringLiteral("In"));
        QCOMPARE(GetStatusDescription(QStringLiteral("mtd")), QStringLiteral("Meeting-Do Not Disturb"));
        QCOMPARE(GetStatusDescription(QStringLiteral("xx2")), QStringLiteral("Site Visit"));
        QCOMPARE(GetStatusDescription(QStringLiteral("XFF")), QString());
    }

    void registryValues()
    {
        TestEnvironment env;
        const QString key = AppRegistryKey() + QStringLiteral("\\Settings");
        QCOMPARE(GetRegistryValue(QStringLiteral("ListView"), key), QStringLiteral("REG_ERR"));
        SetRegistryValue(QStringLiteral("TreeByStatus"), RegString, true, key);
        SetRegistryValue(QStringLiteral("Hidden"), RegString, false, key);
        SetRegistryValue(QStringLiteral("ListView"), RegDword, 2.5, key);
        SetRegistryValue(QStringLiteral("Split"), RegDword, 3.5, key);
        QCOMPARE(GetRegistryValue(QStringLiteral("TreeByStatus"), key), QStringLiteral("True"));
        QCOMPARE(GetRegistryValue(QStringLiteral("Hidden"), key), QStringLiteral("False"));
        QCOMPARE(GetRegistryValue(QStringLiteral("ListView"), key), QStringLiteral("2"));
        QCOMPARE(GetRegistryValue(QStringLiteral("Split"), key), QStringLiteral("4"));
        QCOMPARE(Registry::readDword(Registry::CurrentUser, key, QStringLiteral("Split")).value_or(0), 4u);
    }

    void recentNotesRoundTrip()
    {
        TestEnvironment env;
        QStringList notes;
        QCOMPARE(ReadRecentNotesList(notes), 10000);
        QCOMPARE(notes, QStringList(26, QString()));

        WriteRecentNotesList({QStringLiteral("Back at 3"), QStringLiteral("Room #4"), QString()});
        QCOMPARE(GetRegistryValue(QStringLiteral("Notes"), AppRegistryKey() + QStringLiteral("\\RecentNotes")),
                 QStringLiteral("Back at 3#Room #4##"));
        QCOMPARE(ReadRecentNotesList(notes), 10000);
        // The stored format has no escape: a "#" inside a note splits it.
        QCOMPARE(notes, (QStringList{QStringLiteral("Back at 3"), QStringLiteral("Room "), QStringLiteral("4"), QString()}));

        WriteRecentNotesList({});
        QCOMPARE(ReadRecentNotesList(notes), 10003);
        QCOMPARE(notes, QStringList(1, QString()));

        SetRegistryValue(QStringLiteral("Notes"), RegString, QStringLiteral("A#tail"), AppRegistryKey() + QStringLiteral("\\RecentNotes"));
        QCOMPARE(ReadRecentNotesList(notes), 10000);
        QCOMPARE(notes, QStringList{QStringLiteral("A")});
    }

    void systemProperties_data() { addEngineRows(); }
    void systemProperties()
    {
        OPEN_TEST_DATABASE(tdb, "shared_routines_");
        tdb.exec(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = 'help_url'"), {QStringLiteral("  http://help/  ")});
        tdb.exec(QStringLiteral("UPDATE Properties SET pvalue = NULL WHERE pkey = 'icon_home'"));
        DbHandle none;
        QCOMPARE(GetSystemProperty(QStringLiteral("help_url"), none), QStringLiteral("http://help/"));
        QVERIFY(!none); // opened for the call and closed again
        QCOMPARE(GetSystemProperty(QStringLiteral("icon_home")), QString());
        QCOMPARE(GetSystemProperty(QStringLiteral("missing")), QString());
        QCOMPARE(GetSystemProperty(QStringLiteral("x' OR '1'='1")), QString());

        DbHandle db = OpenADOConnection();
        SetSystemProperty(QStringLiteral("icon_home"), QStringLiteral("  /srv/it's icons  "), db);
        QVERIFY(db); // a connection handed in stays open
        QCOMPARE(GetSystemProperty(QStringLiteral("icon_home"), db), QStringLiteral("/srv/it's icons"));
        QCOMPARE(tdb.value(QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = 'icon_home'")).toString(),
                 QStringLiteral("/srv/it") + QChar(8) + QStringLiteral("s icons"));
        const int count = tdb.value(QStringLiteral("SELECT COUNT(*) FROM Properties")).toInt();
        SetSystemProperty(QStringLiteral("nokey"), QStringLiteral("v"));
        QCOMPARE(tdb.value(QStringLiteral("SELECT COUNT(*) FROM Properties")).toInt(), count); // no row added

        // Failures are raised with the routine's name and arguments.
        CloseADOConnection(db);
        tdb.exec(QStringLiteral("DROP TABLE Properties"));
        const AppError e = raisedBy([] { GetSystemProperty(QStringLiteral("version")); });
        QCOMPARE(e.number(), ErrNo::Raised);
        QVERIFY(e.description().startsWith(QStringLiteral("GetSystemProperty (-2147211503)\r\n")));
        QVERIFY(e.source().startsWith(QStringLiteral("MCIFunctions.GetSystemProperty\r\n")));
        QVERIFY(raisedBy([] { SetSystemProperty(QStringLiteral("version"), QStringLiteral("46")); })
                    .description()
                    .startsWith(QStringLiteral("SetSystemProperty [version][46] (")));
    }

    void shellOpen()
    {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("data/readme.txt"));
        QFile(file).open(QIODevice::WriteOnly);
        ShellOpen(QStringLiteral("http://intranet/help/index.html"));
        ShellOpen(file);
        ShellOpen(QStringLiteral("mailto:ann@example.org"));
        ShellOpen(QStringLiteral("  "));
        QCOMPARE(env.shell.opened, (QVector<QUrl>{QUrl(QStringLiteral("http://intranet/help/index.html")),
                                                  QUrl::fromLocalFile(file), QUrl(QStringLiteral("mailto:ann@example.org"))}));
    }

    void openNodeViewByTag_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QStringList>("calls");
        const QString selectOn = QStringLiteral("SetSelectUserFunctions 1");
        const QString selectOff = QStringLiteral("SetSelectUserFunctions 0");
        const QString hideWeb = QStringLiteral("hideWebPage");
        QTest::newRow("group") << "NOD3" << "GRP" << QStringList{selectOn, hideWeb};
        QTest::newRow("resources") << "NOD4" << "RSG" << QStringList{selectOff, hideWeb};
        QTest::newRow("contacts") << "CTL" << "CTL" << QStringList{selectOn, hideWeb};
        QTest::newRow("search") << "SRH0" << "SRH" << QStringList{QStringLiteral("DisplaySearch 1"), selectOn};
        QTest::newRow("watch list") << "NTF0" << "NTF" << QStringList{selectOn};
        QTest::newRow("web link") << "NOD7" << "WEB" << QStringList{QStringLiteral("displayWebPage http://intranet/"), selectOff};
        QTest::newRow("branch") << "NOD8" << "BRH" << QStringList{QStringLiteral("displayWebText Head Office"), selectOff};
        QTest::newRow("top") << "NOD0" << "TOP" << QStringList{selectOff};
        QTest::newRow("node not loaded") << "NOD99" << "WEB" << QStringList{selectOff};
        QTest::newRow("other tag") << "NOD5" << "XYZ" << QStringList{};
    }

    void openNodeViewByTag()
    {
        QFETCH(QString, key);
        QFETCH(QString, tag);
        QFETCH(QStringList, calls);
        TestEnvironment env;
        g_colTreeNodes = {CTreeNode(), CTreeNode()};
        g_colTreeNodes[0].ID = 7;
        g_colTreeNodes[0].URL = QStringLiteral("http://intranet/");
        g_colTreeNodes[1].ID = 8;
        g_colTreeNodes[1].Name = QStringLiteral("Head Office");
        g_oClientHnd = std::make_unique<CClientHnd>();
        OpenNodeView(key); // without a main window: nothing
        g_oClientHnd->userList().model().addUser(1, QStringLiteral("Ann"));
        auto *seen = new FakeMainWindow;
        seen->tags.insert(key, tag);
        g_frmMain.reset(seen);
        OpenNodeView(key);
        QCOMPARE(seen->calls, calls);
        if (tag == QLatin1String("RSG")) { // no list yet, nor the users of the node shown before
            QCOMPARE(g_oClientHnd->userList().model().rowCount(), 0);
            QCOMPARE(seen->status, QStringLiteral("Resources are not available yet."));
        }
    }

    void windowHelpers()
    {
        QWidget window;
        window.setGeometry(120, 80, 200, 100);
        window.show();
        MakeWindowTopmost(&window);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.size(), QSize(200, 100));
        QVERIFY(!window.testAttribute(Qt::WA_ShowWithoutActivating));

        // The timed wait lets events run while it waits.
        bool fired = false;
        QTimer::singleShot(30, this, [&fired] { fired = true; });
        QElapsedTimer timer;
        timer.start();
        WaitForTimer(0.2);
        const qint64 elapsed = timer.elapsed();
        QVERIFY(fired);
        QVERIFY2(elapsed >= 195 && elapsed < 1500, qPrintable(QString::number(elapsed)));
        WaitForTimer(0);
        WaitForTimer(-1);
    }
};

QTEST_MAIN(tst_SharedRoutines)
#include "tst_SharedRoutines.moc"
