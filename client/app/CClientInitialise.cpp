#include "CClientInitialise.h"

#include "ISplash.h"
#include "MStartUp.h"
#include "admin/CClientAdmin.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/IPrompt.h"
#include "foundation/ITrayWindow.h"
#include "foundation/IUserEditor.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/NavigationTreeBuilder.h"
#include "foundation/RaiseAs.h"
#include "foundation/Steps.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"
#include "status/CClientHnd.h"

namespace {

// Where a skipped step is said to belong in the debug log.
const QString kLog = QStringLiteral("CClientInitialise");

// The desktop user's name, blanks trimmed; every character kept.
QString desktopUserName()
{
    const QString name = g_systemUserName ? g_systemUserName().trimmed() : QString();
    if (name.isEmpty())
        throw AppError(10001, QStringLiteral("Login"), QStringLiteral("Cannot get User Name from System"));
    return name;
}

void showLoginError(const AppError &e)
{
    g_prompt->message(QStringLiteral("Could not log in. \r\n") + QString::number(e.number()) + QStringLiteral(" - ")
                          + e.description(),
                      IPrompt::Ok, IPrompt::Critical, QStringLiteral("Login Error"));
}

} // namespace

bool CClientInitialise::Initialise(bool showSplash, bool doLogin)
{
    m_fClosingDown = false;
    std::unique_ptr<ISplash> splash;
    if (showSplash && g_uiFactory.splash) {
        splash = g_uiFactory.splash();
        if (splash)
            splash->showWindow();
    }
    const auto closeSplash = [&] {
        if (splash)
            splash->hideWindow();
        splash.reset();
    };
    QString startKey;
    try {
        GetDB();
        CUpdateDatabase::checkAtStartUp();
        StartUserInterface();
        if (g_frmSysTray)
            g_frmSysTray->setUpdateTimerEnabled(false);
        g_fMarkOutDue = true;
        g_lLastUpdated = -1;
        InitialiseClient(m_connection);
        CloseADOConnection(m_connection);
        if (doLogin)
            LoginUser();
        UpdateGroupList(m_connection);
        startKey = startNodeKey();
        openStartNode(startKey);
        applySystemSwitches();
        CloseADOConnection(m_connection);
        closeSplash();
        ShowMainWindow();
        // Showing the window puts the plain title back; the user and his
        // status belong in it from the start.
        if (g_oClientHnd)
            g_oClientHnd->SetFrameCaption();
        initOutLookSettings();
    } catch (const AppError &e) {
        CloseADOConnection(m_connection);
        closeSplash();
        ErrorDialog(e.number(), e.description() + QStringLiteral(" [") + startKey + u']',
                    QStringLiteral("CClientInitialize.Initialise (%1)\r\n").arg(e.number()) + e.source());
        return false;
    }
    return true;
}

qint32 CClientInitialise::InitialiseClient(DbHandle &connection)
{
    return raisingAs(QStringLiteral("CClientInitialize.InitialiseClient"), [&] {
        CClientAdmin admin;
        admin.GetAdminOptions(g_fMarkOutOnClose, g_fEnableTimeSheets, connection);
        admin.LoadCustomStatus(connection);
        UpdateGroupList(connection);
        if (g_frmMain)
            g_frmMain->loadCustomStatusToolbarMenus();
        if (g_oClientHnd)
            g_oClientHnd->SetFrameCaption();
        if (g_frmSysTray)
            g_frmSysTray->loadCustomStatusMenus();
    });
}

qint32 CClientInitialise::UpdateGroupList(DbHandle &connection)
{
    return raisingAs(QStringLiteral("CClientInitialize.UpdateGroupList"), [&] {
        QList<CTreeNode> nodes = CTreeNode::ReadAll(connection);
        const auto hasImage = [](const QString &key) { return !g_frmMain || g_frmMain->hasTreeImage(key); };
        const NavigationTree tree = NavigationTreeBuilder::build(nodes, g_colCustomStatus, hasImage);
        g_colTreeNodes = nodes;
        if (g_frmMain) {
            g_frmMain->loadNavigationTree(tree);
            g_frmMain->ResizeNow();
        }
    });
}

void CClientInitialise::initOutLookSettings()
{
    if (g_frmMain) {
        for (int item = 1; item <= 3; ++item)
            g_frmMain->setPopupItemEnabled(item, true);
        g_frmMain->setPopupItemEnabled(4, g_fOutlook);
        g_frmMain->setToolbarButtonVisible(QStringLiteral("JRN"), g_fOutlook);
        g_frmMain->setToolbarButtonVisible(QStringLiteral("PHR"), g_fOutlook);
    }
    g_fSecureOutlook = TextIsTrue(GetSystemProperty(QStringLiteral("sec_olk")));
}

qint16 CClientInitialise::pollThresholdFor(qint16 refreshPeriod)
{
    return refreshPeriod > 0 && refreshPeriod < 60 ? refreshPeriod : qint16(30);
}

QString CClientInitialise::startNodeKey()
{
    if (!g_sCurrentNodeKey.isEmpty())
        return g_sCurrentNodeKey;
    const QString stored = SettingsKeys::DefaultBranch.read();
    return stored == Registry::missingText() || stored.isEmpty() ? SettingsKeys::DefaultBranch.defaultValue() : stored;
}

void CClientInitialise::openStartNode(const QString &key)
{
    if (!g_frmMain)
        return;
    Steps::logAndSkip(kLog, [&] {
        g_frmMain->selectTreeNode(key);
        g_frmMain->treeViewClick(key, true);
        // The status bar names the view from the start, not only after a click.
        g_frmMain->setCurrentViewMsg();
        g_frmMain->hidePopupMenu();
    });
}

void CClientInitialise::applySystemSwitches()
{
    g_fEnableChat = GetSystemProperty(QStringLiteral("enb_cht"), m_connection) == QLatin1String("true");
    if (g_frmMain)
        g_frmMain->refreshEnableChat();
    // From here on the system switch alone decides whether the calendar link is on.
    g_fOutlook = GetSystemProperty(QStringLiteral("enb_olk"), m_connection) == QLatin1String("true");
}

void CClientInitialise::LoginUser()
{
    bool signedIn = false;
    try {
        signedIn = signIn();
    } catch (const AppError &e) {
        // Whatever failed, the user must not be offered the new-user dialog
        // (he may well exist): the log-in ends here.
        CloseADOConnection(m_connection);
        showLoginError(e);
        CloseDownApplication(1);
        return;
    }
    if (signedIn)
        loadSignedInUser();
}

// Finds the desktop user among the active users, creating him through the
// options dialog when he is not there. False when the row found has no id.
bool CClientInitialise::signIn()
{
    const QString loginName = desktopUserName();
    g_oCurrentUser.LoginName = loginName;
    bool storeName = false;
    for (bool found = false; !found;) {
        if (!lookUpUser(loginName, found))
            return false;
        const QString stored = SettingsKeys::LoginName.read();
        storeName = stored == Registry::missingText() || stored.compare(loginName, Qt::CaseInsensitive) != 0;
        if (found)
            break;
        // Where no dialog could create him, asking again would never end.
        if (g_userEditor->EditUserProperties(true, loginName, false, false, true, false) != ErrNo::Success)
            throw AppError(10003, QStringLiteral("Login"),
                           QStringLiteral("No user could be created for ") + loginName);
    }
    if (storeName)
        SaveLoginName(loginName);
    return true;
}

bool CClientInitialise::lookUpUser(const QString &loginName, bool &found)
{
    const RecordSet rs = OpenADORecordSet(
        m_connection,
        QStringLiteral("SELECT SO.UserID FROM STAFF_OPTIONS SO, STAFF_STATUS SS "
                       "WHERE (SO.LoginName = ?) AND (SS.UserID = SO.UserID) AND (SS.IsActive = 1) "
                       "ORDER BY SO.UserID"),
        true, {EncodeQuotes(loginName.toUpper())});
    found = false;
    if (rs.eof())
        return true;
    // A name shared from before names were checked: the first user signs
    // in, the same one at every start.
    if (rs.recordCount() > 1)
        WriteDebugLog(QStringLiteral("Login name %1 belongs to %2 active users; user %3 signed in")
                          .arg(loginName.toUpper())
                          .arg(rs.recordCount())
                          .arg(rs.integer(QStringLiteral("UserID"))));
    if (rs.isNull(QStringLiteral("UserID"))) {
        g_lUserID = 0;
        return false;
    }
    g_lUserID = qint32(rs.integer(QStringLiteral("UserID")));
    found = g_lUserID > 0;
    return true;
}

// Marks the user In and loads his record, options and rights. Each step that
// fails is skipped.
void CClientInitialise::loadSignedInUser()
{
    Steps::logAndSkip(kLog, [&] {
        double outTime = Clock::nowDays();
        double dueBack = outTime;
        if (g_oClientHnd)
            g_oClientHnd->UpdateStatus(g_lUserID, BuiltInStatus::In, QString(), outTime, dueBack, false, false,
                                       m_connection);
    });
    UserRecord user;
    QList<CTreeNode> groups;
    const bool haveUser = Steps::logAndSkip(kLog, 
        [&] { CClientAdmin().ReadUser(g_lUserID, user, groups, g_vQuickNotes, m_connection); });
    bool outlookAllowed = false;
    Steps::logAndSkip(kLog, [&] { outlookAllowed = TextIsTrue(GetSystemProperty(QStringLiteral("enb_olk"), m_connection)); });
    if (haveUser)
        copyToGlobals(user, outlookAllowed);
    if (g_frmSysTray)
        g_frmSysTray->setPollThreshold(pollThresholdFor(g_oUserProperties.RefreshPeriod));
    SetLanguage(g_oUserProperties.Language);
    if (!g_oCurrentUser.Admin) {
        if (g_frmMain)
            g_frmMain->DisableAdminMenu();
        g_fMarkOutDue = false;
    }
    if (g_oClientHnd)
        g_oClientHnd->SetFrameCaption();
    if (g_frmSysTray)
        g_frmSysTray->RefreshIcon(g_oCurrentUser.IsIn);
}

void CClientInitialise::copyToGlobals(const UserRecord &user, bool outlookAllowed)
{
    g_oCurrentUser.RealName = user.RealName;
    g_oCurrentUser.Email = user.Email;
    g_oCurrentUser.UserID = user.UserID;
    g_bOnClose = user.OnClose;
    g_bOnListDblClick = user.OnListDblClick;
    // "-admin" on the command line stays in force.
    g_oCurrentUser.Admin = user.Admin || g_oCurrentUser.Admin;
    g_oUserProperties.WorkStartTime = user.WorkStartTime;
    g_oUserProperties.LunchTimePeriod = user.LunchTimePeriod;
    g_fOutlook = user.Outlook && outlookAllowed;
    g_fCanChangeStatus = user.ChangeStatus;
    g_fFastUpdates = user.FastUpdates;
    g_fTimesheet = user.Timesheet;
    g_oUserProperties.BreakPeriod = user.BreakPeriod;
    g_oUserProperties.RefreshPeriod = user.RefreshPeriod;
    g_oUserProperties.Language = user.Language;
    g_fOutlookOOP = user.OutlookOOP;
    g_oUserProperties.StartMin = user.StartMin;
}

qint32 CClientInitialise::SaveLoginName(const QString &loginName)
{
    SettingsKeys::LoginName.write(loginName);
    return ErrNo::Success;
}
