#include "BoardWorld.h"
#include "TestDatabase.h"
#include "datetime/ucDateTime.h"
#include "dialogs/ICommonDialogBackend.h"
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

// Answers the font dialog from a script.
class ScriptedFontDialog : public ICommonDialogBackend
{
public:
    bool chooseFont(QFont &font, QColor &colour, int minSize, int maxSize, quint32 flags, QWidget *) override
    {
        asked << QStringLiteral("%1 %2-%3 %4").arg(font.family()).arg(minSize).arg(maxSize).arg(flags);
        if (!answer)
            return false;
        font = *answer;
        colour = Qt::darkBlue;
        return true;
    }
    std::optional<QFont> answer;
    QStringList asked;
};

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
        QTreeWidgetItem *node = control<KeyedTreeWidget>(w, "trvUserlist")->node(key);
        control<KeyedTreeWidget>(w, "trvUserlist")->scrollToItem(node);
        QTest::mouseClick(control<KeyedTreeWidget>(w, "trvUserlist")->viewport(), Qt::LeftButton, {},
                          control<KeyedTreeWidget>(w, "trvUserlist")->visualItemRect(node).center());
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
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->selectedKey(), QStringLiteral("NOD3"));
        QTreeWidgetItem *statuses = control<KeyedTreeWidget>(w, "trvUserlist")->node(QStringLiteral("GRP0"));
        QCOMPARE(statuses->child(0)->text(0), QStringLiteral("Coffee Break")); // sorted
        QVERIFY(statuses->isExpanded());
        QCOMPARE(g_sViewType, QStringLiteral("GRP"));

        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->model()->rowCount(), 3);
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->rowKey(users().rowOf(2)), QStringLiteral("USR2"));
        QVERIFY(!control<ListViewPane>(w, "lvwUserList")->model()->index(users().rowOf(2), 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->detailsView()->columnWidth(UserListModel::NoteColumn), 200);
        QVERIFY(control<ListViewPane>(w, "lvwUserList")->detailsView()->isColumnHidden(UserListModel::MobilePhColumn));

        CEntity item;
        w->selectUserItem(QStringLiteral("USR2"));
        QVERIFY(w->selectedListItem(item));
        QCOMPARE(std::pair(item.ID, item.Name), std::pair(2, QStringLiteral("Bruno Ferrand")));
        QVERIFY(w->setUserItemText(QStringLiteral("usr2"), UserListModel::NoteColumn, QStringLiteral("Back soon")));
        QCOMPARE(row(2), QStringLiteral("Out|Back soon|OFF"));

        // Selecting from code opens nothing.
        QVERIFY(w->selectTreeNode(QStringLiteral("NOD5")));
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD3"));

        control<ListViewPane>(w, "lvwUserList")->detailsView()->setColumnWidth(UserListModel::NameColumn, 150);
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
        QCOMPARE(control<QLabel>(w, QStringLiteral("VIEW"))->text(), QStringLiteral("Current View: Out"));

        control<KeyedTreeWidget>(w, "trvUserlist")->selectNode(QStringLiteral("NOD0"));
        QTest::keyClick(control<KeyedTreeWidget>(w, "trvUserlist"), Qt::Key_Return);
        QCOMPARE(g_sViewType, QStringLiteral("TOP"));
        QVERIFY(control<QTextBrowser>(w, "oWebBrowser")->isVisibleTo(w));
        // A page of the program's own, headed by the node's name.
        QVERIFY(control<QTextBrowser>(w, "oWebBrowser")->source().isLocalFile());
        QCOMPARE(control<QTextBrowser>(w, "oWebBrowser")->toPlainText().trimmed(), QStringLiteral("Viduruviva Tessaly"));

        control<KeyedTreeWidget>(w, "trvUserlist")->selectNode(QStringLiteral("NOD3"));
        QTest::keyClick(control<KeyedTreeWidget>(w, "trvUserlist"), Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD0")); // Alt+Enter is the context menu's
        clickNode(QStringLiteral("NOD3"));
        QCOMPARE(users().rowCount(), 3);
        QVERIFY(!control<QTextBrowser>(w, "oWebBrowser")->isVisibleTo(w));
    }

    void statusButtonWithTypedOrQuickNote()
    {
        Clock::pin(QDateTime(QDate(2004, 8, 2), QTime(17, 0)));
        const auto eta = [this] { return m_db->value(QStringLiteral("SELECT ETA FROM STAFF_STATUS WHERE UserID = 1")).toDouble(); };
        control<QComboBox>(w, "cboNote")->setEditText(QStringLiteral("  Back at 3  "));
        control<ucDateTime>(w, "dtETA")->setDateTimeValue(DateUtil::fromTime(QTime(8, 0))); // the date box cleared
        action(w, QStringLiteral("OUT"))->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn")) + u'|' + stored(QStringLiteral("Note")), QStringLiteral("OUT|Back at 3"));
        QCOMPARE(eta(), DateUtil::toDays(QDate(2004, 8, 3), QTime(8, 0)));
        QCOMPARE(row(1), QStringLiteral("Out|Back at 3|OFF"));
        QVERIFY(w->caption().endsWith(QStringLiteral(" - Ada Lindqvist - Out")));
        QCOMPARE(control<QComboBox>(w, "cboNote")->currentText(), QString());
        QCOMPARE(control<ucDateTime>(w, "dtETA")->DateTimeValue(), 0.0);
        QVERIFY(GetRegistryValue(QStringLiteral("Notes"), AppRegistryKey() + QStringLiteral("\\RecentNotes"))
                    .startsWith(QStringLiteral("  Back at 3  ##")));
        QCOMPARE(control<QComboBox>(w, "cboNote")->count(), 1);

        // A blank box sends the quick note, and the note list stays.
        g_vQuickNotes.rows[3].note = QStringLiteral("Canteen");
        control<QComboBox>(w, "cboNote")->setEditText(QStringLiteral("   "));
        action(w, QStringLiteral("LNC"))->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn")) + u'|' + stored(QStringLiteral("Note")), QStringLiteral("LNC|Canteen"));
        QCOMPARE(eta(), DateUtil::toDays(QDate(2004, 8, 2), QTime(18, 0)));
        QCOMPARE(control<QComboBox>(w, "cboNote")->count(), 1);

        // A drop-down item sets its status.
        control<QMenu>(w, "MTGMenu")->actions().at(0)->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn")), QStringLiteral("MTA"));
        QCOMPARE(m_db->env.errorWindow.shown.size(), 0);
    }

    void mobileButtonChangesTheFlagOnlyOnceWritten()
    {
        const auto counter = [this] { return m_db->value(QStringLiteral("SELECT MAX(LastUpdated) FROM STAFF_STATUS")).toLongLong(); };
        const qint64 before = counter();
        action(w, "MOB")->trigger();
        QCOMPARE(stored(QStringLiteral("MobileOn")), QStringLiteral("1"));
        QCOMPARE(row(1), QStringLiteral("In||ON"));
        action(w, "MOB")->trigger();
        QCOMPARE(stored(QStringLiteral("MobileOn")), QStringLiteral("0"));
        QCOMPARE(row(1), QStringLiteral("In||OFF"));
        QCOMPARE(counter(), before + 2);

        m_db->exec(QStringLiteral("ALTER TABLE STAFF_STATUS RENAME TO STAFF_AWAY"));
        action(w, "MOB")->trigger();
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
        control<ListViewPane>(w, "lvwUserList")->detailsView()->selectionModel()->clear();
        action(w, "PHR")->trigger();
        w->selectUserItem(QStringLiteral("USR2"));
        action(w, "PHR")->trigger();
        control<ListViewPane>(w, "lvwReservations")->show();
        action(w, "PHR")->trigger();
        QCOMPARE(m_db->env.prompt.asked.size(), 2);
        QCOMPARE(m_db->env.prompt.asked.at(0).title, QStringLiteral("Select Person First"));
        QCOMPARE(phoned, (QList<std::pair<qint32, QString>>{{2, QStringLiteral("Bruno Ferrand")}}));

        Clock::pin(QDateTime(QDate(2004, 8, 2), QTime(12, 0)));
        action(w, "CHT")->trigger();
        action(w, "CHT")->trigger(); // open already: no new room
        QCOMPARE(chat.rooms, QStringList{QStringLiteral("Ada Lindqvist38201.5")});
        action(w, "BIM")->trigger();
        action(w, "JRN")->trigger();
        QCOMPARE(messaged, QStringList{QStringLiteral("*")});
        QCOMPARE(journals, 1);
    }

    void viewMenuKeepsTheChoices()
    {
        const auto checked = [this](int i) { return action(w, QStringLiteral("mnuViewSub(%1)").arg(i))->isChecked(); };
        action(w, "mnuViewSub(9)")->trigger();
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->viewMode(), int(ListViewPane::SmallIcons));
        action(w, "mnuViewSub(11)")->trigger();
        QCOMPARE(QList<bool>({checked(8), checked(9), checked(10), checked(11)}), QList<bool>({false, false, false, true}));
        QCOMPARE(GetRegistryValue(QStringLiteral("ListView"), settingsKey()), QStringLiteral("3"));

        action(w, "mnuViewSub(2)")->trigger();
        action(w, "mnuViewSub(3)")->trigger();
        QVERIFY(control<CoolBar>(w, "CoolBar1")->isHidden()); // no band left
        QCOMPARE(action(w, QStringLiteral("mnuViewSub(3)"))->text(), QStringLiteral("Show Refresh/Nav Toolbar"));
        action(w, "mnuViewSub(3)")->trigger();
        QVERIFY(!control<CoolBar>(w, "CoolBar1")->isHidden());
        QVERIFY(control<CoolBar>(w, "CoolBar1")->isBandVisible(3) && !control<CoolBar>(w, "CoolBar1")->isBandVisible(1));
        action(w, "mnuViewSub(4)")->trigger();
        action(w, "mnuViewSub(0)")->trigger();
        QVERIFY(control<CoolBar>(w, "CoolBar1")->isBandVisible(4));
        control<QLineEdit>(w, "txtSearchFor")->setText(QStringLiteral("   "));
        QVERIFY(!control<QPushButton>(w, "cmdSearch")->isEnabled());
        control<QLineEdit>(w, "txtSearchFor")->setText(QStringLiteral(" ada"));
        QVERIFY(control<QPushButton>(w, "cmdSearch")->isEnabled());
        action(w, "mnuViewSub(10)")->trigger();

        ScriptedFontDialog dialogs;
        ICommonDialogBackend *saved = g_commonDialogs;
        g_commonDialogs = &dialogs;
        const QFont before = control<KeyedTreeWidget>(w, "trvUserlist")->font();
        action(w, "mnuViewSub(6)")->trigger(); // cancelled
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->font(), before);
        QFont chosen(QStringLiteral("DejaVu Serif"), 14);
        chosen.setBold(true);
        dialogs.answer = chosen;
        action(w, "mnuViewSub(6)")->trigger();
        g_commonDialogs = saved;
        QVERIFY(dialogs.asked.at(0).endsWith(QStringLiteral(" 8-24 257")));
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(control<ListViewPane>(w, "lvwReservations")->textColour(), QColor(Qt::darkBlue));

        // A new window comes back as it was left.
        frmMain again;
        QVERIFY(!action(&again, QStringLiteral("mnuViewSub(2)"))->isChecked());
        QVERIFY(action(&again, QStringLiteral("mnuViewSub(3)"))->isChecked());
        QVERIFY(control<QFrame>(&again, "ShapeBar")->isHidden());
        QVERIFY(control<CoolBar>(&again, "CoolBar1")->isBandVisible(4));
        QCOMPARE(control<ListViewPane>(&again, "lvwUserList")->viewMode(), int(ListViewPane::List));
        QCOMPARE(control<KeyedTreeWidget>(&again, "trvUserlist")->font().family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(control<KeyedTreeWidget>(&again, "trvUserlist")->font().bold());
    }
};

QTEST_MAIN(tst_BoardWiring)
#include "tst_BoardWiring.moc"
