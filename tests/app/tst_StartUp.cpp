#include "FakeUserEditor.h"
#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestSupport.h"
#include "app/CStartUp.h"
#include "app/frmSplash.h"
#include "app/ISplash.h"
#include "app/MStartUp.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/Globals.h"
#include "platform/AppError.h"
#include "platform/SingleInstance.h"
#include "status/CClientHnd.h"

#include <QDialog>
#include <QProcess>
#include <QtTest>

namespace {

// What happened to the stand-in windows, in order.
QStringList g_events;
// Stands in for the log-in's settings: made after it, before the start-up reads them.
std::function<void()> g_beforeShow;

class FakeMainWindow : public StubMainWindow
{
public:
    ~FakeMainWindow() override { g_events << QStringLiteral("main unloaded"); }
    void showWindow() override { visible = true; g_events << QStringLiteral("main shown"); }
    void hideWindow() override { visible = false; g_events << QStringLiteral("main hidden"); }
    bool isWindowVisible() const override { return visible; }
    int windowStateCode() const override { return state; }
    void setWindowStateCode(int s) override { state = s; g_events << QStringLiteral("main state %1").arg(s); }
    void populateMenuStrings() override { if (g_beforeShow) g_beforeShow(); }
    bool visible = false;
    int state = 0;
};

class FakeTray : public StubTrayWindow
{
public:
    ~FakeTray() override { g_events << QStringLiteral("tray unloaded"); }
    void setUpdateTimerEnabled(bool on) override { timer = on; g_events << (on ? QStringLiteral("timer on") : QStringLiteral("timer off")); }
    bool isUpdateTimerEnabled() const override { return timer; }
    void removeTrayIcon() override { g_events << QStringLiteral("icon removed"); }
    bool timer = false;
};

class FakeSplash : public ISplash
{
public:
    explicit FakeSplash(QString name) : m_name(std::move(name)) {}
    void showWindow() override { g_events << m_name + QStringLiteral(" shown"); }
    void hideWindow() override { g_events << m_name + QStringLiteral(" hidden"); }
    void setStatusText(const QString &text) override { g_events << m_name + QStringLiteral(": ") + text; }

private:
    QString m_name;
};

FakeMainWindow *g_fakeMain = nullptr;

// Remembers the period the calendar watcher started with (-1: none made).
struct WatcherFactory : ICalendarWatcherFactory {
    struct Watcher : ICalendarWatcher {
        int *started = nullptr;
        void Start(qint32 period) override { *started = period; }
        void CloseDown() override {}
    };
    std::unique_ptr<ICalendarWatcher> create() override
    {
        auto watcher = std::make_unique<Watcher>();
        watcher->started = &started;
        return watcher;
    }
    int started = -1;
};

// The start-up and the close-down: the exit code when the program ended, -1 when it runs on.
int startProgram(const QStringList &arguments) { return exitCodeOf([&] { Main(arguments); }); }
int closeDown(int mode) { return exitCodeOf([=] { CloseDownApplication(mode); }); }

} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT
    // The first start signs a new desktop user in through the options dialog.
    FakeUserEditor m_editor;
    UserEditorScope m_editorScope{m_editor};

private slots:
    void initTestCase() { g_systemUserName = [] { return QStringLiteral("tester"); }; }

    void init()
    {
        ResetCloseDownForTests();
        g_beforeShow = nullptr;
        g_frmMain.reset();
        g_frmSysTray.reset();
        g_events.clear();
        g_uiFactory.mainWindow = [] { return std::unique_ptr<IMainWindow>(g_fakeMain = new FakeMainWindow); };
        g_uiFactory.trayWindow = [] { return std::unique_ptr<ITrayWindow>(new FakeTray); };
        g_uiFactory.splash = [] { return std::unique_ptr<ISplash>(new FakeSplash(QStringLiteral("splash"))); };
        g_uiFactory.closeProgress = [] { return std::unique_ptr<ISplash>(new FakeSplash(QStringLiteral("progress"))); };
    }

    void commandLineSwitches_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<bool>("markOut");
        QTest::newRow("none") << QStringList{} << false << false;
        QTest::newRow("admin") << QStringList{"-admin"} << true << false;
        QTest::newRow("admin with blanks") << QStringList{"  -admin  "} << true << false;
        QTest::newRow("ADMIN in capitals") << QStringList{"-ADMIN"} << false << false;
        QTest::newRow("both switches") << QStringList{"-admin", "-domarkout"} << false << false;
        QTest::newRow("markout") << QStringList{"-domarkout"} << false << true;
    }
    void commandLineSwitches()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, admin);
        QFETCH(bool, markOut);
        const CommandLine line = CommandLine::parse(arguments);
        QCOMPARE(line.admin, admin);
        QCOMPARE(line.doMarkOut, markOut);
    }

    void startsShowsTheBoardAndClosesDownOnceInOrder()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        QCOMPARE(startProgram({QStringLiteral("-admin")}), -1);
        QVERIFY(g_oCurrentUser.Admin);
        QVERIFY(g_frmSysTray && g_frmSysTray->isUpdateTimerEnabled());
        QVERIFY(g_fakeMain->visible);
        QVERIFY(g_events.indexOf(QStringLiteral("splash hidden")) < g_events.indexOf(QStringLiteral("main shown")));
        QVERIFY(g_events.indexOf(QStringLiteral("timer on")) > g_events.indexOf(QStringLiteral("splash hidden")));
        const QStringList log = readTextFile(env.path(QStringLiteral("logs/debug.log"))).split(u'\n');
        QVERIFY(log.size() >= 3);
        QVERIFY(log[0].endsWith(QStringLiteral("    ") + QString(71, u'-')));
        QVERIFY2(QRegularExpression(QStringLiteral("    -- Qel started at \\d{1,2}:\\d\\d (am|pm)$")).match(log[1]).hasMatch(),
                 qPrintable(log[1]));

        // Starting minimised only minimises.
        g_oUserProperties.StartMin = true;
        g_fakeMain->visible = false;
        ShowMainWindow();
        QVERIFY(!g_fakeMain->visible);
        QCOMPARE(g_fakeMain->state, int(IMainWindow::Minimised));

        g_fOutlook = true;
        g_events.clear();
        QCOMPARE(closeDown(1), 0);
        QCOMPARE(g_events, (QStringList{
            "main hidden", "timer off", "progress shown", "progress: Updating Status...",
            "progress: Closing Outlook Reference...", "progress: Closing Core...", "progress: Unloading User Interfaces...",
            "main hidden", "main unloaded", "timer off", "icon removed", "tray unloaded",
            "progress: Close Down Complete", "progress hidden"}));
        QVERIFY(m_fClosingDown);
        QVERIFY(!g_oClientHnd && !g_frmMain && !g_frmSysTray);
        g_fOutlook = false;

        // Whatever starts it again (tray Exit, session end), nothing runs twice.
        g_events.clear();
        QCOMPARE(closeDown(2), -1);
        QVERIFY(g_events.isEmpty());
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/debug.log"))).contains(QStringLiteral("Close Down Complete")));
    }

    void theCloseBoxOrTheTrayStartTheCloseDown()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        startProgram({});
        g_events.clear();
        int mode = 0;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, g_fakeMain->onDoExit(mode));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/debug.log"))).contains(QStringLiteral("unload mode 0")));
        QVERIFY(g_events.contains(QStringLiteral("tray unloaded")));

        // From the tray the close-down skips the main window.
        init();
        startProgram({});
        g_frmMain.reset();
        g_events.clear();
        QCOMPARE(closeDown(1), 0);
        QVERIFY(!g_events.contains(QStringLiteral("main hidden")));
        QVERIFY(g_events.contains(QStringLiteral("progress: Close Down Complete")));
    }

    void theCalendarWatcherStartsWithTheRefreshPeriod_data()
    {
        QTest::addColumn<bool>("outlook");
        QTest::addColumn<bool>("ownProcess");
        QTest::addColumn<int>("refresh");
        QTest::addColumn<int>("expectedPeriod"); // -1: not created
        QTest::newRow("30") << true << true << 30 << 300000;
        QTest::newRow("0 takes the default") << true << true << 0 << 300000;
        QTest::newRow("negative takes the default") << true << true << -4 << 300000;
        QTest::newRow("in-process calendar") << true << false << 30 << -1;
        QTest::newRow("calendar off") << false << true << 30 << -1;
    }
    void theCalendarWatcherStartsWithTheRefreshPeriod()
    {
        QFETCH(bool, outlook);
        QFETCH(bool, ownProcess);
        QFETCH(int, refresh);
        QFETCH(int, expectedPeriod);
        WatcherFactory factory;
        TestEnvironment env;
        env.useSqliteDatabase();
        ICalendarWatcherFactory *saved = std::exchange(g_calendarWatcherFactory, &factory);
        g_beforeShow = [&] {
            g_fOutlook = outlook;
            g_fOutlookOOP = ownProcess;
            g_oUserProperties.RefreshPeriod = qint16(refresh);
        };
        startProgram({});
        QCOMPARE(factory.started, expectedPeriod);
        QCOMPARE(bool(g_oClientHnd->m_OutLookClient), expectedPeriod != -1);
        g_calendarWatcherFactory = saved;
        g_fOutlook = g_fOutlookOOP = false;
        closeDown(1);
    }

    void aSecondCopyIsRefusedACrashedOneIsNot()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        {
            SingleInstance first(QStringLiteral("tessaly"));
            QVERIFY(first.tryAcquire());
            QCOMPARE(startProgram({}), 0);
            QCOMPARE(env.prompt.asked.size(), 1);
            QCOMPARE(env.prompt.asked[0].text, QStringLiteral("A copy of Qel is already running."));
            QCOMPARE(env.prompt.asked[0].title, QStringLiteral("Loading.."));
            QVERIFY(!g_frmMain);
            QVERIFY(first.tryAcquire()); // the first copy keeps its lock
        }
        // A copy that died without unlocking: a lock file naming a dead process.
        QProcess dead;
        dead.start(QStringLiteral("true"));
        dead.waitForFinished();
        const qint64 deadPid = dead.processId() ? dead.processId() : 999999;
        QFile lock(SingleInstance::defaultLockPath(QStringLiteral("tessaly")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\ntessaly\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        ResetCloseDownForTests();
        QCOMPARE(startProgram({}), -1);
        QCOMPARE(env.prompt.asked.size(), 1);
        closeDown(1);

        qunsetenv("XDG_RUNTIME_DIR"); // the lock then goes to a folder of the user's own, never /tmp
        const QString folder = QFileInfo(SingleInstance::defaultLockPath(QStringLiteral("tessaly"))).absolutePath();
        QCOMPARE(folder, env.path(QStringLiteral("state/tessaly")));
        QVERIFY(!(QFile::permissions(folder) & 0x77)); // no access for group or others
    }

    void markOutShowsNoWindowAndLeavesTheSettingsAlone()
    {
        TestEnvironment env;
        const QString settings = env.path(QStringLiteral("config/tessaly/registry-user.ini"));
        QCOMPARE(startProgram({QStringLiteral("-domarkout")}), 1); // none registered: none is chosen
        QVERIFY(!QFile::exists(settings));
        env.useSqliteDatabase();
        CUpdateDatabase::checkAtStartUp();
        SingleInstance running(QStringLiteral("tessaly"));
        QVERIFY(running.tryAcquire());
        QCOMPARE(startProgram({QStringLiteral("-domarkout")}), 0);
        QVERIFY(g_events.isEmpty());
        QVERIFY(env.prompt.asked.isEmpty());
        env.usePostgresDatabase(QStringLiteral("host=127.0.0.1 port=1 dbname=none user=nobody connect_timeout=2"));
        const QString before = readTextFile(settings);
        QCOMPARE(startProgram({QStringLiteral("-domarkout")}), 1); // its server down: the settings stay
        QCOMPARE(readTextFile(settings), before);
    }

    void theSplashClosesOnAFailedStartAndStepsAsideForDialogs()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        g_uiFactory.mainWindow = []() -> std::unique_ptr<IMainWindow> {
            throw AppError(ErrNo::BadStatement, QStringLiteral("frmMain.Load"), QStringLiteral("no window today"));
        };
        QCOMPARE(startProgram({}), 1);
        QCOMPARE(g_events.mid(0, 2), (QStringList{QStringLiteral("splash shown"), QStringLiteral("splash hidden")}));
        QCOMPARE(env.errorWindow.shown.size(), 1);
        QVERIFY(env.errorWindow.shown[0].details.contains(QStringLiteral("no window today")));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("CClientInitialize.Initialise")));

        frmSplash splash; // the real one steps aside for a modal dialog
        splash.showWindow();
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(!splash.isVisible());
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
