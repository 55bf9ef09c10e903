#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "admin/COptionsEditor.h"
#include "admin/COptionsSaver.h"
#include "admin/frmAddGroup.h"
#include "admin/frmAdminOptions.h"
#include "admin/frmCustomStatus.h"
#include "admin/frmOptions.h"
#include "admin/frmStatusChange.h"
#include "datetime/ucDateTime.h"
#include "admin/GroupMembership.h"
#include "admin/IUserOptionsHost.h"
#include "admin/PageList.h"
#include "admin/StatusComboItems.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/ICalendarWatcherFactory.h"
#include "platform/calendar/CalendarSettings.h"
#include "foundation/NavigationTree.h"
#include "foundation/StringTable.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"
#include "status/CClientHnd.h"
#include "status/IconStrip.h"

#include <QtTest>
#include <QtWidgets>

// Stand-ins for the windows the options dialog talks to, and a database
// with the users and groups its tests edit.

class OptionsHostWindow : public StubMainWindow, public IUserOptionsHost
{
public:
    QString selectedListItemKey() const override { return selectedKey; }
    void setAdminMenuEnabled(bool on) override { calls << QStringLiteral("admin menu %1").arg(on); }
    void setListIconSize(int pixels) override { calls << QStringLiteral("icons %1").arg(pixels); }
    QIcon smallImage(const QString &) const override { return QIcon(); }
    void populateMenuStrings() override { calls << QStringLiteral("menu strings"); }
    void loadNavigationTree(const NavigationTree &) override { calls << QStringLiteral("tree"); }
    void treeViewClick(const QString &key, bool force) override { calls << "click " + key + (force ? "!" : ""); }
    bool setUserItemText(const QString &, int, const QString &) override { return true; }

    QString selectedKey;
    QStringList calls;
};

// A user as the options read him, with his quick notes.
inline UserRecord readUser(qint32 userID, QuickNoteTable *notes = nullptr)
{
    UserRecord user;
    QList<CTreeNode> groups;
    QuickNoteTable read;
    DbHandle none;
    CClientAdmin().ReadUser(userID, user, groups, notes ? *notes : read, none);
    return user;
}

class RecordingWatcher : public ICalendarWatcher
{
public:
    void Start(qint32) override {}
    void CloseDown() override { ++closedDown; }
    int closedDown = 0;
};

// A fresh database with group nodes 30 "Sales" and 40 "Support" and a web
// node 50 beside the standard tree, the signed-in user 1 and user 2 (in
// Sales), and the program's globals for user 1.
// In a data-driven test function: a fresh world on the row's engine.
#define OPEN_OPTIONS_WORLD(world) \
    FETCH_ENGINE();               \
    OptionsWorld world(postgres, QStringLiteral("options_") + QTest::currentTestFunction())

class OptionsWorld
{
public:
    static constexpr qint32 kMe = 1;
    static constexpr qint32 kOther = 2;

    OptionsWorld(bool postgres, const QString &name) : db(postgres, name)
    {
        struct Node { int id; const char *type; const char *name; };
        for (const Node &n : {Node{30, "GRP", "Sales"}, Node{40, "GRP", "Support"}, Node{50, "WEB", "Intranet"}})
            db.exec(QStringLiteral("INSERT INTO TreeNode (ID, ParentID, Name, NodeType) VALUES (?, 0, ?, ?)"),
                    {n.id, QString::fromLatin1(n.name), QString::fromLatin1(n.type)});
        addUser(kMe, QStringLiteral("ME"), QStringLiteral("Me Myself"));
        addUser(kOther, QStringLiteral("OTHER"), QStringLiteral("Anne Other"));
        db.exec(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (2, 30)"));
        db.exec(QStringLiteral("UPDATE idmanager SET id = 2 WHERE tablename = 'userid'"));
        g_colTreeNodes = CTreeNode::ReadAll();
        SetLanguage(QStringLiteral("ENU"));
        g_lUserID = kMe;
        g_oCurrentUser = CUser();
        g_oCurrentUser.UserID = kMe;
        g_oCurrentUser.Admin = true;
        g_oUserProperties = CUserProperties();
        g_vQuickNotes = QuickNoteTable();
        g_fOutlook = g_fOutlookOOP = g_fCanChangeStatus = g_fMyRowLoaded = g_fRefreshNeeded = false;
        g_bOnClose = g_bOnListDblClick = 0;
        g_lLastUpdated = 100;
        g_sCurrentNodeKey.clear();
        g_frmSysTray.reset(tray = new StubTrayWindow);
        g_frmMain.reset(main = new OptionsHostWindow);
        g_oClientHnd = std::make_unique<CClientHnd>();
    }
    ~OptionsWorld()
    {
        g_frmMain.reset();
        g_frmSysTray.reset();
        g_oClientHnd.reset();
        SetLanguage(QStringLiteral("ENU"));
    }

    void addUser(qint32 id, const QString &login, const QString &name)
    {
        db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive, MobilePh) "
                               "VALUES (?, ?, 'INN', ?, 1, '0700')"),
                {id, name, id});
        db.exec(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Admin, ChangeStatus, Outlook, "
                               "OutlookOOP, LunchTimePeriod, BreakPeriod, RefreshPeriod, Language, OnClose, "
                               "OnListDblClick, StartMin, WorkStartTime) "
                               "VALUES (?, ?, 1, 1, 1, 1, 45, 10, 20, 'ENU', 1, 0, 0, '08:30:00')"),
                {id, login});
    }

    // Group ids of a user's UserGroup rows, duplicates included, ascending.
    QStringList groupRows(qint32 userID)
    {
        return db.rows(QStringLiteral("SELECT GroupID FROM UserGroup WHERE UserID = %1 ORDER BY GroupID").arg(userID));
    }

    TestDatabase db;
    StubTrayWindow *tray = nullptr;
    OptionsHostWindow *main = nullptr;

};

namespace {

const QString kStoredApostrophe = QString(QChar(8));

// A save request holding the user's record as it is stored.
COptionsSaver::Request requestFor(qint32 userID)
{
    COptionsSaver::Request request;
    request.values.takeRecord(readUser(userID, &request.quickNotes));
    request.userID = userID;
    return request;
}

CTreeNode group(qint32 id)
{
    CTreeNode node;
    node.ID = id;
    node.NodeType = QStringLiteral("GRP");
    node.Name = QStringLiteral("Group %1").arg(id);
    return node;
}

using Changes = QList<GroupMembership::Change>;

using Runner = COptionsEditor::Runner;

// Opens the dialog through the editor, lets the runner drive it and gives
// the result; -1 when the program ended.
int edit(const Runner &runner, bool newUser, bool self, bool atLogin = false, bool addAnother = false)
{
    COptionsEditor editor(runner);
    try {
        // At log-in the new user cannot make himself an administrator.
        return editor.EditUserProperties(newUser, QStringLiteral("newbie"), !atLogin, self, atLogin, addAnother);
    } catch (const ProgramEnded &) {
        return -1;
    }
}

// Friday 4 December 2026, 23:40: a lunch from now ends tomorrow.
const QDateTime kLateFriday(QDate(2026, 12, 4), QTime(23, 40));

QString stamp(double days)
{
    return days == 0 ? QStringLiteral("-") : DateUtil::fromDays(days).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// "2" clicks the tool-bar button at index 2; "m:XX2" the drop-down item XX2.
void choose(frmStatusChange &dialog, const QString &action)
{
    if (action.startsWith(QLatin1String("m:")))
        dialog.statusMenuClicked(action.mid(2));
    else
        dialog.statusButtonClicked(action.toInt());
}

// The codes the calendar check applies for free, busy, tentative and out of
// office: the combos' order.
QStringList calendarCodes()
{
    QStringList codes;
    for (BusyStatus busy : {BusyStatus::Free, BusyStatus::Busy, BusyStatus::Tentative, BusyStatus::OutOfOffice})
        codes << CalendarSettings::statusFor(busy);
    return codes;
}

QList<IconSelector::Picture> pictures(const QStringList &keys)
{
    QList<IconSelector::Picture> list;
    for (const QString &key : keys)
        list.append({key, QIcon()});
    return list;
}

} // namespace

class tst_Options : public QObject
{
    Q_OBJECT
private slots:
    void statusDialog()
    {
        OptionsWorld world(false, "options_proposals");
        Clock::pin(kLateFriday);
        g_oUserProperties.LunchTimePeriod = 30;
        g_oUserProperties.BreakPeriod = 15;
        g_oUserProperties.WorkStartTime = 9.0 / 24;
        g_vQuickNotes.rows[3].note = "Lunch";
        g_vQuickNotes.rows[6].note = "Home";
        world.db.exec("INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (2, 3, 'Eating')");
        const QString opened = "2026-12-05 00:40"; // now + 60 minutes, into Saturday
        // 1 himself, 2 a colleague, 0 several, 99 an unreadable colleague (last: he is logged once);
        // the button or menu item, the note typed; the note and due-back time proposed
        const struct { int target; const char *action, *typed, *note; QString dueBack; } rows[] = {
            {1, "2", "", "Lunch", "2026-12-05 00:10"},     {1, "7", "", "", "2026-12-04 23:55"},
            {1, "3", "", "Home", "2026-12-07 09:00"},      {1, "2", "typed", "typed", opened},
            {1, "3", "typed", "typed", "2026-12-07 09:00"}, {1, "1", "", "", opened},
            {1, "m:XX2", "", "", opened},                  {2, "2", "", "Eating", "2026-12-05 00:25"},
            {2, "7", "", "", "2026-12-04 23:50"},          {2, "3", "", "", "2026-12-07 08:30"},
            {2, "3", "typed", "typed", opened},            {0, "2", "", "Lunch", "2026-12-05 00:10"},
            {99, "2", "", "", opened}};
        for (const auto &r : rows) {
            frmStatusChange dialog;
            dialog.setTargetUserID(r.target);
            dialog.setOwnStatus(r.target == 1);
            dialog.setNote(QLatin1String(r.typed));
            choose(dialog, QLatin1String(r.action));
            const QString row = QStringLiteral("%1 %2 %3: ").arg(r.target).arg(r.action, r.typed);
            QCOMPARE(row + dialog.note() + u'|' + stamp(dialog.dueBack()), row + r.note + u'|' + r.dueBack);
            choose(dialog, QLatin1String(r.action)); // the colleague is read once, even when he could not be
            QCOMPARE(readTextFile(world.db.env.path("logs/error.log")).count("loadColleague"), r.target == 99 ? 1 : 0);
        }

        // Its times, its menus and the calendar box.
        g_colCustomStatus = {CStatus{"In & about", "XX2", "I", "INN"}, CStatus{"Site", "XX3", "O", "OUT"},
                             CStatus{"Desk", "XX4", "Q", "MTG"}};
        frmStatusChange dialog;
        g_colCustomStatus.clear();
        QStringList menus; // the custom statuses under their kinds' buttons
        for (const char *key : {"INN", "OUT", "MTG", "LNC"}) {
            const QMenu *menu = dialog.findChild<QToolButton *>(key)->menu();
            QStringList items;
            for (const QAction *item : menu ? menu->actions() : QList<QAction *>())
                items << item->objectName() + "=" + item->text();
            menus << items.join(',');
        }
        QCOMPARE(menus, QStringList({"XX2=In && about", "XX3=Site",
                                     "MTA=Available,MTD=Do not Disturb,MTO=Out of Office,MTT=Tentative,XX4=Desk", ""}));
        dialog.setTargetUserID(OptionsWorld::kOther);
        dialog.setAddToOutlook(true, true, true);
        auto *calendar = dialog.findChild<QCheckBox *>("chkAddToOutLook");
        auto *invite = dialog.findChild<QCheckBox *>("chkInviteAttendees");
        QVERIFY(invite->isEnabled());
        for (const char *spin : {"IncStartDateDown", "IncStartDateDown", "IncStartDateDown"})
            dialog.findChild<QToolButton *>(spin)->click();
        QCOMPARE(stamp(dialog.outTime()) + " " + stamp(dialog.dueBack()), "2026-12-04 22:10 2026-12-04 23:10");
        for (const char *spin : {"IncEndDateUp", "IncEndDateUp"})
            dialog.findChild<QToolButton *>(spin)->click();
        QCOMPARE(stamp(dialog.dueBack()), "2026-12-05 00:10");

        dialog.setOwnStatus(true);
        dialog.statusMenuClicked("MTA"); // a menu click leaves the calendar box alone
        QVERIFY(calendar->isChecked());
        dialog.statusButtonClicked(0);    // In
        QCOMPARE(stamp(dialog.outTime()) + " " + stamp(dialog.dueBack()), "- -");
        QVERIFY(!calendar->isEnabled() && !calendar->isChecked() && !invite->isEnabled() && !invite->isChecked());
        dialog.statusButtonClicked(1);
        QVERIFY(!calendar->isEnabled());

        auto *dueBack = dialog.findChild<ucDateTime *>("EndTime")->findChild<QLineEdit *>("Text2");
        QTest::keyClicks(dueBack, "9:");
        dialog.findChild<QPushButton *>("cmdOK")->click(); // refused, not taken for no due-back time
        QCOMPARE(world.db.env.prompt.asked.value(0).text, "Due Back: \"9:\" is not a valid time.");
        QTest::keyClick(dueBack, Qt::Key_End); // the box was selected for retyping
        QTest::keyClicks(dueBack, "00 AM");
        g_oUserProperties.LunchTimePeriod = 30; // his colleague's lunch is 45 minutes
        dialog.setNote("Back [end of lunch period]");
        dialog.findChild<QPushButton *>("cmdOK")->click(); // tokens are the signed-in user's
        QCOMPARE(dialog.note(), "Back 12:10 AM");
        QVERIFY(!dialog.Cancelled);
        dialog.show();
        dialog.close(); // the close box counts as Cancel
        QVERIFY(dialog.Cancelled);
        Clock::unpin();
    }

    void iconStrip()
    {
        IconSelector strip;
        QCOMPARE(strip.getSelectedIconKey(), QString()); // empty strip
        QStringList keys;
        for (int i = 0; i < 25; ++i)
            keys << (i == 7 ? QStringLiteral("INN") : QStringLiteral("K%1").arg(i));
        strip.InitializeIcons(pictures(keys));
        auto *scroll = strip.findChild<QScrollBar *>("HScroll1");
        QCOMPARE(scroll->maximum(), 24);
        scroll->setValue(20);
        const int p = IconStrip::kParked;
        QList<int> lefts;
        for (int i : {0, 1, 18, 19, 20, 21, 22, 23, 24})
            lefts << strip.pictureLeft(i);
        QCOMPARE(lefts, QList<int>({p, p, p, p, 60, 660, 1260, 1860, 2460}));

        strip.SelectIconByKey("inn"); // case counts: no match, the first picture
        QCOMPARE(strip.selectedIndex() * 1000 + scroll->value(), 0);
        QCOMPARE(strip.markerLeft(), 40);
        strip.SelectIconByKey("INN");
        QCOMPARE(strip.getSelectedIconKey() + QString::number(scroll->value()), "INN7");
        QCOMPARE(strip.markerLeft(), 40);
        strip.SelectIconByKey("INN"); // already first: laid out again in place
        QCOMPARE(scroll->value() * 100 + strip.markerLeft(), 740);

        QSignalSpy changed(&strip, &IconSelector::IconChanged);
        strip.findChild<QToolButton *>("Image1_9")->click();
        QCOMPARE(changed.value(0).value(0).toInt(), 9);
        QCOMPARE(strip.markerLeft(), 1240);

        strip.InitializeIcons(pictures(keys.mid(0, 3))); // a second list replaces the first
        QCOMPARE(scroll->maximum(), 2);
        QCOMPARE(strip.findChildren<QToolButton *>().size(), 3);
        strip.InitializeIcons({});
        QCOMPARE(strip.getSelectedIconKey(), QString());
    }

    void customStatusWindow()
    {
        OptionsWorld world(false, "options_custom_status");
        g_colCustomStatus.clear();
        frmCustomStatus window(pictures({"INN", "OUT", "MTG", "LNC"}));
        auto *name = window.findChild<QLineEdit *>("txtNewStatus");
        auto *add = window.findChild<QPushButton *>("cmdAdd");
        auto *remove = window.findChild<QPushButton *>("cmdRemove");
        auto *strip = window.findChild<IconSelector *>("IconSelector1");
        auto *list = window.findChild<QListWidget *>("lvwStatus");
        name->setText("   ");
        QVERIFY(!add->isEnabled());
        window.findChild<QRadioButton *>("optType1")->click();
        QCOMPARE(strip->getSelectedIconKey(), "OUT"); // follows the type
        strip->findChild<QToolButton *>("Image1_3")->click();
        window.findChild<QRadioButton *>("optType2")->click();
        QCOMPARE(strip->getSelectedIconKey(), "LNC"); // until the user picks one
        name->setText(" Client's site ");
        add->click();
        QCOMPARE(world.db.rows("SELECT id, description, status_type, Icon FROM Custom_Status"),
                 QStringList({"XX2|Client" + kStoredApostrophe + "s site|M|LNC"}));
        QVERIFY(!add->isEnabled());
        QCOMPARE(list->count(), 1);
        window.findChild<QRadioButton *>("optType0")->click();
        QCOMPARE(strip->getSelectedIconKey(), "INN"); // follows the type again

        list->setCurrentRow(0);
        QVERIFY(remove->isEnabled());
        world.db.exec("UPDATE STAFF_STATUS SET IsIn = 'XX2' WHERE UserID = 2");
        remove->click();
        QVERIFY(!remove->isEnabled() && list->count() == 0 && g_colCustomStatus.isEmpty());
        QCOMPARE(world.db.value("SELECT IsIn FROM STAFF_STATUS WHERE UserID = 2").toString().trimmed(), "OUT");

        world.db.exec("UPDATE idmanager SET id = 255 WHERE tablename = 'status'");
        name->setText("One too many");
        add->click();
        QCOMPARE(world.db.env.prompt.asked.value(0).text, frmCustomStatus::limitMessage());
        QCOMPARE(list->count(), 0);
    }

    void nodeDialogAddsAndEdits_data() { addEngineRows(); }
    void nodeDialogAddsAndEdits()
    {
        OPEN_OPTIONS_WORLD(world);
        const QList<IconSelector::Picture> icons = pictures({"ORBIT", "INN", "MTG"});
        const QString name = "O'Neil 100% sure_" + QString(23, u'x'); // the column's 40
        frmAddGroup dialog(icons);
        dialog.newNode(30);
        QCOMPARE(QStringList({dialog.txtName->text(), dialog.IconSelector1->getSelectedIconKey(), dialog.cboType->currentText()}),
                 QStringList({"<new>", "INN", "User Group"}));
        QVERIFY(dialog.txtURL->isReadOnly());
        dialog.cboType->setCurrentIndex(3);
        QVERIFY(!dialog.txtURL->isReadOnly());
        dialog.txtURL->setText(" http://intranet/ ");
        dialog.cboType->setCurrentIndex(0);
        QVERIFY(dialog.txtURL->isReadOnly());
        dialog.txtName->setText(name);
        const int id = world.db.value("SELECT id FROM idmanager WHERE tablename = 'trnode'").toInt() + 1;
        const qsizetype nodes = g_colTreeNodes.size();
        dialog.OK->click();
        QVERIFY(!dialog.Cancel && dialog.isHidden());
        const QString row = QString::number(id) + "|30|GRP|http://intranet/|INN";
        QCOMPARE(world.db.rows(QStringLiteral("SELECT ID, ParentID, NodeType, URL, Icon FROM TreeNode WHERE ID = %1").arg(id)),
                 QStringList{row});
        QCOMPARE(FindTreeNode(CTreeNode::treeKeyOf(id))->Name, name);

        frmAddGroup edit(icons);
        edit.populateForm(id);
        QCOMPARE(QStringList({edit.txtName->text(), edit.txtURL->text(), edit.IconSelector1->getSelectedIconKey()}),
                 QStringList({name, "http://intranet/", "INN"}));
        edit.cboType->setCurrentIndex(2);
        edit.txtToolTip->setText("Floor 2");
        edit.OK->click();
        CTreeNode read;
        read.Read(id);
        QCOMPARE(QStringList({read.Key(), read.Name, read.ToolTip}), QStringList({"BRH" + QString::number(id), name, "Floor 2"}));
        QCOMPARE(g_colTreeNodes.size(), nodes + 1);
        QCOMPARE(FindTreeNode(read.TreeKey())->ToolTip, "Floor 2");
    }

    void adminOptionsShownAndRightsApplied()
    {
        OptionsWorld world(false, "admin_options_shown");
        world.db.exec("UPDATE Properties SET pvalue = CASE pkey WHEN 'enb_olk' THEN 'False' WHEN 'sec_olk' THEN 'TRUE' "
                      "ELSE '14000' END WHERE pkey IN ('enb_olk', 'sec_olk', 'port_send')");
        const auto stored = [&] { return world.db.rows("SELECT * FROM Properties") + world.db.rows("SELECT * FROM ADMIN"); };
        const QStringList before = stored();
        const int changeStatus = world.db.value("SELECT ChangeStatus FROM STAFF_OPTIONS WHERE UserID = 2").toInt();
        CClientAdmin().EditAdminOptions([&](frmAdminOptions &form) {
            QCOMPARE(form.SSTab1->tabText(2), "User Security");
            QVERIFY(form.chkEnableOutlook->isChecked() && !form.chkSecureOutlook->isChecked());
            QCOMPARE(form.List1->count(), 2); // every active user
            // The security page opens with no user chosen, even when the Tab key reaches the list.
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form, stretched(5000)));
            form.SSTab1->setCurrentIndex(2);
            form.List1->setFocus(Qt::TabFocusReason);
            QVERIFY(form.List1->hasFocus() && form.List1->selectedItems().isEmpty());
            for (QWidget *box : QList<QWidget *>{form.chkAdmin, form.chkChangeStatus, form.cmdApply})
                QVERIFY2(!box->isEnabled(), qPrintable(box->objectName()));
            QTest::keyClick(form.List1, Qt::Key_Down); // selects
            QVERIFY(form.chkAdmin->isEnabled() && !form.cmdApply->isEnabled());
            form.List1->setCurrentRow(1);
            form.chkChangeStatus->click();
            form.cmdApply->click();
            form.cmdResetPorts->click();
            QCOMPARE(form.txtSendPort->text(), "13905");
            form.cmdCancel->click();
        });
        QCOMPARE(stored(), before);
        QCOMPARE(world.db.value("SELECT ChangeStatus FROM STAFF_OPTIONS WHERE UserID = 2").toInt(), 1 - changeStatus);
    }

    void adminPorts()
    {
        OptionsWorld world(false, "admin_ports");
        const auto ports = [&] {
            return world.db.rows("SELECT pvalue FROM Properties WHERE pkey LIKE 'port%' ORDER BY pkey");
        };
        // send, listen, the refusals' titles
        const QList<QStringList> rows = {{"1024", "40000", ""},
                                         {"65535", " 13910 ", ""}, // blanks around
                                         {"1023", "40000", "Send Port Error"},
                                         {"40000", "65536", "Listener Port Error"},
                                         {"abc", "", "Send Port Error,Listener Port Error"},
                                         {"13910.4", "40000", "Send Port Error"},
                                         {"40000", " 40000", "Port Error"}};
        for (const QStringList &row : rows) {
            const QStringList before = ports();
            world.db.env.prompt.asked.clear();
            CClientAdmin().EditAdminOptions([&](frmAdminOptions &form) {
                form.show();
                form.txtSendPort->setText(row[0]);
                form.txtListenPort->setText(row[1]);
                form.cmdOK->click();
                QCOMPARE(form.isVisible(), !row[2].isEmpty());
            });
            QStringList titles;
            for (const ScriptedPrompt::Asked &asked : std::as_const(world.db.env.prompt.asked))
                titles << asked.title;
            QCOMPARE(titles.join(u','), row[2]);
            QCOMPARE(ports(), row[2].isEmpty() ? QStringList({row[1].trimmed(), row[0].trimmed()}) : before);
        }
    }

    void adminOptionsWriteTogether_data() { addEngineRows(); }
    void adminOptionsWriteTogether()
    {
        OPEN_OPTIONS_WORLD(world);
        world.db.exec("DELETE FROM ADMIN");
        world.db.exec("DELETE FROM Properties WHERE pkey = 'enb_cht'");
        g_fMarkOutOnClose = g_fEnableChat = false;
        g_fEnableTimeSheets = true;
        const auto properties = [&] { return world.db.rows("SELECT pkey, pvalue FROM Properties ORDER BY pkey"); };
        QStringList expected = properties().replaceInStrings("port_lstn|13909", "port_lstn|40000") << "enb_cht|true";
        expected.sort();
        int shown = 0;
        CClientAdmin().EditAdminOptions([&](frmAdminOptions &form) {
            if (++shown == 1) {
                form.chkMarkOut->setChecked(true);
                form.chkEnableChat->setChecked(true);
                form.txtListenPort->setText("40000");
                world.db.exec("ALTER TABLE Properties RENAME TO PropertiesAway"); // fails after ADMIN is written
            } else {
                world.db.exec("ALTER TABLE PropertiesAway RENAME TO Properties");
                QVERIFY(!g_fMarkOutOnClose && !g_fEnableChat);
                QVERIFY(world.db.rows("SELECT * FROM ADMIN").isEmpty());
            }
            form.cmdOK->click();
        });
        QCOMPARE(shown, 2); // back with what was entered after the failure
        QCOMPARE(world.db.env.errorWindow.shown.size(), 1);
        QCOMPARE(properties(), expected); // the listen port alone among the ports
        QCOMPARE(world.db.rows("SELECT ID, MarkOutOnClose, EnableTimeSheets FROM ADMIN"), QStringList({"1|1|1"}));
        QVERIFY(g_fMarkOutOnClose && g_fEnableChat);
    }

    void groupChangesAreTheDifference()
    {
        GroupMembership groups;
        groups.addStored(group(3));
        QVERIFY(groups.changes().isEmpty());
        QCOMPARE(groups.joined()[0].Icon, QStringLiteral("Qel")); // no icon of its own

        QVERIFY(groups.join(group(4)) && !groups.join(group(4))); // already in the list
        QVERIFY(groups.leave(4)); // joined and left again: nothing to store
        QVERIFY(groups.changes().isEmpty());
        QVERIFY(groups.join(group(4)));

        QVERIFY(groups.leave(3)); // left a group he had, no join recorded before
        QCOMPARE(groups.changes(), (Changes{{4, "ADD"}, {3, "DEL"}}));
        QVERIFY(groups.join(group(3))); // and back in: he keeps it, no second row
        QCOMPARE(groups.changes(), (Changes{{4, "ADD"}}));
        QVERIFY(!groups.leave(9));
        groups.markSaved();
        QVERIFY(groups.changes().isEmpty());
    }

    void minutesAreWholeNumbersInRange()
    {
        QCOMPARE(OptionsValues::parseMinutes(QStringLiteral("32767")), std::optional<qint16>(32767));
        for (const char *bad : {"abc", "", " ", "-1", "32768", "12.5", "1e3", "99999999999"})
            QVERIFY2(!OptionsValues::parseMinutes(QLatin1String(bad)), bad);
    }

    void apostrophesRoundTrip_data() { addEngineRows(); }
    void apostrophesRoundTrip()
    {
        OPEN_OPTIONS_WORLD(world);
        COptionsSaver::Request request = requestFor(OptionsWorld::kOther);
        request.values.RealName = "Seán O'Brien";
        request.values.MobilePh = "07'700 900";
        request.values.PhExtension = "ext '12";
        request.values.LunchText = " 50 ";
        request.values.OnClose = OptionsValues::NoChoice;
        request.quickNotes.rows[4] = {"Coffee's on", false};
        COptionsSaver().saveOptions(request);

        const UserRecord user = readUser(OptionsWorld::kOther);
        QCOMPARE(QStringList({user.RealName, user.MobilePh, user.PhExtension}),
                 QStringList({"Seán O'Brien", "07'700 900", "ext '12"}));
        QVERIFY(user.LunchTimePeriod == 50 && user.OnClose == 0); // none chosen
        QCOMPARE(world.db.value("SELECT MobilePh FROM STAFF_STATUS WHERE UserID = 2").toString(),
                 "07" + kStoredApostrophe + "700 900");
        // The phone columns took a new change counter.
        QCOMPARE(world.db.value("SELECT LastUpdated FROM STAFF_STATUS WHERE UserID = 2").toInt(), 3);
        // Again, the note still marked new: no second row. Meanwhile someone
        // else put him in Support already: one row each there too.
        world.db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (2, 40)");
        request.groupChanges = {{40, "ADD"}, {30, "DEL"}, {50, ""}};
        COptionsSaver().saveOptions(request);
        QCOMPARE(world.db.value("SELECT COUNT(*) || MAX(QuickNote) FROM QUICKNOTES WHERE UserID = 2").toString(),
                 "1Coffee" + kStoredApostrophe + "s on");
        QCOMPARE(world.groupRows(OptionsWorld::kOther), QStringList{"40"});
    }

    void ownOptionsReachTheRunningProgram_data() { addEngineRows(); }
    void ownOptionsReachTheRunningProgram()
    {
        OPEN_OPTIONS_WORLD(world);
        world.db.exec("UPDATE STAFF_OPTIONS SET Outlook = 0 WHERE UserID = 1");
        g_fOutlook = g_fOutlookOOP = true;
        auto watcher = std::make_unique<RecordingWatcher>();
        RecordingWatcher *watching = watcher.get();
        g_oClientHnd->m_OutLookClient = std::move(watcher);
        g_vUserList = {CUser(), CUser()};
        g_lMyRowIndex = 1;
        g_fMyRowLoaded = true;

        COptionsSaver::Request request = requestFor(OptionsWorld::kMe);
        request.values.RealName = "Me Renamed";
        request.values.RefreshPeriod = 60;
        request.values.Language = "FRA";
        request.values.Admin = false;
        request.values.LargeIcons = true;
        request.values.ShowColumn[3] = false;
        request.quickNotes.rows[2].note = "Out and about";
        // A save failing at its last table changes nothing, stored or running.
        world.db.exec("ALTER TABLE UserGroup RENAME TO UserGroupAway");
        request.groupChanges = {{30, "ADD"}};
        QVERIFY_THROWS_EXCEPTION(AppError, COptionsSaver().saveOptions(request));
        QCOMPARE(readUser(OptionsWorld::kMe).RealName + g_oCurrentUser.RealName, QStringLiteral("Me Myself"));
        QCOMPARE(world.db.value("SELECT COUNT(*) FROM QUICKNOTES").toInt(), 0);
        QVERIFY(world.tray->pollThreshold == -1 && world.main->calls.isEmpty() && watching->closedDown == 0);
        world.db.exec("ALTER TABLE UserGroupAway RENAME TO UserGroup");
        request.groupChanges.clear();
        COptionsSaver().saveOptions(request);

        QCOMPARE(world.tray->pollThreshold, 60); // no bounds applied here
        QCOMPARE(g_lLanguageOffset, 1000);
        QCOMPARE(QStringList({g_oCurrentUser.RealName, g_vUserList[1].RealName, g_vQuickNotes.rows[2].note}),
                 QStringList({"Me Renamed", "Me Renamed", "Out and about"}));
        QVERIFY(!g_oCurrentUser.Admin && !g_fOutlook && g_fRefreshNeeded);
        QCOMPARE(watching->closedDown, 1);
        QCOMPARE(QStringList({SettingsKeys::HiddenColumn.read("OUT"), SettingsKeys::HiddenColumn.read("MOBILE")}),
                 QStringList({"True", "False"}));
        for (const char *call : {"admin menu 0", "icons 32", "tree"})
            QVERIFY2(world.main->calls.contains(QLatin1String(call)), call);
    }

    // The watcher process chosen while the calendar is checked in the program
    // begins at the next start: the user is told when he chooses it, not at
    // each later OK that leaves it chosen; chosen again after leaving it, told
    // again.
    void theWatcherForTheNextStartIsToldOncePerChoice()
    {
        OptionsWorld world(false, "options_watcher");
        g_fOutlook = true;
        COptionsSaver::Request request = requestFor(OptionsWorld::kMe);
        request.values.Outlook = true;
        const auto told = [&] {
            const auto &asked = world.db.env.prompt.asked;
            return std::count_if(asked.begin(), asked.end(), [](const auto &a) {
                return a.text == "Parallel-Process Calendar Checking will begin next time you start Qel";
            });
        };
        for (const auto &[chosen, toldSoFar] : {std::pair{false, 0}, {true, 1}, {true, 1}, {true, 1}, {false, 1},
                                                {true, 2}}) {
            request.values.OutlookOOP = chosen;
            COptionsSaver().saveOptions(request);
            QCOMPARE(told(), qsizetype(toldSoFar));
            QVERIFY(g_fOutlook && !g_fOutlookOOP); // checked in the program until then
        }
    }

    void okWithNothingChangedKeepsTheRecord()
    {
        OptionsWorld world(false, "options_ok");
        world.db.exec("UPDATE STAFF_OPTIONS SET ChangeStatus = 0, OutlookOOP = 0, LunchTimePeriod = 40, BreakPeriod = 12, "
                      "RefreshPeriod = 45, Language = 'SPN', OnClose = 3, OnListDblClick = 2, StartMin = 1, "
                      "WorkStartTime = '09:15:00' WHERE UserID = 1");
        world.db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 40)");
        world.db.exec("INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (1, 1, 'Here')");
        for (const auto &[column, value] : {std::pair{"OUT", "False"}, {"MOBILE", "True"}})
            SettingsKeys::HiddenColumn.write(QString::fromLatin1(value), QLatin1String(column));
        const QStringList before = world.db.rows("SELECT * FROM STAFF_OPTIONS WHERE UserID = 1");
        SetLanguage("FRA");
        edit([&](frmOptions &f) {
                 QCOMPARE(f.tabOptions->tabText(0), StringTable::text(1220)); // in his language
                 auto *start = f.ucStartWorkTime->findChild<QLineEdit *>("Text2");
                 QTest::keyClicks(start, "x"); // unreadable: refused, not stored as midnight
                 f.cmdOK->click();
                 QVERIFY(world.db.env.prompt.asked.value(0).text.endsWith("\"9:15 AMx\" is not a valid time."));
                 QTest::keyClick(start, Qt::Key_End); // the box was selected for retyping
                 QTest::keyClick(start, Qt::Key_Backspace);
                 QVERIFY(!f.optListDblClick[0]->isEnabled()); // he may not change others' status
                 // Hidden only where the list hides it: a column with no value shows.
                 QVERIFY(f.chkColumns[3]->isChecked() && f.chkColumns[1]->isChecked() && !f.chkColumns[0]->isChecked());
                 QVERIFY(f.optLanguage[5]->isChecked() && !f.optLanguage[5]->isEnabled());
                 QCOMPARE(f.icboGroups->count(), 3); // the user groups, not the web link
                 f.cmdOK->click();
             },
             false, true);
        QCOMPARE(world.db.rows("SELECT * FROM STAFF_OPTIONS WHERE UserID = 1"), before); // the language not offered kept too
        QCOMPARE(calendarCodes(), QStringList({"MTA", "MTG", "MTT", "MTO"})); // the calendar check's defaults
        QCOMPARE(world.groupRows(OptionsWorld::kMe), QStringList{"40"});
        QCOMPARE(world.db.value("SELECT QuickNote FROM QUICKNOTES WHERE UserID = 1").toString(), QStringLiteral("Here"));
        for (const auto &[column, hidden] : {std::pair{"MOBILE", "True"}, {"MOBILEPH", "False"}})
            QCOMPARE(SettingsKeys::HiddenColumn.read(QLatin1String(column)), QLatin1String(hidden));
        // Nothing chosen: the calendar's own defaults are shown and kept.
        QCOMPARE(QStringList({SettingsKeys::OutlookFree.read(), SettingsKeys::OutlookBusy.read(), SettingsKeys::OutlookTentative.read()}),
                 QStringList({"MTA", "MTG", "MTT"}));
        QCOMPARE(g_lLastUpdated, -1);
    }

    // Each combo, as its label names it, is stored where the calendar check
    // reads that kind: the combos' order is not the kinds' own. Settings that
    // may not be written keep what OK stored until the program ends, as the
    // user is told once; the file stays as it was.
    void calendarPageReachesTheCheck_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::newRow("written") << false;
        QTest::newRow("settings folder a link") << true;
    }
    void calendarPageReachesTheCheck()
    {
        QFETCH(bool, refused);
        OptionsWorld world(false, "options_calendar");
        const QString folder = QFileInfo(Registry::filePath(Registry::CurrentUser)).absolutePath();
        const QString real = world.db.env.path("real-config");
        if (refused)
            QVERIFY(QDir().rename(folder, real) && QFile::link(real, folder));
        const QString before = readTextFile(real + "/registry-user.ini");
        TellWhenSettingsUnsaved();
        const char *labels[] = {"FREE", "BUSY", "TENTATIVE", "OUT OF OFFICE"};
        QStringList chosen; // none of them a default, so a swap shows
        for (const QString &code : StatusComboItems::codes())
            if (!chosen.contains(code) && !QStringList({"MTA", "MTG", "MTT", "MTO"}).contains(code))
                chosen << code;
        edit([&](frmOptions &f) {
                 for (int i = 0; i < StatusComboItems::Combos; ++i) {
                     QCOMPARE(f.lblStatus[i]->text(), QLatin1String(labels[i]));
                     f.setStatusComboValue(i, chosen[i]);
                 }
                 f.txtCalendarPath->setText(" /srv/team.ics ");
                 f.cmdOK->click();
             },
             false, true);
        edit([&](frmOptions &f) {
                 QCOMPARE(f.txtCalendarPath->text(), "/srv/team.ics");
                 f.cmdCancel->click();
             },
             false, true);
        QCOMPARE(calendarCodes(), chosen.mid(0, StatusComboItems::Combos));
        if (refused)
            QCOMPARE(readTextFile(real + "/registry-user.ini"), before);
        const auto told = [&] {
            const auto &asked = world.db.env.prompt.asked;
            return std::count_if(asked.begin(), asked.end(), [](const auto &a) { return a.text.contains("not be saved"); });
        };
        QTRY_COMPARE_WITH_TIMEOUT(told(), qsizetype(refused), stretched(5000));
        Registry::onSaveFailed(nullptr);
    }

    void formInEveryLanguage()
    {
        TestEnvironment env;
        for (const char *language : {"ENU", "FRA", "GER", "ITA", "PRT", "SPN", "NED"}) {
            SetLanguage(QLatin1String(language));
            frmOptions form;
            QCOMPARE(form.getStatusComboValue(3), QStringLiteral("MTO")); // the default
            for (int combo = 0; combo < StatusComboItems::Combos; ++combo) {
                for (const QString &code : StatusComboItems::codes()) {
                    form.setStatusComboValue(combo, code);
                    QCOMPARE(form.getStatusComboValue(combo), code);
                    QCOMPARE(form.cboStatus[combo]->currentText(), GetStatusDescription(code));
                }
                form.setStatusComboValue(combo, "XQZ");
                QCOMPARE(form.getStatusComboValue(combo), StatusComboItems::codes().last());
            }
            // Every page's name is in sight, whole, without scrolling.
            form.tabOptions->setCurrentIndex(OptionsSetup::RefreshFrequency);
            form.show();
            const auto *names = form.tabOptions->findChild<QListWidget *>("pageNames");
            QVERIFY(names);
            for (int page = 0; page < OptionsSetup::Tabs; ++page) {
                const QRect place = names->visualItemRect(names->item(page));
                QVERIFY2(names->viewport()->rect().contains(place), qPrintable(names->item(page)->text()));
                QVERIFY(names->fontMetrics().horizontalAdvance(names->item(page)->text()) < place.width());
            }
            checkRefreshScale(form);
            if (QTest::currentTestFailed())
                return;
        }
        SetLanguage("ENU");
    }

    void adminBoxAndInvalidEntries()
    {
        OptionsWorld world(false, "options_buttons");
        world.main->selectedKey = QStringLiteral("USR2");
        world.db.env.prompt.answers = {IPrompt::AnswerNo};
        const auto asked = [&] { return world.db.env.prompt.asked.last().title + u'|' + world.db.env.prompt.asked.last().text; };
        edit([&](frmOptions &f) {
                 f.show();
                 f.chkAdmin->click();
                 QVERIFY(f.chkAdmin->isChecked()); // No keeps the access
                 QVERIFY(asked().startsWith(QStringLiteral("Admin Access|")));
                 QVERIFY(!f.tabOptions->isTabEnabled(OptionsSetup::VisualPreferences));
                 f.lvwGroupsJoined->setCurrentRow(0);
                 f.cmdRemoveGroup->click();
                 // Invalid entries keep the dialog open.
                 f.txtRealName->clear();
                 f.txtLoginName->setText(" ");
                 f.txtBreakPeriod->setText("ten");
                 const qsizetype questions = world.db.env.prompt.asked.size();
                 world.db.env.prompt.answers = {IPrompt::AnswerNo};
                 f.cmdOK->click(); // no group: No ends the check at once
                 QCOMPARE(world.db.env.prompt.asked.size(), questions + 1);
                 QVERIFY(asked().startsWith(QStringLiteral("Group Membership|")));
                 world.db.env.prompt.answers = {IPrompt::AnswerYes}; // save all the same
                 f.cmdOK->click();
                 QVERIFY(f.isVisible() && f.savedCount() == 0);
                 QVERIFY(asked().startsWith(QStringLiteral("Warning|")));
                 f.cmdCancel->click();
             },
             false, false);
        QCOMPARE(world.groupRows(OptionsWorld::kOther), QStringList{"30"}); // cancelled: nothing stored
        QCOMPARE(g_lLastUpdated, 100);
    }

    void saveAndAddNewTwice()
    {
        OptionsWorld world(false, "options_add");
        const auto addUser = [](frmOptions &f, const QString &name, const QString &login) {
            f.txtRealName->setText(name);
            f.txtLoginName->setText(login);
            f.cmdAddAnother->click();
            QVERIFY(f.txtRealName->text().isEmpty() && f.txtLoginName->text().isEmpty());
            QCOMPARE(f.tabOptions->currentIndex(), 0);
        };
        QCOMPARE(edit([&](frmOptions &f) {
                     QVERIFY(!f.chkAdmin->isChecked()); // there are users already
                     const int support = f.icboGroups->findText(QStringLiteral("Support"));
                     f.icboGroups->setCurrentIndex(support);
                     emit f.icboGroups->activated(support);
                     f.cmdAddGroup->click();
                     f.tabOptions->setCurrentIndex(7);
                     addUser(f, QStringLiteral("First"), QStringLiteral("first"));
                     addUser(f, QStringLiteral("Second"), QStringLiteral("second"));
                     // A name in use is refused with a warning; the dialog keeps what was typed.
                     f.txtRealName->setText(QStringLiteral("Third"));
                     f.txtLoginName->setText(QStringLiteral(" First"));
                     f.cmdAddAnother->click();
                     QCOMPARE(f.txtRealName->text() + f.txtLoginName->text(), QStringLiteral("Third First"));
                     QCOMPARE(world.db.env.prompt.asked.last().title, QStringLiteral("Login Name in Use"));
                     f.cmdCancel->click();
                 },
                      true, false, false, true),
                 ErrNo::Success);
        QCOMPARE(world.db.value("SELECT COUNT(*) FROM STAFF_STATUS").toInt(), 4);
        QCOMPARE(world.groupRows(3) + world.groupRows(4), QStringList({"40", "40"}));
        QCOMPARE(world.tray->pollThreshold, -1); // adding users touches none of his own settings
        QCOMPARE(g_lLastUpdated, -1); // saved users are read again though the dialog was cancelled
    }

    void logInCancelledOrCreatingTheFirstUser()
    {
        OptionsWorld world(false, "options_login");
        const Runner cancel = [](frmOptions &f) { f.cmdCancel->click(); };
        QCOMPARE(edit(cancel, true, false, true), -1);
        QCOMPARE(edit(cancel, true, false, false), int(ErrNo::Success)); // from the main window it goes on
        QCOMPARE(world.db.value("SELECT COUNT(*) FROM STAFF_STATUS").toInt(), 2);

        world.db.exec("UPDATE STAFF_STATUS SET IsActive = 0");
        g_frmMain.reset();
        world.db.env.prompt.answers = {IPrompt::AnswerYes}; // no group chosen: add him anyway
        QCOMPARE(edit([](frmOptions &f) {
                     QVERIFY(f.chkAdmin->isChecked() && !f.chkAdmin->isEnabled());
                     QCOMPARE(f.txtLoginName->text(), QStringLiteral("newbie"));
                     QVERIFY(!f.txtLoginName->isEnabled()); // the log-in finds him by it, even with -admin
                     f.txtRealName->setText("New O'Neil");
                     f.cmdOK->click();
                 },
                      true, false, true),
                 ErrNo::Success);
        const QVariant id = world.db.value("SELECT UserID FROM STAFF_OPTIONS WHERE LoginName = 'NEWBIE'");
        QVERIFY(id.isValid());
        QuickNoteTable notes;
        const UserRecord user = readUser(id.toInt(), &notes);
        QVERIFY(user.Admin && user.RealName == QStringLiteral("New O'Neil"));
        QVERIFY(notes.rows[6].stored && !notes.rows[1].stored); // the preset notes
    }

private:
    // The numbers under the refresh slider stand where its handle stands for
    // them: their middles within two pixels of the handle's.
    static void checkRefreshScale(frmOptions &form)
    {
        const QImage scale = form.lblNormalPollTimes[0]->grab().toImage();
        QList<int> inked; // the columns holding ink
        for (int x = 0; x < scale.width(); ++x)
            for (int y = 0; y < scale.height() && (inked.isEmpty() || inked.last() != x); ++y)
                if (qGray(scale.pixel(x, y)) < 128)
                    inked << x;
        QList<double> numbers; // the middle of each group of inked columns
        for (qsizetype i = 0, first = 0; i < inked.size(); ++i) {
            if (i + 1 == inked.size() || inked[i + 1] - inked[i] > 4) {
                numbers << (inked[first] + inked[i]) / 2.0;
                first = i + 1;
            }
        }
        QCOMPARE(numbers.size(), 10);
        QStyleOptionSlider slider;
        slider.initFrom(form.Slider1);
        slider.minimum = form.Slider1->minimum();
        slider.maximum = form.Slider1->maximum();
        for (int minutes = 1; minutes <= 10; ++minutes) {
            slider.sliderPosition = slider.sliderValue = 60 * minutes;
            const QRect handle = form.Slider1->style()->subControlRect(QStyle::CC_Slider, &slider, QStyle::SC_SliderHandle,
                                                                       form.Slider1);
            const int middle = form.lblNormalPollTimes[0]->mapFrom(&form, form.Slider1->mapTo(&form, handle.center())).x();
            QVERIFY2(qAbs(numbers[minutes - 1] - middle) <= 2, qPrintable(QString::number(minutes)));
        }
    }
};

QTEST_MAIN(tst_Options)
#include "tst_Options.moc"
