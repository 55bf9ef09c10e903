#include "BoardWorld.h"
#include "ScriptedDialogs.h"
#include "TestDatabase.h"
#include "datetime/ucDateTime.h"
#include "mainwindow/CoolBar.h"
#include "mainwindow/KeyedTreeWidget.h"
#include "mainwindow/ListViewPane.h"
#include "messaging/IChatWindow.h"
#include "platform/Clock.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeView>
#include <QtTest>

namespace {

QString settingsKey()
{
    return AppRegistryKey() + QStringLiteral("\\Settings");
}

class RecordingChat : public NoChatWindow
{
public:
    bool isVisible() const override { return !rooms.isEmpty(); }
    void openRoom(const QString &roomId) override { rooms << roomId; }
    QStringList rooms;
};

} // namespace

class tst_BoardWiring : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    frmMain *w = nullptr;

    UserListModel &users() { return g_oClientHnd->userList().model(); }
    QString row(int userId)
    {
        const UserListItem *item = users().item(users().rowOf(userId));
        return item ? item->StatusText + u'|' + item->Note + u'|' + item->Mobile : QStringLiteral("<none>");
    }
    QString stored(const QString &column, int userId = 1)
    {
        return m_db->value(QStringLiteral("SELECT %1 FROM STAFF_STATUS WHERE UserID = ?").arg(column), {userId}).toString();
    }
    void clickNode(const QString &key)
    {
        QTreeWidgetItem *node = w->trvUserlist->node(key);
        w->trvUserlist->scrollToItem(node);
        QTest::mouseClick(w->trvUserlist->viewport(), Qt::LeftButton, {},
                          w->trvUserlist->visualItemRect(node).center());
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(false, QStringLiteral("board"));
        insertBoardUsers();
        SetRegistryValue(QStringLiteral("COL_WIDTH_NOTE"), RegDword, 3000, settingsKey());
        SetRegistryValue(QStringLiteral("HIDE_COL_MOBILEPH"), RegString, true, settingsKey());
        w = startBoard(QStringLiteral("ADA"));
        QVERIFY(w);
    }

    void cleanup()
    {
        Clock::unpin();
        stopBoard();
        g_vQuickNotes = QuickNoteTable();
        m_db.reset();
    }

    void startUpShowsTheBoard()
    {
        QVERIFY(w->caption().endsWith(QStringLiteral(" - Ada Lindqvist - In")));
        QCOMPARE(w->trvUserlist->selectedKey(), QStringLiteral("NOD3"));
        QTreeWidgetItem *statuses = w->trvUserlist->node(QStringLiteral("GRP0"));
        QCOMPARE(statuses->child(0)->text(0), QStringLiteral("Coffee Break")); // sorted
        QVERIFY(statuses->isExpanded());
        QCOMPARE(g_sViewType, QStringLiteral("GRP"));

        QCOMPARE(w->lvwUserList->model()->rowCount(), 3);
        QCOMPARE(w->lvwUserList->rowKey(users().rowOf(2)), QStringLiteral("USR2"));
        QVERIFY(!w->lvwUserList->model()->index(users().rowOf(2), 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(w->lvwUserList->detailsView()->columnWidth(UserListModel::NoteColumn), 200);
        QVERIFY(w->lvwUserList->detailsView()->isColumnHidden(UserListModel::MobilePhColumn));

        CEntity item;
        w->selectUserItem(QStringLiteral("USR2"));
        QVERIFY(w->selectedListItem(item));
        QCOMPARE(std::pair(item.ID, item.Name), std::pair(2, QStringLiteral("Bruno Ferrand")));
        QVERIFY(w->setUserItemText(QStringLiteral("usr2"), UserListModel::NoteColumn, QStringLiteral("Back soon")));
        QCOMPARE(row(2), QStringLiteral("Out|Back soon|OFF"));

        // Selecting from code opens nothing.
        QVERIFY(w->selectTreeNode(QStringLiteral("NOD5")));
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD3"));

        w->lvwUserList->detailsView()->setColumnWidth(UserListModel::NameColumn, 150);
        w->saveColumnSettings();
        QCOMPARE(GetRegistryValue(QStringLiteral("COL_WIDTH_NAME"), settingsKey()), QStringLiteral("2250"));
        QCOMPARE(GetRegistryValue(QStringLiteral("HIDE_COL_MOBILEPH"), settingsKey()), QStringLiteral("True"));
    }

    void treeClickOpensTheNodeView()
    {
        clickNode(QStringLiteral("OUT"));
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("OUT"));
        QCOMPARE(users().rowCount(), 1);
        QCOMPARE(row(2), QStringLiteral("Out|At the bank|OFF"));
        QCOMPARE(w->statusPanel(QStringLiteral("VIEW"))->text(), QStringLiteral("Current View: Out"));

        w->trvUserlist->selectNode(QStringLiteral("NOD0"));
        QTest::keyClick(w->trvUserlist, Qt::Key_Return);
        QCOMPARE(g_sViewType, QStringLiteral("TOP"));
        QVERIFY(w->oWebBrowser->isVisibleTo(w));
        // A page of the program's own, headed by the node's name.
        QVERIFY(w->oWebBrowser->source().isLocalFile());
        QCOMPARE(w->oWebBrowser->toPlainText().trimmed(), QStringLiteral("Viduruviva Tessaly"));

        w->trvUserlist->selectNode(QStringLiteral("NOD3"));
        QTest::keyClick(w->trvUserlist, Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD0")); // Alt+Enter is the context menu's
        clickNode(QStringLiteral("NOD3"));
        QCOMPARE(users().rowCount(), 3);
        QVERIFY(!w->oWebBrowser->isVisibleTo(w));
    }

    void statusButtonWithTypedOrQuickNote()
    {
        Clock::pin(QDateTime(QDate(2004, 8, 2), QTime(17, 0)));
        const auto eta = [this] { return m_db->value(QStringLiteral("SELECT ETA FROM STAFF_STATUS WHERE UserID = 1")).toDouble(); };
        w->cboNote->setEditText(QStringLiteral("  Back at 3  "));
        w->dtETA->setDateTimeValue(DateUtil::fromTime(QTime(8, 0))); // the date box cleared
        w->toolbarButton(QStringLiteral("OUT"))->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn")) + u'|' + stored(QStringLiteral("Note")), QStringLiteral("OUT|Back at 3"));
        QCOMPARE(eta(), DateUtil::toDays(QDate(2004, 8, 3), QTime(8, 0)));
        QCOMPARE(row(1), QStringLiteral("Out|Back at 3|OFF"));
        QVERIFY(w->caption().endsWith(QStringLiteral(" - Ada Lindqvist - Out")));
        QCOMPARE(w->cboNote->currentText(), QString());
        QCOMPARE(w->dtETA->DateTimeValue(), 0.0);
        QVERIFY(GetRegistryValue(QStringLiteral("Notes"), AppRegistryKey() + QStringLiteral("\\RecentNotes"))
                    .startsWith(QStringLiteral("  Back at 3  ##")));
        QCOMPARE(w->cboNote->count(), 1);

        // A blank box sends the quick note, and the note list stays.
        g_vQuickNotes.rows[3].note = QStringLiteral("Canteen");
        w->cboNote->setEditText(QStringLiteral("   "));
        w->toolbarButton(QStringLiteral("LNC"))->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn")) + u'|' + stored(QStringLiteral("Note")), QStringLiteral("LNC|Canteen"));
        QCOMPARE(eta(), DateUtil::toDays(QDate(2004, 8, 2), QTime(18, 0)));
        QCOMPARE(w->cboNote->count(), 1);

        // A drop-down item sets its status.
        w->toolbarMenu(QStringLiteral("MTG"))->actions().at(0)->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn")), QStringLiteral("MTA"));
        QCOMPARE(m_db->env.errorWindow.shown.size(), 0);
    }

    void mobileButtonChangesTheFlagOnlyOnceWritten()
    {
        const auto counter = [this] { return m_db->value(QStringLiteral("SELECT MAX(LastUpdated) FROM STAFF_STATUS")).toLongLong(); };
        const qint64 before = counter();
        w->Toolbar1_ButtonClick(QStringLiteral("mob"));
        QCOMPARE(stored(QStringLiteral("MobileOn")), QStringLiteral("1"));
        QCOMPARE(row(1), QStringLiteral("In||ON"));
        w->Toolbar1_ButtonClick(QStringLiteral("MOB"));
        QCOMPARE(stored(QStringLiteral("MobileOn")), QStringLiteral("0"));
        QCOMPARE(row(1), QStringLiteral("In||OFF"));
        QCOMPARE(counter(), before + 2);

        m_db->exec(QStringLiteral("ALTER TABLE STAFF_STATUS RENAME TO STAFF_AWAY"));
        w->Toolbar1_ButtonClick(QStringLiteral("MOB"));
        QVERIFY(!g_oCurrentUser.MobileOn);
        QCOMPARE(m_db->env.errorWindow.shown.size(), 1);
    }

    void toolsThatOpenWindows()
    {
        QList<std::pair<qint32, QString>> phoned;
        QStringList messaged;
        int journals = 0;
        RecordingChat chat;
        g_uiFactory.phoneMessage = [&](qint32 id, const QString &name) { phoned.append({id, name}); };
        g_uiFactory.instantMessage = [&](const QString &to) { messaged << to; };
        g_uiFactory.showPhoneHistory = [&](CClientHnd &) { ++journals; };
        g_uiFactory.chatWindow = [&] { return &chat; };

        // A phone message needs a person picked in the user list.
        w->lvwUserList->detailsView()->selectionModel()->clear();
        w->Toolbar1_ButtonClick(QStringLiteral("PHR"));
        w->selectUserItem(QStringLiteral("USR2"));
        w->Toolbar1_ButtonClick(QStringLiteral("PHR"));
        w->lvwReservations->show();
        w->Toolbar1_ButtonClick(QStringLiteral("PHR"));
        QCOMPARE(m_db->env.prompt.asked.size(), 2);
        QCOMPARE(m_db->env.prompt.asked.at(0).title, QStringLiteral("Select Person First"));
        QCOMPARE(phoned, (QList<std::pair<qint32, QString>>{{2, QStringLiteral("Bruno Ferrand")}}));

        Clock::pin(QDateTime(QDate(2004, 8, 2), QTime(12, 0)));
        w->Toolbar1_ButtonClick(QStringLiteral("CHT"));
        w->Toolbar1_ButtonClick(QStringLiteral("CHT")); // open already: no new room
        QCOMPARE(chat.rooms, QStringList{QStringLiteral("Ada Lindqvist38201.5")});
        w->Toolbar1_ButtonClick(QStringLiteral("BIM"));
        w->Toolbar1_ButtonClick(QStringLiteral("JRN"));
        w->Toolbar1_ButtonClick(QStringLiteral("SEP2"));
        QCOMPARE(messaged, QStringList{QStringLiteral("*")});
        QCOMPARE(journals, 1);
    }

    void viewMenuKeepsTheChoices()
    {
        const auto checked = [this](int i) { return w->menuItem(QStringLiteral("mnuViewSub(%1)").arg(i))->isChecked(); };
        w->mnuViewSub_Click(9);
        QCOMPARE(w->lvwUserList->viewMode(), int(ListViewPane::SmallIcons));
        w->mnuViewSub_Click(11);
        QCOMPARE(QList<bool>({checked(8), checked(9), checked(10), checked(11)}), QList<bool>({false, false, false, true}));
        QCOMPARE(GetRegistryValue(QStringLiteral("ListView"), settingsKey()), QStringLiteral("3"));

        w->mnuViewSub_Click(2);
        w->mnuViewSub_Click(3);
        QVERIFY(w->CoolBar1->isHidden()); // no band left
        QCOMPARE(w->menuItem(QStringLiteral("mnuViewSub(3)"))->text(), QStringLiteral("Show Refresh/Nav Toolbar"));
        w->mnuViewSub_Click(3);
        QVERIFY(!w->CoolBar1->isHidden());
        QVERIFY(w->CoolBar1->isBandVisible(3) && !w->CoolBar1->isBandVisible(1));
        w->mnuViewSub_Click(4);
        w->mnuViewSub_Click(0);
        QVERIFY(w->CoolBar1->isBandVisible(4));
        w->txtSearchFor->setText(QStringLiteral("   "));
        QVERIFY(!w->cmdSearch->isEnabled());
        w->txtSearchFor->setText(QStringLiteral(" ada"));
        QVERIFY(w->cmdSearch->isEnabled());
        w->mnuViewSub_Click(10);

        ScriptedDialogs dialogs;
        ICommonDialogBackend *saved = g_commonDialogs;
        g_commonDialogs = &dialogs;
        const QFont before = w->trvUserlist->font();
        dialogs.ok = false;
        w->mnuViewSub_Click(6); // cancelled
        QCOMPARE(w->trvUserlist->font(), before);
        QCOMPARE(std::tuple(dialogs.fontAsked.minSize, dialogs.fontAsked.maxSize, dialogs.fontAsked.effects),
                 std::tuple(8, 24, true));
        dialogs.font = QFont(QStringLiteral("DejaVu Serif"), 14);
        dialogs.font.setBold(true);
        dialogs.ok = true;
        w->mnuViewSub_Click(6);
        g_commonDialogs = saved;
        QCOMPARE(w->lvwUserList->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(w->lvwReservations->textColour(), QColor(Qt::darkBlue));

        // A new window comes back as it was left.
        frmMain again;
        QVERIFY(!again.menuItem(QStringLiteral("mnuViewSub(2)"))->isChecked());
        QVERIFY(again.menuItem(QStringLiteral("mnuViewSub(3)"))->isChecked());
        QVERIFY(again.ShapeBar->isHidden());
        QVERIFY(again.CoolBar1->isBandVisible(4));
        QCOMPARE(again.lvwUserList->viewMode(), int(ListViewPane::List));
        QCOMPARE(again.trvUserlist->font().family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(again.trvUserlist->font().bold());
    }
};

QTEST_MAIN(tst_BoardWiring)
#include "tst_BoardWiring.moc"
