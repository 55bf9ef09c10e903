#include "COptionsLoader.h"

#include "CClientAdmin.h"
#include "OptionsRegistry.h"
#include "QuickNoteRules.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"

OptionsSetup COptionsLoader::load(const Request &request)
{
    OptionsSetup setup;
    setup.isNewUser = request.newUser;
    setup.addAnother = request.addAnother;
    setup.adminEditable = request.adminEditable;
    // At the first start the name is the desktop user's: the log-in finds
    // him by it, now and at every later start.
    setup.loginEditable = !request.atLogin && (request.newUser || g_oCurrentUser.Admin);
    if (request.newUser) {
        prepareNewUser(setup, request.loginName);
    } else if (!prepareExistingUser(setup, request)) {
        setup.show = false;
        return setup;
    }
    setTabs(setup, request.self);
    if (!request.newUser && setup.userID == g_lUserID)
        prepareOwnSettings(setup);
    return setup;
}

// The first user of a new database is its administrator.
void COptionsLoader::prepareNewUser(OptionsSetup &setup, const QString &loginName)
{
    OptionsValues &v = setup.values;
    v.Admin = !anyActiveUser();
    v.LoginName = loginName;
    setup.caption = GetResString(129);
    setup.quickNotes = QuickNoteRules::newUserNotes();
    if (g_oUserProperties.LunchTimePeriod > 0)
        v.LunchText = QString::number(g_oUserProperties.LunchTimePeriod);
    v.WorkStartTime = g_oUserProperties.WorkStartTime > 0 ? g_oUserProperties.WorkStartTime : 8.5 / 24.0;
    v.OnClose = g_bOnClose;
    v.OnListDblClick = g_bOnListDblClick;
    v.Outlook = v.OutlookOOP = true;
    v.RefreshPeriod = 30;
}

bool COptionsLoader::prepareExistingUser(OptionsSetup &setup, const Request &request)
{
    if (request.self)
        setup.userID = g_lUserID;
    else if (request.selectedKey.startsWith(QLatin1String("USR"), Qt::CaseInsensitive))
        setup.userID = KeyToId(request.selectedKey);
    else
        return false;
    UserRecord user;
    DbHandle none;
    CClientAdmin().ReadUser(setup.userID, user, setup.groups, setup.quickNotes, none);
    setup.values.takeRecord(user);
    setup.caption = QStringLiteral("Options for ") + user.RealName;
    setup.firstDblClickEnabled = g_oCurrentUser.Admin || user.ChangeStatus;
    return true;
}

// Another user's options leave out this machine's display settings and the
// calendar mapping; a new user has no quick notes to edit yet.
void COptionsLoader::setTabs(OptionsSetup &setup, bool self)
{
    if (self)
        return;
    setup.tabEnabled[OptionsSetup::VisualPreferences] = false;
    setup.calendarFrameEnabled = false;
    if (setup.isNewUser)
        setup.tabEnabled[OptionsSetup::QuickSetNotes] = false;
}

// The signed-in user also sees this machine's settings. His calendar box
// shows his own choice; the system switch only decides whether he may
// change it.
void COptionsLoader::prepareOwnSettings(OptionsSetup &setup)
{
    if (!g_sCurrentNodeKey.isEmpty())
        OptionsRegistry::storeDefaultBranch(g_sCurrentNodeKey);
    OptionsRegistry::read(setup.values);
    setup.calendarAllowed = TextIsTrue(GetSystemProperty(QStringLiteral("enb_olk")));
    setup.calendarBoxEnabled = setup.calendarAllowed;
    setup.firstDblClickEnabled = g_fCanChangeStatus;
    setup.calendarFrameEnabled = setup.values.Outlook && setup.calendarAllowed;
}

bool COptionsLoader::anyActiveUser()
{
    DbHandle none;
    const RecordSet rs =
        OpenADORecordSet(none, QStringLiteral("SELECT COUNT(*) AS n FROM STAFF_STATUS WHERE IsActive = 1"));
    CloseADOConnection(none);
    return !rs.eof() && rs.integer(QStringLiteral("n")) > 0;
}
