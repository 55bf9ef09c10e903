#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "app/ApplicationSetUp.h"
#include "app/CClientInitialise.h"
#include "app/CStartUp.h"
#include "app/frmSplash.h"
#include "app/ISplash.h"
#include "app/MStartUp.h"
#include "foundation/CTreeNode.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/Globals.h"
#include "foundation/IUserEditor.h"
#include "foundation/MCIFunctions.h"
#include "foundation/NavigationTree.h"
#include "platform/AppError.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"
#include "platform/SingleInstance.h"
#include "status/CClientHnd.h"

#include <QDialog>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

namespace {

// Stands in for the options dialog: confirming a new user creates him from
// the template record, cancelling at log-in ends the program as the dialog does.
class FakeUserEditor : public IUserEditor
{
public:
    // Each call as its flags: new user, admin-editable, self, at log-in, add another.
    qint32 EditUserProperties(bool newUser, const QString &loginName, bool adminEditable, bool self, bool atLogin,
                              bool addAnother) override
    {
        calls << QStringLiteral("%1%2%3%4%5").arg(newUser).arg(adminEditable).arg(self).arg(atLogin).arg(addAnother);
        if (cancel && atLogin)
            EndProgram(0);
        if (cancel)
            return ErrNo::Success;
        UserRecord user = record;
        user.LoginName = loginName;
        CClientAdmin().AddUser(user);
        return ErrNo::Success;
    }

    bool cancel = false;
    UserRecord record;
    QStringList calls;
};

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
    void populateMenuStrings() override { if (g_beforeShow) g_beforeShow(); }
    void loadNavigationTree(const NavigationTree &) override { g_events << QStringLiteral("tree"); }
    bool hasTreeImage(const QString &key) const override { return key != QLatin1String("ICOfax"); }
    bool selectTreeNode(const QString &key) override { g_events << QStringLiteral("select ") + key; return true; }
    void setCurrentViewMsg() override { g_events << QStringLiteral("view named"); }
    void treeViewClick(const QString &key, bool force) override
    {
        g_events << QStringLiteral("click ") + key + (force ? QStringLiteral(" forced") : QString());
    }
    void DisableAdminMenu() override { g_events << QStringLiteral("no admin menu"); }
    void refreshEnableChat() override { g_events << QStringLiteral("chat %1").arg(g_fEnableChat); }
    bool visible = false;
};

class FakeTray : public StubTrayWindow
{
public:
    ~FakeTray() override { g_events << QStringLiteral("tray unloaded"); }
    void setUpdateTimerEnabled(bool on) override { timer = on; g_events << (on ? QStringLiteral("timer on") : QStringLiteral("timer off")); }
    bool isUpdateTimerEnabled() const override { return timer; }
    void removeTrayIcon() override { g_events << QStringLiteral("icon removed"); }
    bool timer = true;
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
FakeTray *g_tray = nullptr;

// Remembers the period the calendar watcher started with (-1: none made).
struct WatcherFactory : ICalendarWatcherFactory {
    struct Watcher : ICalendarWatcher {
        explicit Watcher(int &period) : started(period) {}
        void Start(qint32 period) override { started = period; }
        void CloseDown() override {}
        int &started;
    };
    std::unique_ptr<ICalendarWatcher> create() override { return std::make_unique<Watcher>(started); }
    int started = -1;
};

// The start-up, the close-down and the initialisation with log-in: the exit
// code when the program ended, -1 when it runs on.
int startProgram(const QStringList &arguments) { return exitCodeOf([&] { Main(arguments); }); }
int closeDown(int mode) { return exitCodeOf([=] { CloseDownApplication(mode); }); }
int initialise() { return exitCodeOf([] { QVERIFY(CClientInitialise().Initialise(false, true)); }); }

void insertUser(TestDatabase &db, int id, const QString &login, int active = 1, int admin = 0)
{
    db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Email, IsIn, LastUpdated, IsActive) "
                           "VALUES (?, ?, ?, 'OUT', ?, ?)"),
            {id, QStringLiteral("User %1").arg(id), QStringLiteral("u%1@example.org").arg(id), id, active});
    db.exec(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Admin, ChangeStatus, OnClose, Outlook, "
                           "OutlookOOP, LunchTimePeriod, BreakPeriod, RefreshPeriod, Language, StartMin, WorkStartTime) "
                           "VALUES (?, ?, ?, 1, 3, 1, 1, 40, 12, 45, 'FRA', 0, '09:00:00')"),
            {id, login, admin});
}

} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT
    // A desktop user not yet known signs in through the options dialog.
    FakeUserEditor m_editor;
    QString m_desktopUser;

private slots:
    void initTestCase()
    {
        g_systemUserName = [this] { return m_desktopUser; };
        g_userEditor = &m_editor;
    }

    // Fresh stand-in windows and a signed-out user.
    void init()
    {
        ResetCloseDownForTests();
        cleanup();
        g_beforeShow = nullptr;
        g_events.clear();
        g_uiFactory = UiFactory();
        g_uiFactory.mainWindow = [] { return std::unique_ptr<IMainWindow>(g_fakeMain = new FakeMainWindow); };
        g_uiFactory.trayWindow = [] { return std::unique_ptr<ITrayWindow>(g_tray = new FakeTray); };
        g_uiFactory.splash = [] { return std::unique_ptr<ISplash>(new FakeSplash(QStringLiteral("splash"))); };
        g_uiFactory.closeProgress = [] { return std::unique_ptr<ISplash>(new FakeSplash(QStringLiteral("progress"))); };
        g_oCurrentUser = CUser();
        g_oUserProperties = CUserProperties();
        g_oClientHnd = std::make_unique<CClientHnd>();
        g_lUserID = 0;
        g_sCurrentNodeKey.clear();
        g_fOutlook = g_fOutlookOOP = g_fCanChangeStatus = g_fEnableChat = false;
        g_bOnClose = 0;
        g_vQuickNotes = QuickNoteTable();
        SetLanguage(QStringLiteral("ENU"));
        m_editor = FakeUserEditor();
        m_desktopUser = QStringLiteral("  bob  ");
    }

    void cleanup()
    {
        g_frmMain.reset();
        g_frmSysTray.reset();
    }

    // Switches are matched exactly, blanks aside; both at once mean neither.
    void commandLineSwitches()
    {
        QVERIFY(CommandLine::parse({QStringLiteral("  -admin  ")}).admin);
        QVERIFY(!CommandLine::parse({QStringLiteral("-ADMIN")}).admin);
        const CommandLine both = CommandLine::parse({QStringLiteral("-admin"), QStringLiteral("-domarkout")});
        QVERIFY(!both.admin && !both.doMarkOut);
    }

    // Before the application is made: the web engine, loaded on the first
    // web page, shares the windows' drawing contexts.
    void theWebEngineMaySharePaintingContexts()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("must be set before")));
        PrepareApplication();
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
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

        g_fOutlook = true;
        g_events.clear();
        QCOMPARE(closeDown(1), 0);
        QCOMPARE(g_events, (QStringList{
            "main hidden", "timer off", "progress shown", "progress: Updating Status...",
            "progress: Closing Calendar Reference...", "progress: Closing Core...", "progress: Unloading User Interfaces...",
            "main hidden", "main unloaded", "timer off", "icon removed", "tray unloaded",
            "progress: Close Down Complete", "progress hidden"}));
        QVERIFY(!g_oClientHnd && !g_frmMain && !g_frmSysTray);
        g_fOutlook = false;

        // Whatever starts it again (tray Exit, session end), nothing runs twice.
        g_events.clear();
        QCOMPARE(closeDown(2), -1);
        QVERIFY(g_events.isEmpty());

        // The close box starts it.
        init();
        startProgram({});
        g_events.clear();
        int mode = 0;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, g_fakeMain->onDoExit(mode));
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

    // Settings that are a link (even to the user's own file), or another
    // user's, are read but never written: what they lead to stays as it was,
    // the user hears once that his settings (his log-in name first) were not
    // saved, and what he changes holds until the program ends.
    void settingsNotWhatTheySeemAreNotWritten_data()
    {
        QTest::addColumn<QString>("trap"); // what links to his own in "other", or is another user's
        QTest::newRow("folder a link") << "folder";
        QTest::newRow("file a link") << "file";
        QTest::newRow("another user's folder") << "owner";
    }
    void settingsNotWhatTheySeemAreNotWritten()
    {
        QFETCH(QString, trap);
        if (trap == QLatin1String("owner") && ::geteuid() != 0)
            QSKIP("Giving a folder to another user needs root");
        TestEnvironment env;
        env.useSqliteDatabase();
        const QString file = Registry::filePath(Registry::CurrentUser);
        const QString folder = QFileInfo(file).absolutePath();
        const QString other = env.path(QStringLiteral("other"));
        const QString otherFile = other + QStringLiteral("/registry-user.ini");
        QVERIFY(QDir().mkpath(other) && QFile::copy(file, otherFile));
        if (trap == QLatin1String("folder"))
            QVERIFY(QDir(folder).removeRecursively() && QFile::link(other, folder));
        else if (trap == QLatin1String("file"))
            QVERIFY(QFile::remove(file) && QFile::link(otherFile, file));
        else
            QCOMPARE(::chown(folder.toLocal8Bit().constData(), 65534, 65534), 0);
        const QString watched = trap == QLatin1String("owner") ? file : otherFile;
        const QString before = readTextFile(watched);
        const auto folderPermissions = QFileInfo(QFileInfo(watched).absolutePath()).permissions();

        QCOMPARE(startProgram({}), -1);
        QCOMPARE(SettingsKeys::LoginName.read(), QStringLiteral("bob"));
        // Told once, in the debug log: no box opens once the close-down has begun.
        QCOMPARE(closeDown(1), 0);
        const auto told = [&] {
            return readTextFile(env.path(QStringLiteral("logs/debug.log")))
                .count(QRegularExpression(QStringLiteral("Not shown during the close-down: \"[^\"]*\": Your settings "
                                                         "could not be saved")));
        };
        QTRY_COMPARE(told(), 1);
        SettingsKeys::LoginName.write(QStringLiteral("again"));
        QTest::qWait(50);
        QCOMPARE(told(), 1);
        QVERIFY(env.prompt.asked.isEmpty());
        QCOMPARE(SettingsKeys::LoginName.read(), QStringLiteral("again"));
        QCOMPARE(readTextFile(watched), before);
        QCOMPARE(QFileInfo(QFileInfo(watched).absolutePath()).permissions(), folderPermissions);
    }

    // Only an own-process calendar is watched; a period of 0 takes the default.
    void theCalendarWatcherStartsWithTheRefreshPeriod()
    {
        const QList<std::tuple<bool, int, int>> rows = {{true, 45, 450000}, {true, 0, 300000}, {false, 30, -1}};
        for (const auto &[ownProcess, refresh, expectedPeriod] : rows) {
            init();
            WatcherFactory factory;
            TestEnvironment env;
            env.useSqliteDatabase();
            ICalendarWatcherFactory *saved = std::exchange(g_calendarWatcherFactory, &factory);
            g_beforeShow = [&] {
                g_fOutlook = true;
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
            QVERIFY(!g_frmMain);
            QVERIFY(first.tryAcquire()); // the first copy keeps its lock
        }
        // A copy that died without unlocking: a lock file naming a dead process.
        QProcess dead;
        dead.start(QStringLiteral("true"));
        dead.waitForFinished();
        const qint64 deadPid = dead.processId() ? dead.processId() : 999999;
        QVERIFY(saveFile(SingleInstance::defaultLockPath(QStringLiteral("tessaly")),
                         QByteArray::number(deadPid) + "\ntessaly\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
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
        QVERIFY(env.errorWindow.shown.value(0).details.contains(QStringLiteral("no window today")));

        frmSplash splash; // the real one steps aside for a modal dialog
        splash.showWindow();
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(!splash.isVisible());
    }

    void anExistingUserIsFoundByHisWholeName_data() { addEngineRows(); }
    void anExistingUserIsFoundByHisWholeName()
    {
        OPEN_TEST_DATABASE(db, "login_");
        insertUser(db, 9, QStringLiteral("BOB")); // shared before names were checked: the lower id wins
        insertUser(db, 1, QStringLiteral("BO"));
        insertUser(db, 2, QStringLiteral("BOB"));
        insertUser(db, 3, QStringLiteral("BOB' OR 'A'='A"));
        insertUser(db, 4, EncodeQuotes(QStringLiteral("O'HARA")));
        insertUser(db, 5, QStringLiteral("CARL"), 0);
        db.exec(QStringLiteral("UPDATE idmanager SET id = 9 WHERE tablename = 'userid'"));
        db.exec(QStringLiteral("INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (2, 3, 'Lunch')"));
        QCOMPARE(initialise(), -1);
        QVERIFY(m_editor.calls.isEmpty());
        QCOMPARE(g_lUserID, 2);
        QCOMPARE(g_oCurrentUser.LoginName, QStringLiteral("bob")); // trimmed, as the desktop spells it
        QCOMPARE(g_lLanguageOffset, 1000);
        QCOMPARE(g_bOnClose, quint8(3));
        QCOMPARE(g_vQuickNotes.rows[3].note, QStringLiteral("Lunch"));
        QCOMPARE(SettingsKeys::LoginName.read(), QStringLiteral("bob"));
        QVERIFY(readTextFile(db.env.path(QStringLiteral("logs/debug.log")))
                    .contains(QLatin1String("Login name BOB belongs to 2 active users; user 2 signed in")));

        init();
        m_desktopUser = QStringLiteral("o'hara"); // bound, not spliced
        QCOMPARE(initialise(), -1);
        QCOMPARE(g_lUserID, 4);
        // An inactive user counts as not found, as does one never stored: the options dialog creates each
        // under the next id; his refresh period is the poll's below its limit.
        for (const auto &[login, refresh, id, threshold] : {std::tuple{"carl", 60, 10, 30}, {"dora", 59, 11, 59}}) {
            init();
            m_desktopUser = QLatin1String(login);
            m_editor.record.RealName = QStringLiteral("New user");
            m_editor.record.RefreshPeriod = qint16(refresh);
            QCOMPARE(initialise(), -1);
            QCOMPARE(m_editor.calls, QStringList{"10010"});
            QCOMPARE(std::tuple(g_lUserID, g_oCurrentUser.RealName, g_tray->pollThreshold),
                     std::tuple(id, QStringLiteral("New user"), threshold));
            QCOMPARE(SettingsKeys::LoginName.read(), QLatin1String(login));
        }
        QCOMPARE(CClientInitialise::pollThresholdFor(0), qint16(30));
    }

    void logInsThatCannotGoOnEndTheProgram()
    {
        TestDatabase db(false, QString());
        m_editor.cancel = true;
        QCOMPARE(initialise(), 0);
        QCOMPARE(m_editor.calls.size(), 1);
        QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM STAFF_OPTIONS")).toInt(), 0);

        // Without a desktop user name the log-in ends in its error, not in the dialog.
        init();
        m_desktopUser = QStringLiteral("   ");
        QCOMPARE(initialise(), 0);
        QCOMPARE(db.env.prompt.asked.size(), 1);
        QCOMPARE(db.env.prompt.asked[0].text, QStringLiteral("Could not log in. \r\n10001 - Cannot get User Name from System"));
        QVERIFY(m_editor.calls.isEmpty());

        // Without an options dialog the log-in ends with its message.
        NoUserEditor none;
        g_userEditor = &none;
        init();
        const int code = initialise();
        g_userEditor = &m_editor;
        QCOMPARE(code, 0);
        QCOMPARE(db.env.prompt.asked.size(), 2);
        QCOMPARE(db.env.prompt.asked[1].text, QStringLiteral("Could not log in. \r\n10003 - No user could be created for bob"));

        // A failed look-up ends in the log-in's error, not in the dialog (no duplicate user).
        init();
        insertUser(db, 1, QStringLiteral("BOB"));
        db.exec(QStringLiteral("ALTER TABLE STAFF_OPTIONS RENAME TO STAFF_OPTIONS_AWAY"));
        QCOMPARE(initialise(), 0);
        QVERIFY(m_editor.calls.isEmpty());
        QVERIFY2(db.env.prompt.asked.value(2).text.startsWith(QStringLiteral("Could not log in. \r\n%1 - ").arg(ErrNo::Raised)),
                 qPrintable(db.env.prompt.asked.value(2).text));
        QVERIFY(m_fClosingDown); // the close-down ran
    }

    // The board opens on the stored branch, by the system's switches; only
    // administrators' copies sweep at night, the command line adding to the stored right.
    void theBoardOpensAsStoredAndTheAdminSwitchAddsToTheRight()
    {
        for (const auto &[commandLine, stored] : QList<QPair<bool, int>>{{false, 0}, {true, 0}, {false, 1}}) {
            init();
            TestDatabase db(false, QString());
            insertUser(db, 1, QStringLiteral("BOB"), 1, stored);
            db.exec(QStringLiteral("UPDATE Properties SET pvalue = 'true' WHERE pkey = 'enb_cht'"));
            db.exec(QStringLiteral("UPDATE Properties SET pvalue = 'false' WHERE pkey = 'enb_olk'"));
            SettingsKeys::DefaultBranch.write(QStringLiteral("NOD3"));
            g_oCurrentUser.Admin = commandLine;
            QCOMPARE(initialise(), -1);
            const bool admin = commandLine || stored;
            QCOMPARE(g_oCurrentUser.Admin, admin);
            QCOMPARE(g_events.contains(QStringLiteral("no admin menu")), !admin);
            QCOMPARE(g_fMarkOutDue, admin);
            QVERIFY(g_fEnableChat && g_events.contains(QStringLiteral("chat 1")));
            QVERIFY(!g_fOutlook); // the system switch alone decides in the end
            QCOMPARE(g_events.mid(g_events.lastIndexOf(QStringLiteral("tree")) + 1, 3),
                     (QStringList{"select NOD3", "click NOD3 forced", "view named"}));
            QCOMPARE(FindTreeNode(QStringLiteral("NOD5"))->Icon, QStringLiteral("ICO_MISSING")); // no image
            QVERIFY(g_tray && !g_tray->timer); // switched on again by the caller
            cleanup();
        }
    }

};

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
