#include "FakeUserEditor.h"
#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "app/CClientInitialise.h"
#include "app/MStartUp.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/NavigationTree.h"
#include "platform/AppError.h"
#include "platform/Registry.h"
#include "status/CClientHnd.h"

#include <QtTest>

namespace {

class LoginMainWindow : public StubMainWindow
{
public:
    void loadNavigationTree(const NavigationTree &t) override { tree = t; calls << QStringLiteral("tree"); }
    bool hasTreeImage(const QString &key) const override { return key != QLatin1String("ICOfax"); }
    bool selectTreeNode(const QString &key) override { calls << QStringLiteral("select ") + key; return true; }
    void treeViewClick(const QString &key, bool force) override
    {
        calls << QStringLiteral("click ") + key + (force ? QStringLiteral(" forced") : QString());
    }
    void hidePopupMenu() override { calls << QStringLiteral("hide popup"); }
    void DisableAdminMenu() override { calls << QStringLiteral("no admin menu"); }
    void refreshEnableChat() override { calls << QStringLiteral("chat %1").arg(g_fEnableChat); }
    void setPopupItemEnabled(int index, bool on) override { calls << QStringLiteral("popup %1 %2").arg(index).arg(on); }
    void setToolbarButtonVisible(const QString &key, bool on) override { calls << QStringLiteral("button %1 %2").arg(key).arg(on); }

    NavigationTree tree;
    QStringList calls;
};

class LoginTray : public StubTrayWindow
{
public:
    void setUpdateTimerEnabled(bool on) override { timer = on; }
    bool isUpdateTimerEnabled() const override { return timer; }
    void setPollThreshold(qint16 threshold) override { pollThreshold = threshold; }

    bool timer = true;
    int pollThreshold = -1;
};

LoginMainWindow *g_main = nullptr;
LoginTray *g_tray = nullptr;

// Fresh stand-in windows and a signed-out user.
void resetWorld()
{
    g_frmMain.reset();
    g_frmSysTray.reset();
    g_uiFactory = UiFactory();
    g_uiFactory.mainWindow = [] { return std::unique_ptr<IMainWindow>(g_main = new LoginMainWindow); };
    g_uiFactory.trayWindow = [] { return std::unique_ptr<ITrayWindow>(g_tray = new LoginTray); };
    g_oCurrentUser = CUser();
    g_oUserProperties = CUserProperties();
    g_oClientHnd = std::make_unique<CClientHnd>();
    g_lUserID = 0;
    g_sCurrentNodeKey.clear();
    g_fOutlook = g_fOutlookOOP = g_fCanChangeStatus = g_fEnableChat = false;
    g_bOnClose = 0;
    g_vQuickNotes = QuickNoteTable();
    SetLanguage(QStringLiteral("ENU"));
}

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

QString storedLoginName()
{
    return GetRegistryValue(QStringLiteral("Name"), AppRegistryKey() + QStringLiteral("\\Login"));
}

// Runs the whole initialisation with log-in; gives the exit code when the
// program ended, -1 when it goes on.
int initialise(bool doLogin = true)
{
    return exitCodeOf([=] { QVERIFY(CClientInitialise().Initialise(false, doLogin)); });
}

} // namespace

class tst_Login : public QObject
{
    Q_OBJECT
    FakeUserEditor m_editor;
    UserEditorScope m_editorScope{m_editor};
    QString m_desktopUser;

private slots:
    void initTestCase() { g_systemUserName = [this] { return m_desktopUser; }; }

    void cleanup()
    {
        g_frmMain.reset();
        g_frmSysTray.reset();
    }

    void init()
    {
        ResetCloseDownForTests();
        resetWorld();
        m_editor = FakeUserEditor();
        m_desktopUser = QStringLiteral("  bob  ");
    }

    void aNewUserIsCreatedThroughTheDialog_data() { addEngineRows(); }
    void aNewUserIsCreatedThroughTheDialog()
    {
        OPEN_TEST_DATABASE(db, "login_");
        m_desktopUser = QStringLiteral("anna.b");
        m_editor.record.RealName = QStringLiteral("Anna B");
        m_editor.record.RefreshPeriod = 59;
        QCOMPARE(initialise(), -1);
        QCOMPARE(m_editor.calls.size(), 1);
        const FakeUserEditor::Call &call = m_editor.calls[0];
        QVERIFY(call.newUser && call.atLogin && !call.adminEditable && !call.self && !call.addAnother);
        QCOMPARE(call.loginName, QStringLiteral("anna.b"));
        QCOMPARE(g_lUserID, 1);
        QCOMPARE(g_oCurrentUser.UserID, 1);
        QCOMPARE(g_oCurrentUser.LoginName, QStringLiteral("anna.b"));
        QCOMPARE(g_oCurrentUser.RealName, QStringLiteral("Anna B"));
        QCOMPARE(storedLoginName(), QStringLiteral("anna.b"));
        QCOMPARE(g_tray->pollThreshold, 59);
    }

    void anExistingUserIsFoundByHisWholeName_data() { addEngineRows(); }
    void anExistingUserIsFoundByHisWholeName()
    {
        OPEN_TEST_DATABASE(db, "login_");
        insertUser(db, 9, QStringLiteral("BOB")); // shared before names were checked: the lower id wins
        insertUser(db, 1, QStringLiteral("BO"));
        insertUser(db, 2, QStringLiteral("BOB"));
        insertUser(db, 3, QStringLiteral("BOB' OR 'A'='A"));
        db.exec(QStringLiteral("INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (2, 3, 'Lunch')"));
        QCOMPARE(initialise(), -1);
        QVERIFY(m_editor.calls.isEmpty());
        QCOMPARE(g_lUserID, 2);
        QCOMPARE(g_oCurrentUser.LoginName, QStringLiteral("bob")); // trimmed, as the desktop spells it
        QCOMPARE(g_oCurrentUser.RealName, QStringLiteral("User 2"));
        QCOMPARE(g_lLanguageOffset, 1000);
        QVERIFY(g_fCanChangeStatus);
        QCOMPARE(g_bOnClose, quint8(3));
        QVERIFY(g_fOutlookOOP);
        QCOMPARE(g_vQuickNotes.rows[3].note, QStringLiteral("Lunch"));
        QCOMPARE(storedLoginName(), QStringLiteral("bob"));
        QCOMPARE(g_tray->pollThreshold, 45);
        QVERIFY(readTextFile(db.env.path(QStringLiteral("logs/debug.log")))
                    .contains(QLatin1String("Login name BOB belongs to 2 active users; user 2 signed in")));
    }

    void quotedAndInactiveNames_data() { addEngineRows(); }
    void quotedAndInactiveNames()
    {
        OPEN_TEST_DATABASE(db, "login_");
        insertUser(db, 1, QStringLiteral("BOB"), 0);
        insertUser(db, 2, EncodeQuotes(QStringLiteral("O'HARA")));
        db.exec(QStringLiteral("UPDATE idmanager SET id = 2 WHERE tablename = 'userid'"));
        m_desktopUser = QStringLiteral("o'hara"); // bound, not spliced
        QCOMPARE(initialise(), -1);
        QCOMPARE(g_lUserID, 2);
        // An inactive user counts as not found; the new one's refresh period passes the poll's limit.
        init();
        m_editor.record.RefreshPeriod = 60;
        QCOMPARE(initialise(), -1);
        QCOMPARE(m_editor.calls.size(), 1);
        QCOMPARE(g_lUserID, 3);
        QCOMPARE(g_tray->pollThreshold, 30);
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
        UserEditorScope scope(none);
        init();
        QCOMPARE(initialise(), 0);
        QCOMPARE(db.env.prompt.asked.size(), 2);
        QCOMPARE(db.env.prompt.asked[1].text, QStringLiteral("Could not log in. \r\n10003 - No user could be created for bob"));
    }

    void aFailedLookUpEndsInLoginErrorNotInTheDialog_data() { addEngineRows(); }
    void aFailedLookUpEndsInLoginErrorNotInTheDialog()
    {
        OPEN_TEST_DATABASE(db, "login_");
        insertUser(db, 1, QStringLiteral("BOB"));
        db.exec(QStringLiteral("ALTER TABLE STAFF_OPTIONS RENAME TO STAFF_OPTIONS_AWAY"));
        QCOMPARE(initialise(), 0);
        QVERIFY(m_editor.calls.isEmpty()); // no duplicate user
        QCOMPARE(db.env.prompt.asked.size(), 1);
        const ScriptedPrompt::Asked &asked = db.env.prompt.asked[0];
        QCOMPARE(asked.title, QStringLiteral("Login Error"));
        QCOMPARE(asked.icon, int(IPrompt::Critical));
        QVERIFY2(asked.text.startsWith(QStringLiteral("Could not log in. \r\n%1 - ").arg(ErrNo::Raised)),
                 qPrintable(asked.text));
        QVERIFY(m_fClosingDown); // the close-down ran
    }

    void thePollThreshold_data()
    {
        QTest::addColumn<int>("refresh");
        QTest::addColumn<int>("threshold");
        QTest::newRow("0") << 0 << 30;
        QTest::newRow("59") << 59 << 59;
        QTest::newRow("60") << 60 << 30;
        QTest::newRow("negative") << -3 << 30;
    }
    void thePollThreshold()
    {
        QFETCH(int, refresh);
        QFETCH(int, threshold);
        QCOMPARE(CClientInitialise::pollThresholdFor(qint16(refresh)), qint16(threshold));
    }

    void theAdminSwitchAddsToTheStoredRight_data()
    {
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("admin");
        QTest::newRow("neither") << false << 0 << false;
        QTest::newRow("-admin only") << true << 0 << true;
        QTest::newRow("stored only") << false << 1 << true;
        QTest::newRow("both") << true << 1 << true;
    }
    void theAdminSwitchAddsToTheStoredRight()
    {
        QFETCH(bool, commandLine);
        QFETCH(int, stored);
        QFETCH(bool, admin);
        TestDatabase db(false, QString());
        insertUser(db, 1, QStringLiteral("BOB"), 1, stored);
        g_oCurrentUser.Admin = commandLine;
        QCOMPARE(initialise(), -1);
        QCOMPARE(g_oCurrentUser.Admin, admin);
        QCOMPARE(g_main->calls.contains(QStringLiteral("no admin menu")), !admin);
        QCOMPARE(g_fMarkOutDue, admin); // only administrators' copies sweep at night
    }

    void theBoardOpensOnTheDefaultBranch()
    {
        TestDatabase db(false, QString());
        insertUser(db, 1, QStringLiteral("BOB"));
        db.exec(QStringLiteral("UPDATE Properties SET pvalue = 'true' WHERE pkey = 'enb_cht'"));
        db.exec(QStringLiteral("UPDATE Properties SET pvalue = 'false' WHERE pkey = 'enb_olk'"));
        db.exec(QStringLiteral("UPDATE Properties SET pvalue = 'TRUE' WHERE pkey = 'sec_olk'"));
        db.exec(QStringLiteral("UPDATE ADMIN SET MarkOutOnClose = 1, EnableTimeSheets = 0"));
        SetRegistryValue(QStringLiteral("DefaultBranch"), RegString, QStringLiteral("NOD3"),
                         AppRegistryKey() + QStringLiteral("\\Settings"));
        QCOMPARE(initialise(), -1);

        QVERIFY(g_fMarkOutOnClose && !g_fEnableTimeSheets && g_fEnableChat && g_fSecureOutlook);
        QVERIFY(!g_fOutlook); // the system switch alone decides in the end
        const QStringList &calls = g_main->calls;
        const int select = calls.indexOf(QStringLiteral("select NOD3"));
        QVERIFY(select > calls.lastIndexOf(QStringLiteral("tree")));
        QCOMPARE(calls.mid(select, 3),
                 (QStringList{"select NOD3", "click NOD3 forced", "hide popup"}));
        QVERIFY(calls.contains(QStringLiteral("chat 1")));
        for (const char *expected : {"popup 1 1", "popup 3 1", "popup 4 0", "button JRN 0", "button PHR 0"})
            QVERIFY2(calls.contains(QString::fromLatin1(expected)), expected);

        // The tree holds the stored nodes; an icon without an image is marked missing.
        QVERIFY(g_main->tree.contains(QStringLiteral("NOD7")));
        QCOMPARE(g_main->tree.selectedKey, QStringLiteral("NOD3"));
        QCOMPARE(g_colTreeNodes.size(), 7);
        QCOMPARE(FindTreeNode(QStringLiteral("NOD5"))->Icon, QStringLiteral("ICO_MISSING"));
        QVERIFY(g_tray && !g_tray->timer); // switched on again by the caller
    }

    void theReturnFromTheTrayKeepsTheSignedInUser()
    {
        TestDatabase db(false, QString());
        insertUser(db, 1, QStringLiteral("BOB"));
        g_lUserID = 42;
        g_oCurrentUser.RealName = QStringLiteral("Still me");
        g_sCurrentNodeKey = QStringLiteral("NOD4");
        QCOMPARE(initialise(false), -1);
        QCOMPARE(g_lUserID, 42);
        QCOMPARE(g_oCurrentUser.RealName, QStringLiteral("Still me"));
        QVERIFY(m_editor.calls.isEmpty());
        QVERIFY(g_main->calls.contains(QStringLiteral("click NOD4 forced")));
    }
};

QTEST_GUILESS_MAIN(tst_Login)
#include "tst_Login.moc"
