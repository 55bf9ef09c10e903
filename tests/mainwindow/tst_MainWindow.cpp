#include "StatusFakes.h"
#include "BoardWorld.h"
#include "CalendarText.h"
#include "ScriptedDialogs.h"
#include "TestDatabase.h"
#include "admin/COptionsEditor.h"
#include "admin/IconSelector.h"
#include "admin/frmOptions.h"
#include "admin/frmAddGroup.h"
#include "dialogs/QtPrompt.h"
#include "mail/CClientOutlook.h"
#include "mail/frmJournalEntry.h"
#include "tray/MessageWindows.h"
#include "tray/UpdateTimer.h"
#include "tray/UpdateTimerActions.h"
#include "tray/frmSysTray.h"
#include "app/MStartUp.h"
#include "datetime/ucDateTime.h"
#include "dialogs/ICommonDialogBackend.h"
#include "foundation/CStatus.h"
#include "foundation/IUserEditor.h"
#include "mainwindow/CClientSettings.h"
#include "mainwindow/CoolBar.h"
#include "mainwindow/KeyedTreeWidget.h"
#include "mainwindow/ListViewPane.h"
#include "mainwindow/PopupCommands.h"
#include "mainwindow/SplitterBar.h"
#include "messaging/IChatWindow.h"
#include "platform/Clock.h"
#include "resources/ResourceLists.h"
#include "resources/CReservation.h"
#include "resources/CReservationList.h"
#include "resources/frmReservation.h"
#include "resources/frmResource.h"
#include "status/NotifyUserList.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <sys/stat.h>

namespace {

// A tool-bar button's drop-down items as "key=caption".
QStringList menuKeys(const QWidget *w, const char *button)
{
    QStringList keys;
    for (const QAction *item : control<QMenu>(w, QLatin1String(button) + QStringLiteral("Menu"))->actions())
        keys << item->data().toString() + u'=' + item->text();
    return keys;
}

// A text as read on a label of that format (a tooltip's label takes markup for rich text).
QString readAs(const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    QLabel label;
    label.setTextFormat(format);
    label.setText(text);
    label.adjustSize(); // laid out as shown
    const bool rich = label.textFormat() != Qt::PlainText && Qt::mightBeRichText(text);
    return rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

// Every text the widgets show: titles, labels, tooltips, text boxes and the cells of lists.
QStringList shownTexts()
{
    QStringList texts;
    for (QWidget *widget : QApplication::allWidgets()) {
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << readAs(label->text(), label->textFormat());
        else if (auto *view = qobject_cast<QAbstractItemView *>(widget); view && view->model())
            for (int row = 0; row < view->model()->rowCount() && row < 1000; ++row) // the top level is enough here
                for (int column = 0; column < view->model()->columnCount(); ++column)
                    texts << view->model()->index(row, column).data().toString()
                          << readAs(view->model()->index(row, column).data(Qt::ToolTipRole).toString());
        else if (auto *edit = qobject_cast<QTextEdit *>(widget))
            texts << edit->toPlainText();
        texts << widget->windowTitle() << readAs(widget->toolTip());
    }
    return texts;
}

// The side of the picture a view draws at that index; 0 when the row is too
// short to hold it.
int drawnSide(const QAbstractItemView *view, const QModelIndex &index)
{
    const QSize asked = view->iconSize().isValid()
        ? view->iconSize()
        : QSize(1, 1) * view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view);
    const int side = index.data(Qt::DecorationRole).value<QIcon>().actualSize(asked).height();
    return view->visualRect(index).height() >= side ? side : 0;
}

class RecordingEditor : public NoUserEditor
{
public:
    qint32 EditUserProperties(bool newUser, const QString &, bool, bool self, bool, bool) override
    {
        calls << QStringLiteral("new %1 self %2").arg(newUser).arg(self);
        return 10000;
    }
    QStringList calls;
};

// Invitations as "invitee@room"; the first opens room R1.
class InvitingTray : public StubTrayWindow
{
public:
    void sendChatInvitation(const QString &, const QString &invitee, QString &room) override
    {
        invited << invitee + u'@' + room;
        room = QStringLiteral("R1");
    }
    QStringList invited;
};

class RecordingChat : public NoChatWindow
{
public:
    bool isVisible() const override { return !rooms.isEmpty(); }
    void openRoom(const QString &roomId) override { rooms << roomId; }
    QStringList rooms;
};

} // namespace

// The window on a started board: Ada logged in, the "Staff Members" group
// open, a red copier picture in the icon folder.
class tst_MainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    ResourceLists m_resourceLists;
    frmMain *w = nullptr;
    KeyedTreeWidget *tree = nullptr;
    ListViewPane *list = nullptr;
    SplitterBar *bar = nullptr;
    QComboBox *note = nullptr;

    // Starts the board as the program does, shown, and finds the window's parts.
    bool restart()
    {
        stopBoard();
        w = startBoard(QStringLiteral("ADA"));
        if (!w || !QTest::qWaitForWindowExposed(w, stretched(5000)))
            return false;
        tree = control<KeyedTreeWidget>(w, "trvUserlist");
        list = control<ListViewPane>(w, "lvwUserList");
        bar = control<SplitterBar>(w, "picVerticalSplit");
        note = control<QComboBox>(w, "cboNote");
        return tree && list && bar && note;
    }
    UserListModel &users() { return g_oClientHnd->userList().model(); }
    QString row(int userId)
    {
        const UserListItem *item = users().item(users().rowOf(userId));
        return item ? item->StatusText + u'|' + item->Note + u'|' + item->Mobile : QStringLiteral("<none>");
    }
    QString stored(const QString &columns)
    {
        return m_db->value(QStringLiteral("SELECT %1 FROM STAFF_STATUS WHERE UserID = 1").arg(columns)).toString();
    }
    QString debugLog() const { return readTextFile(m_db->env.path(QStringLiteral("logs/debug.log"))); }
    void clickNode(const QString &key)
    {
        QTreeWidgetItem *node = tree->node(key);
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }
    void view(int item) { action(w, QStringLiteral("mnuViewSub(%1)").arg(item))->trigger(); }
    QMenu *popup() const { return action(w, "mnuPopup")->menu(); }
    // Builds the context menu of a control as the Menu key does.
    void menuOf(QWidget *control)
    {
        QTest::keyClick(control, Qt::Key_Menu);
        popup()->hide();
    }
    // The same for these rows of a list (none: the rows as they are selected).
    void menuOf(ListViewPane *pane, const QStringList &keys = {})
    {
        if (!keys.isEmpty())
            selectRows(pane, keys);
        menuOf(pane->detailsView());
    }
    void pick(const QString &name) { action(w, name)->trigger(); }
    void selectRows(ListViewPane *pane, const QStringList &keys)
    {
        using S = QItemSelectionModel;
        S *selection = pane->detailsView()->selectionModel();
        selection->clear();
        for (const QString &key : keys)
            selection->setCurrentIndex(pane->model()->index(pane->rowOfKey(key), 0), S::Select | S::Rows);
    }
    // Picks the context menu's item for those rows.
    void command(ListViewPane *pane, const QStringList &keys, int item)
    {
        menuOf(pane, keys);
        pick(QStringLiteral("mnuPopupSub(%1)").arg(item));
    }
    // Opens the signed-in user's options from the menu, changes them and presses OK.
    void changeOptions(const std::function<void(frmOptions &)> &change)
    {
        COptionsEditor editor([&change](frmOptions &f) {
            change(f);
            f.cmdOK->click();
        });
        IUserEditor *saved = std::exchange(g_userEditor, &editor);
        pick(QStringLiteral("mnuAdminUserOptions"));
        g_userEditor = saved;
    }
    // The sides of the pictures drawn for Ada's row in the large-icon,
    // small-icon and details looks of the user list, then for her group's node.
    QList<int> pictureSides()
    {
        QList<int> sides;
        for (int look : {8, 9, 11}) {
            view(look);
            const QAbstractItemView *shown = look == 11 ? static_cast<QAbstractItemView *>(list->detailsView())
                                                        : static_cast<QAbstractItemView *>(list->iconView());
            sides << drawnSide(shown, shown->model()->index(list->rowOfKey(QStringLiteral("USR1")), 0));
        }
        return sides << drawnSide(tree, tree->indexFromItem(tree->node(QStringLiteral("NOD3"))));
    }
    QStringList asked() const
    {
        QStringList texts;
        for (const ScriptedPrompt::Asked &a : m_db->env.prompt.asked)
            texts << a.title + u':' + a.text;
        return texts;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(false, QStringLiteral("board"));
        insertBoardUsers();
        const QString icons = m_db->env.path(QStringLiteral("icons"));
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(QDir().mkpath(icons) && QImageWriter(icons + QStringLiteral("/copier.ico"), "ico").write(picture));
        m_db->exec(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = 'icon_home'"), {icons});
        m_db->exec(QStringLiteral("UPDATE Properties SET pvalue = 'https://help.example/' WHERE pkey = 'help_url'"));
        SettingsKeys::ColumnWidth.write(3000, QStringLiteral("NOTE"));
        SettingsKeys::HiddenColumn.write(true, QStringLiteral("MOBILEPH"));
        ResetCloseDownForTests();
        g_resourceLists = &m_resourceLists;
        QVERIFY(restart());
    }

    void cleanup()
    {
        Clock::unpin();
        stopBoard();
        g_colCustomStatus.clear();
        g_vQuickNotes = QuickNoteTable();
        g_colNotifyUsers.clear();
        ResetCloseDownForTests();
        SetLanguage(QStringLiteral("ENU"));
        g_resourceLists = nullptr;
        m_db.reset();
    }

    void startUpShowsTheBoard()
    {
        QVERIFY(w->caption().endsWith(QStringLiteral(" - Ada Lindqvist - In")));
        QCOMPARE(tree->selectedKey(), QStringLiteral("NOD3"));
        QTreeWidgetItem *statuses = tree->node(QStringLiteral("GRP0"));
        QCOMPARE(statuses->child(0)->text(0), QStringLiteral("Coffee Break")); // sorted
        QVERIFY(statuses->isExpanded());
        QCOMPARE(g_sViewType, QStringLiteral("GRP"));
        // The view opened before the window was first shown keeps the tree pane.
        QCOMPARE(bar->barLeft(), 3000.0);
        QVERIFY(tree->isVisible());

        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(list->detailsView()->columnWidth(UserListModel::NoteColumn), 200);
        QVERIFY(list->detailsView()->isColumnHidden(UserListModel::MobilePhColumn));

        CEntity item;
        w->selectUserItem(QStringLiteral("USR2"));
        QVERIFY(w->selectedListItem(item));
        QCOMPARE(std::pair(item.ID, item.Name), std::pair(2, QStringLiteral("Bruno Ferrand")));
        QVERIFY(w->setUserItemText(QStringLiteral("usr2"), UserListModel::NoteColumn, QStringLiteral("Back soon")));
        QCOMPARE(row(2), QStringLiteral("Out|Back soon|OFF"));

        // Selecting from code opens nothing.
        QVERIFY(w->selectTreeNode(QStringLiteral("NOD5")));
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD3"));
    }

    void treeClickOpensTheNodeView()
    {
        clickNode(QStringLiteral("OUT"));
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("OUT"));
        QCOMPARE(users().rowCount(), 1);
        QCOMPARE(row(2), QStringLiteral("Out|At the bank|OFF"));
        QCOMPARE(control<QLabel>(w, "VIEW")->text(), QStringLiteral("Current View: Out"));

        tree->selectNode(QStringLiteral("NOD0"));
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(g_sViewType, QStringLiteral("TOP"));
        auto *browser = control<QTextBrowser>(w, "oWebBrowser");
        QVERIFY(browser->isVisibleTo(w));
        // A page of the program's own, headed by the node's name.
        QTRY_VERIFY_WITH_TIMEOUT(browser->document()->baseUrl().isLocalFile(), stretched(5000));
        QCOMPARE(browser->toPlainText().trimmed(), QStringLiteral("Viduruviva Tessaly"));

        tree->selectNode(QStringLiteral("NOD3"));
        QTest::keyClick(tree, Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD0")); // Alt+Enter is the context menu's
        // A refused address leaves the pane blank, with the browsing buttons.
        const auto browsing = [this] {
            return QList<bool>{action(w, "BCK")->isVisible(), action(w, "FWD")->isVisible(), action(w, "STP")->isVisible()};
        };
        QCOMPARE(browsing(), QList<bool>({false, false, false}));
        w->displayWebPage(QStringLiteral("file:///etc/hostname"));
        QCOMPARE(browsing(), QList<bool>({true, true, true}));
        QVERIFY(debugLog().contains(QStringLiteral("Web pane: refused file:///etc/hostname")));
        // A mail address that no mail program takes: the user is told.
        m_db->env.shell.opens = false;
        w->displayWebPage(QStringLiteral("mailto:ada@example.org"));
        QVERIFY(debugLog().contains(QStringLiteral("Web pane: no mail program opened mailto:ada@example.org")));
        QTRY_COMPARE_WITH_TIMEOUT(m_db->env.prompt.asked.size(), 1, stretched(5000));
        QVERIFY(m_db->env.prompt.asked[0].text.startsWith(QStringLiteral("No mail program could open")));
        clickNode(QStringLiteral("NOD3"));
        QCOMPARE(users().rowCount(), 3);
        QVERIFY(!browser->isVisibleTo(w));
        QCOMPARE(browsing(), QList<bool>({false, false, false}));
    }

    void statusButtonWithTypedOrQuickNote()
    {
        Clock::pin(QDateTime(QDate(2004, 8, 2), QTime(17, 0)));
        const auto eta = [this] { return m_db->value(QStringLiteral("SELECT ETA FROM STAFF_STATUS WHERE UserID = 1")).toDouble(); };
        auto *dueBack = control<ucDateTime>(w, "dtETA");
        note->setEditText(QStringLiteral("  Back at 3  "));
        QTest::keyClicks(dueBack->findChild<QLineEdit *>("Text2"), "8:");
        action(w, "OUT")->trigger(); // refused, not taken for no due-back time
        QCOMPARE(m_db->env.prompt.asked.value(0).text + stored(QStringLiteral("IsIn")), "Due Back: \"8:\" is not a valid time.INN");
        dueBack->clear();
        dueBack->setDateTimeValue(DateUtil::fromTime(QTime(8, 0))); // the date box cleared
        action(w, "OUT")->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn || '|' || Note")), QStringLiteral("OUT|Back at 3"));
        QCOMPARE(eta(), DateUtil::toDays(QDate(2004, 8, 3), QTime(8, 0)));
        QCOMPARE(row(1), QStringLiteral("Out|Back at 3|OFF"));
        QVERIFY(w->caption().endsWith(QStringLiteral(" - Ada Lindqvist - Out")));
        QCOMPARE(note->currentText(), QString());
        QCOMPARE(dueBack->DateTimeValue(), 0.0);
        QVERIFY(SettingsKeys::RecentNotes.read().startsWith(QStringLiteral("  Back at 3  ##")));
        QCOMPARE(note->count(), 1);

        // A blank box sends the quick note, and the note list stays.
        g_vQuickNotes.rows[3].note = QStringLiteral("Canteen");
        note->setEditText(QStringLiteral("   "));
        action(w, "LNC")->trigger();
        QCOMPARE(stored(QStringLiteral("IsIn || '|' || Note")), QStringLiteral("LNC|Canteen"));
        QCOMPARE(eta(), DateUtil::toDays(QDate(2004, 8, 2), QTime(18, 0)));
        QCOMPARE(note->count(), 1);

        // A note sent from another session shows when the box takes the focus;
        // what is typed stays.
        SettingsKeys::RecentNotes.write(QStringLiteral("From home##Canteen##"));
        note->setEditText(QStringLiteral("typed"));
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(note, &focus);
        QCOMPARE(note->count(), 2);
        QCOMPARE(note->itemText(0) + u'|' + note->currentText(), QStringLiteral("From home|typed"));

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
        QCOMPARE(stored(QStringLiteral("MobileOn")) + row(1), QStringLiteral("1In||ON"));
        action(w, "MOB")->trigger();
        QCOMPARE(stored(QStringLiteral("MobileOn")) + row(1), QStringLiteral("0In||OFF"));
        QCOMPARE(counter(), before + 2);

        m_db->exec(QStringLiteral("ALTER TABLE STAFF_STATUS RENAME TO STAFF_AWAY"));
        action(w, "MOB")->trigger();
        QVERIFY(!g_oCurrentUser.MobileOn);
        QCOMPARE(m_db->env.errorWindow.shown.size(), 1);
    }

    void viewMenuKeepsTheChoices()
    {
        const auto picture = [this] { return list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>(); };
        QCOMPARE(picture().availableSizes(), QList<QSize>({QSize(16, 16)}));
        const auto checked = [this](int i) { return action(w, QStringLiteral("mnuViewSub(%1)").arg(i))->isChecked(); };
        w->selectUserItem(QStringLiteral("USR2"));
        view(8);
        QVERIFY(picture().availableSizes().contains(QSize(32, 32)));
        view(9);
        QCOMPARE(list->viewMode(), int(ListViewPane::SmallIcons));
        view(11);
        QCOMPARE(QList<bool>({checked(8), checked(9), checked(10), checked(11)}), QList<bool>({false, false, false, true}));
        QCOMPARE(SettingsKeys::ListView.read(), QStringLiteral("3"));
        QCOMPARE(list->selectedKey(), QStringLiteral("USR2")); // through the changes of style

        auto *coolBar = control<CoolBar>(w, "CoolBar1");
        view(2);
        view(3);
        QVERIFY(coolBar->isHidden()); // no band left
        QCOMPARE(action(w, "mnuViewSub(3)")->text(), QStringLiteral("Show Refresh/Nav Toolbar"));
        view(3);
        QVERIFY(!coolBar->isHidden());
        QVERIFY(coolBar->isBandVisible(3) && !coolBar->isBandVisible(1));
        view(4);
        view(0);
        QVERIFY(coolBar->isBandVisible(4));
        view(10);

        ScriptedDialogs dialogs;
        dialogs.ok = false;
        ICommonDialogBackend *saved = g_commonDialogs;
        g_commonDialogs = &dialogs;
        const QFont before = tree->font();
        view(6); // cancelled
        QCOMPARE(tree->font(), before);
        QCOMPARE(std::tuple(dialogs.fontAsked.minSize, dialogs.fontAsked.maxSize, dialogs.fontAsked.effects),
                 std::tuple(8, 24, true));
        QFont chosen(QStringLiteral("DejaVu Serif"), 14);
        chosen.setBold(true);
        dialogs.font = chosen;
        dialogs.colour = Qt::darkBlue;
        dialogs.ok = true;
        view(6);
        g_commonDialogs = saved;
        QCOMPARE(list->font().family(), QStringLiteral("DejaVu Serif"));
        // Every cell without a colour of its own takes the one chosen: Ada's row, and a booking still to come.
        QStandardItemModel bookings(1, 5);
        CReservation booking;
        booking.dReservedFrom = booking.dReservedUntil = Clock::nowDays() + 1;
        CReservationList::updateReservationItem(bookings, 0, booking);
        const QModelIndex ada = list->model()->index(list->rowOfKey(QStringLiteral("USR1")), 0);
        for (const QModelIndex &cell : {ada.siblingAtColumn(UserListModel::NoteColumn),
                                        ada.siblingAtColumn(UserListModel::DueBackColumn), bookings.index(0, 4)})
            QVERIFY(!cell.data(Qt::ForegroundRole).isValid()); // so the list's own colour above

        // A new window comes back as it was left.
        frmMain again;
        CClientSettings(&again).LoadSettings();
        QVERIFY(!action(&again, "mnuViewSub(2)")->isChecked() && action(&again, "mnuViewSub(3)")->isChecked());
        QVERIFY(control<QFrame>(&again, "ShapeBar")->isHidden());
        QVERIFY(control<CoolBar>(&again, "CoolBar1")->isBandVisible(4));
        QCOMPARE(control<ListViewPane>(&again, "lvwUserList")->viewMode(), int(ListViewPane::List));
        const QFont kept = control<KeyedTreeWidget>(&again, "trvUserlist")->font();
        QVERIFY(kept.family() == chosen.family() && kept.bold());
    }

    void settingsKeepTheWindowBetweenRuns()
    {
        w->showWindow();
        w->setGeometry(120, 80, 700, 500);
        w->setWindowStateCode(IMainWindow::Maximised);
        QFont font = list->font();
        font.setPointSizeF(8.25);
        list->setFont(font);
        list->setColumnWidth(UserListModel::NoteColumn, 0);
        list->detailsView()->setColumnWidth(UserListModel::NameColumn, 150);
        CClientSettings settings(w);
        settings.SaveSettings();
        settings.SaveColumnSettings();
        namespace K = SettingsKeys;
        // The normal-state rectangle in twips, though the window was maximised; a hidden column stays hidden.
        QCOMPARE(QStringList({K::WindowLeft.read(), K::WindowTop.read(), K::WindowWidth.read(), K::WindowHeight.read(),
                              K::FontSize.read(), K::VSplitter.read(), K::HiddenColumn.read("NOTE"),
                              K::HiddenColumn.read("MOBILEPH"), K::ColumnWidth.read("NAME"),
                              K::TreeNodeShown.read("NOD3"), K::DefaultBranch.read()}),
                 QStringList({"1800", "1200", "10500", "7500", "8", "3000", "True", "True", "2250", "True",
                              "NOD3"}));

        // The next start: a Left beyond the screen, the splitter moved, a height that does not read.
        K::WindowLeft.write(60000);
        K::VSplitter.write(2400);
        storeSettingText(K::WindowHeight, QStringLiteral("tall"));
        K::IconSize.write(32);
        QVERIFY(restart());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(w->geometry().right(), screen.right());
        QCOMPARE(w->geometry().width(), 700);
        QVERIFY(screen.contains(w->geometry()));
        QCOMPARE(bar->barLeft(), 2400.0);
        QCOMPARE(list->font().pointSize(), 8);
        QVERIFY(list->detailsView()->isColumnHidden(UserListModel::NoteColumn));
        // Large icons in the tree too, on the nodes it already holds.
        QCOMPARE(tree->iconSize(), QSize(32, 32));
        QVERIFY(tree->node(QStringLiteral("NOD3"))->icon(0).availableSizes().contains(QSize(32, 32)));
    }

    // The name column gives its text the width kept for it, beside pictures
    // of either size, and keeps that width between runs. The column widens
    // when the pictures change, not only when a view sets every width again
    // (as the node view the options reopen does).
    void largeIconsChosenInTheOptions()
    {
        constexpr int name = UserListModel::NameColumn;
        const auto nameWidths = [this] {
            return std::pair(list->columnWidth(name), list->detailsView()->columnWidth(name));
        };
        const auto [kept, pixels] = nameWidths();
        QCOMPARE(pictureSides(), QList<int>({32, 16, 16, 16}));
        w->setListIconSize(32);
        QCOMPARE(nameWidths(), std::pair(kept, pixels + 16));
        w->setListIconSize(16);
        QCOMPARE(nameWidths(), std::pair(kept, pixels));
        changeOptions([](frmOptions &f) { f.optIconSize[1]->click(); });
        QCOMPARE(pictureSides(), QList<int>({32, 32, 32, 32}));
        QCOMPARE(nameWidths(), std::pair(kept, pixels + 16));
        CClientSettings(w).SaveColumnSettings();
        QVERIFY(restart());
        QCOMPARE(pictureSides(), QList<int>({32, 32, 32, 32}));
        QCOMPARE(nameWidths(), std::pair(kept, pixels + 16));
        changeOptions([](frmOptions &f) { f.optIconSize[0]->click(); });
        QCOMPARE(pictureSides(), QList<int>({32, 16, 16, 16}));
        QCOMPARE(nameWidths(), std::pair(kept, pixels));
    }

    // The calendar checked in the program, then moved to a process of its
    // own: that process starts with the next run, so until then the program
    // goes on checking, and the user is told so.
    void calendarMovedToItsOwnProcessKeepsBeingChecked()
    {
        CClientOutlook link;
        ICalendarLink *saved = std::exchange(g_calendarLink, &link);
        const auto restore = qScopeGuard([saved] { g_calendarLink = saved; });
        const QString folder = m_db->env.path(QStringLiteral("calendar"));
        QVERIFY(QDir().mkpath(folder));
        SettingsKeys::CalendarPath.write(folder);
        m_db->exec("UPDATE Properties SET pvalue = 'true' WHERE pkey = 'enb_olk'");
        m_db->exec("UPDATE STAFF_OPTIONS SET Outlook = 1, OutlookOOP = 0 WHERE UserID = 1");
        QVERIFY(restart());
        QVERIFY(g_fOutlook);

        changeOptions([](frmOptions &f) { f.chkOutlookParallelProcess->setChecked(true); });
        QCOMPARE(asked(), QStringList{"Calendar Checking:Parallel-Process Calendar Checking will begin next time you "
                                      "start Qel"});
        QCOMPARE(m_db->value("SELECT OutlookOOP FROM STAFF_OPTIONS WHERE UserID = 1").toInt(), 1);
        QVERIFY(!g_oClientHnd->m_OutLookClient);
        // A meeting that began ten minutes ago, found by the update timer's next poll.
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-600);
        const auto utc = [](const QDateTime &t) { return t.toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")); };
        QVERIFY(CalendarText::write(folder + QStringLiteral("/team.ics"),
                                    CalendarText::calendar(CalendarText::vevent(
                                        QStringLiteral("Stand-up"), QStringLiteral("DTSTART:%1\r\nDTEND:%2\r\n")
                                                                        .arg(utc(start), utc(start.addSecs(3600)))))));
        QCOMPARE(stored(QStringLiteral("IsIn")), QStringLiteral("INN"));
        UpdateTimerActions actions;
        UpdateTimer(actions).dispatch(actions.canPollDatabase());
        QTRY_COMPARE_WITH_TIMEOUT(stored(QStringLiteral("IsIn || '|' || Note")), QStringLiteral("MTG|Stand-up"),
                                  stretched(5000));
    }

    void searchSortAndHints()
    {
        const auto names = [this] {
            QStringList shown;
            for (int row = 0; row < list->model()->rowCount(); ++row)
                shown << list->rowText(row);
            return shown;
        };
        // A start on the welcome page: no user list shown yet.
        SettingsKeys::DefaultBranch.write(QStringLiteral("NOD0"));
        QVERIFY(restart());
        auto *search = control<QLineEdit>(w, "txtSearchFor");
        search->setText(QStringLiteral("  FERR "));
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(names(), QStringList({"Bruno Ferrand"}));
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(tree->selectedKey(), QStringLiteral("SRH0"));
        search->setText(QStringLiteral(" smith"));
        control<QPushButton>(w, "cmdSearch")->click();
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(asked(), QStringList{"Search Results:No matches for smith."});

        // Header clicks: ascending, descending, ascending; Due Back by its moment.
        clickNode(QStringLiteral("NOD3"));
        const double today = DateUtil::toDays(QDateTime(QDate::currentDate(), QTime()));
        g_oClientHnd->updateView(2, QStringLiteral("OUT"), QString(), 0, today + 10.0 / 24);
        g_oClientHnd->updateView(3, QStringLiteral("MTG"), QString(), 0, today + 9.0 / 24);
        QHeaderView *header = list->detailsView()->header();
        const auto clickHeader = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickHeader(UserListModel::NameColumn);
        QCOMPARE(names(), QStringList({"Ada Lindqvist", "Bruno Ferrand", "Chiara Russo"}));
        clickHeader(UserListModel::NameColumn);
        QCOMPARE(names(), QStringList({"Chiara Russo", "Bruno Ferrand", "Ada Lindqvist"}));
        clickHeader(UserListModel::NameColumn);
        QCOMPARE(names().first(), QStringLiteral("Ada Lindqvist"));
        clickHeader(UserListModel::DueBackColumn);
        QCOMPARE(names(), QStringList({"Ada Lindqvist", "Chiara Russo", "Bruno Ferrand"}));
        g_oClientHnd->updateView(2, QStringLiteral("OUT"), QString(), 0, today + 8.0 / 24); // a datagram
        QCOMPARE(names(), QStringList({"Ada Lindqvist", "Bruno Ferrand", "Chiara Russo"}));
        // Another copy moves him later; the poll reads it and the row moves.
        m_db->exec(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = 'OUT', ETA = ?, LastUpdated = "
                                  "(SELECT MAX(LastUpdated) + 1 FROM STAFF_STATUS) WHERE UserID = 2"),
                   {today + 11.0 / 24});
        QString query, node = QStringLiteral("NOD3");
        g_oClientHnd->RefreshUserList(false, true, query, node);
        QCOMPARE(names(), QStringList({"Ada Lindqvist", "Chiara Russo", "Bruno Ferrand"}));

        // The info bar's hints.
        auto *label = control<QLabel>(w, "lblStatus");
        const QString viewText = label->text();
        QWidget *rows = list->detailsView()->viewport();
        QTest::mouseMove(rows, list->detailsView()->visualRect(list->model()->index(2, 0)).center());
        QCOMPARE(label->text(), GetUserStatusLine(QStringLiteral("USR2")));
        QVERIFY(label->text().startsWith(QStringLiteral("Bruno Ferrand ")));
        QTest::mouseMove(rows, QPoint(5, rows->height() - 5));
        QCOMPARE(label->text(), QStringLiteral("User List for Staff Members"));
        QTest::mousePress(label, Qt::LeftButton);
        QCOMPARE(label->text(), QStringLiteral("Viduruviva Tessaly Info Bar"));
        QTest::mouseMove(control<QToolButton>(w, "ImageCloseInfoBar"));
        QCOMPARE(label->text(), QStringLiteral("Click to close the Info Bar"));
        QTest::mouseClick(control<QToolButton>(w, "ImageCloseInfoBar"), Qt::LeftButton);
        QVERIFY(control<QFrame>(w, "ShapeBar")->isHidden());
        // Shown again, it names the view.
        action(w, "mnuViewSub(4)")->trigger();
        QVERIFY(!control<QFrame>(w, "ShapeBar")->isHidden());
        QCOMPARE(label->text(), viewText);
        QVERIFY(label->text().contains(QStringLiteral("Staff")));
    }

    void captionsInTwoLanguages()
    {
        const auto text = [this](const char *name) { return action(w, QLatin1String(name))->text(); };
        const auto tip = [this](const char *key) { return action(w, QLatin1String(key))->toolTip(); };
        auto *find = control<QPushButton>(w, "cmdSearch");
        w->populateMenuStrings();
        QCOMPARE(w->caption(), QStringLiteral("Viduruviva Tessaly"));
        QCOMPARE(text("mnuFile") + text("mnuPopupAdminSub(1)") + tip("CHT"),
                 QStringLiteral("&File&AdminOpen the Chat Room"));

        // Toggled items take the other caption, in the new language (in English: viewMenuKeepsTheChoices).
        SetLanguage(QStringLiteral("FRA"));
        action(w, "mnuViewSub(0)")->setChecked(true);
        action(w, "mnuViewSub(4)")->setChecked(false);
        w->populateMenuStrings();
        QCOMPARE(text("mnuAdminCustomStatus"), QStringLiteral("Statut personnalisé"));
        QCOMPARE(tip("INN") + u'|' + tip("BIM"), QStringLiteral("Présent|Broadcast an Instant Message"));
        QCOMPARE(find->text(), QStringLiteral("Rechercher"));
        QCOMPARE(text("mnuViewSub(0)") + u'|' + text("mnuViewSub(4)"),
                 QStringLiteral("Masquer la recherche|Afficher la barre d'informations"));
    }

    void customStatusMenus()
    {
        const QStringList meeting = {"MTA=Available", "MTD=Do not Disturb", "MTO=Out of Office", "MTT=Tentative"};
        QCOMPARE(menuKeys(w, "INN") + menuKeys(w, "OUT"), QStringList());
        QCOMPARE(menuKeys(w, "MTG"), meeting);
        // No arrow opens an empty menu.
        auto *in = qobject_cast<QToolButton *>(control<QToolBar>(w, "Toolbar1")->widgetForAction(action(w, "INN")));
        QVERIFY(!in->menu() && in->popupMode() != QToolButton::MenuButtonPopup);

        g_colCustomStatus = {{"Working from home", "XWH", "i", ""}, {"Client visit", "XCL", "O", ""},
                             {"Board & staff", "XBD", "M", ""}, {"Training", "XTR", "Z", ""},
                             {"In the office", "XOF", "I", ""}};
        for (int pass = 0; pass < 2; ++pass) { // a reload replaces the items
            w->loadCustomStatusToolbarMenus();
            QCOMPARE(menuKeys(w, "INN"), QStringList({"XWH=Working from home", "XOF=In the office"}));
            QCOMPARE(menuKeys(w, "OUT"), QStringList({"XCL=Client visit"}));
            QCOMPARE(menuKeys(w, "MTG"), meeting + QStringList({"XBD=Board && staff", "XTR=Training"}));
        }
        QCOMPARE(in->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(in->menu(), control<QMenu>(w, "INNMenu"));
    }

    void picturesAreBound()
    {
        QVERIFY(!w->windowIcon().isNull());
        for (const QAction *button : control<QToolBar>(w, "Toolbar1")->actions())
            QCOMPARE(button->icon().isNull(), button->isSeparator());
        // Grey at rest, coloured under the pointer.
        const QIcon in = action(w, "INN")->icon();
        const QRgb rest = in.pixmap(32, QIcon::Normal).toImage().pixel(5, 16);
        const QRgb hot = in.pixmap(32, QIcon::Active).toImage().pixel(5, 16);
        QCOMPARE(qRed(rest), qGreen(rest));
        QVERIFY(qGreen(hot) > qRed(hot) + 40);
        // The folder's pictures, and the drawn ones of the default nodes it lacks.
        const auto image = [](const QIcon &icon) { return icon.pixmap(16).toImage(); };
        QCOMPARE(QColor(image(w->smallImage(QStringLiteral("ICOcopier"))).pixel(8, 8)), QColor(Qt::red));
        QCOMPARE(image(tree->node(QStringLiteral("NOD7"))->icon(0)), image(w->smallImage(QStringLiteral("ICOpostaltruck"))));
        QTreeWidgetItem *lost = tree->addNode(QStringLiteral("NOD0"), QStringLiteral("NOD99"), QStringLiteral("Lost"),
                                              QStringLiteral("ICOnowhere"), QStringLiteral("RSG"));
        QCOMPARE(image(lost->icon(0)), image(w->smallImage(QStringLiteral("ICO_MISSING"))));
    }

    // The user list outlives the window; a window unloaded while it is shown
    // must leave nothing behind that the list still calls.
    void unloadingAShownWindowLetsGoOfTheList()
    {
        UserListModel &model = users();
        QVERIFY(!model.data(model.index(0, 0), Qt::DecorationRole).isNull());
        g_frmMain.reset();
        QVERIFY(model.data(model.index(0, 0), Qt::DecorationRole).isNull());
        model.addUser(8, QStringLiteral("Dora"));
        QCOMPARE(model.rowCount(), 4);
    }

    void closeBoxKeepsTheWindow()
    {
        QList<int> modes;
        w->onDoExit = [&](int &mode) { modes << mode; };
        QVERIFY(!w->close());
        QCOMPARE(modes, QList<int>({0}));
        QCOMPARE(g_frmMain.get(), static_cast<IMainWindow *>(w));
        QVERIFY(w->isVisible());

        // While the program closes down the window simply goes.
        m_fClosingDown = true;
        QVERIFY(w->close());
        QCOMPARE(modes.size(), 1);
    }

    void exitRunsTheCloseDownOnce()
    {
        const int width = w->width();
        int code = -1;
        try {
            action(w, "mnuFileExit")->trigger();
        } catch (const ProgramEnded &e) {
            code = e.exitCode;
        }
        QCOMPARE(code, 0);
        QVERIFY(!g_frmMain);
        QCOMPARE(SettingsKeys::WindowWidth.read(), QString::number(width * 15));
        const QString log = debugLog();
        QCOMPARE(log.count(QStringLiteral("Closing down (unload mode 1)")), 1);
        QCOMPARE(log.count(QStringLiteral("::QueryUnload")), 1);
    }

    void toSysTrayLetsTheWindowGoOrMinimises()
    {
        w->systemTrayAvailable = [] { return false; };
        action(w, "mnuFileClose")->trigger();
        QCOMPARE(g_frmMain.get(), static_cast<IMainWindow *>(w));
        QCOMPARE(w->windowStateCode(), int(IMainWindow::Minimised));

        w->systemTrayAvailable = [] { return true; };
        w->showMaximized();
        g_vUserList = {CUser(), CUser()};
        QPointer<frmMain> watch(w);
        action(w, "TRY")->trigger(); // the tray button does the same
        QVERIFY(!g_frmMain);
        QCOMPARE(g_fInTray, int(IMainWindow::Maximised));
        QVERIFY(g_vUserList.isEmpty());
        QCoreApplication::sendPostedEvents(watch, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        QVERIFY(!debugLog().contains(QStringLiteral("Closing down")));
    }

    void windowKeepsItsMinimumSize()
    {
        w->resize(100, 100);
        // The tree is 2920 wide: 5600 + 2920 + 120.
        QCOMPARE(w->outerWidth(), 8640);
        // The panes keep 800 under the bars: the reserved height plus 800.
        const int reserved = MainLayout::toTwips(w->statusBar()->height()) + 800
                             + MainLayout::toTwips(control<CoolBar>(w, "CoolBar1")->bandsHeight()) + 390;
        QVERIFY2(w->outerHeight() >= reserved + 800 && w->outerHeight() < reserved + 800 + 15,
                 qPrintable(QStringLiteral("%1 %2").arg(w->outerHeight()).arg(reserved)));
        // Nothing overlaps the status bar at the smallest height.
        QVERIFY(tree->geometry().bottom() < w->centralWidget()->height());

        // A collapsed tree: 8600, to the next whole pixel.
        Q_EMIT bar->pressed(0);
        Q_EMIT bar->released(100);
        w->resize(100, 100);
        QCOMPARE(w->minimumWidth(), 566);

        // A wide tree keeps 5600 twips for the list beside it.
        w->resize(1000, 600);
        Q_EMIT bar->pressed(0);
        Q_EMIT bar->released(5000);
        w->resize(300, 600);
        QVERIFY2(w->outerWidth() >= 5600 + 4920 + 120, qPrintable(QString::number(w->outerWidth())));
        // Narrower still (a window manager may): the tree drawn narrows, and comes back.
        w->windowHandle()->resize(400, 600);
        QTRY_VERIFY_WITH_TIMEOUT(tree->width() < MainLayout::toPixels(4920), stretched(5000));
        w->resize(1000, 600);
        QCOMPARE(tree->width(), MainLayout::toPixels(4920));
    }

    void aStatusNoCopyKnowsKeepsItsRow()
    {
        const auto cell = [this](int column) { return list->model()->index(list->rowOfKey(QStringLiteral("USR1")), column); };
        const int height = list->detailsView()->visualRect(cell(0)).height();
        g_oClientHnd->updateView(1, QStringLiteral("XZZ"), QString(), 0, 0);
        QCOMPARE(cell(UserListModel::StatusColumn).data().toString(), QStringLiteral("XZZ"));
        QVERIFY(!cell(0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(list->detailsView()->visualRect(cell(0)).height(), height);
    }

    void theSearchBandFitsTheNarrowestWindow()
    {
        view(0);
        w->resize(100, 100);
        QCoreApplication::processEvents();
        auto *band = control<CoolBar>(w, "CoolBar1");
        QList<QRect> placed;
        for (const char *name : {"dtETA", "cboNote", "Toolbar2", "txtSearchFor", "cmdSearch"}) {
            const QWidget *part = control(w, QLatin1String(name));
            const QRect at(part->mapTo(band, QPoint(0, 0)), part->size());
            QVERIFY2(band->rect().contains(at), name);
            for (const QRect &other : std::as_const(placed))
                QVERIFY2(!at.intersects(other), name);
            placed << at;
        }
        auto *search = control<QLineEdit>(w, "txtSearchFor");
        QVERIFY(search->width() >= 12 * search->fontMetrics().horizontalAdvance(u'x'));
    }

    // What the status bar and the info bar say once the tree is clicked ("right NOD3"), or pointed at.
    void theBarsNameTheViewShown_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("info");
        QTest::newRow("restart on the default branch") << QStringList() << "Staff Members" << "User List for Staff Members";
        QTest::newRow("right click") << QStringList{"right OUT"} << "Out" << "User List for Out";
        QTest::newRow("contacts node") << QStringList{"left OUT", "left NOD8"} << "Out" << "User List for Out";
        QTest::newRow("pointer over a group") << QStringList{"left NOD7", "left NOD3", "move NOD3"} << "Staff Members"
                                               << "User List for Staff Members";
        QTest::newRow("top node") << QStringList{"left NOD0"} << "Viduruviva Tessaly" << "Welcome to the Viduruviva Tessaly";
    }
    void theBarsNameTheViewShown()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, view);
        m_db->exec(QStringLiteral("INSERT INTO TreeNode (ID, Name, NodeType, ParentID) VALUES (8, 'Contacts', 'CTL', 1)"));
        QVERIFY(restart());
        for (const QString &step : steps) {
            QTreeWidgetItem *node = tree->node(step.section(u' ', 1));
            tree->scrollToItem(node);
            const QPoint at = tree->visualItemRect(node).center();
            if (step.startsWith(QLatin1String("move")))
                QTest::mouseMove(tree->viewport(), at);
            else
                QTest::mouseClick(tree->viewport(), step.startsWith(u'l') ? Qt::LeftButton : Qt::RightButton, {}, at);
            popup()->hide();
        }
        QCOMPARE(control<QLabel>(w, "VIEW")->text(), QStringLiteral("Current View: ") + view);
        QTEST(control<QLabel>(w, "lblStatus")->text(), "info");
        QVERIFY(control<QLabel>(w, "ImageInfoBar")->isVisible());
    }

    void layoutFollowsTheViewKind()
    {
        w->resize(900, 700);
        QCOMPARE(std::pair(list->y(), list->height()), std::pair(tree->y(), tree->height()));
        QVERIFY(list->x() > tree->geometry().right());
        // The list ends at the window's right edge, the panes just above the status bar.
        QVERIFY(qAbs(list->geometry().right() + 1 - w->width()) <= 1);
        QVERIFY(qAbs(tree->geometry().bottom() + 1 - w->centralWidget()->height()) <= 1);
        auto *infoBar = control<QFrame>(w, "ShapeBar");
        QVERIFY(tree->y() > infoBar->geometry().bottom());
        QVERIFY(infoBar->y() > control<CoolBar>(w, "CoolBar1")->geometry().bottom());

        g_sViewType = QStringLiteral("RSG");
        w->ResizeNow();
        QVERIFY(qAbs(list->height() - tree->height() / 2) <= 2);
        const int reservationsTop = control<ListViewPane>(w, "lvwReservations")->y();
        QVERIFY(qAbs(reservationsTop - (list->geometry().bottom() + 1 + MainLayout::toPixels(400))) <= 1);

        // Hiding the info bar moves the panes up.
        const int top = tree->y();
        w->DisplayInfoBar(false);
        QCOMPARE(tree->y(), top - MainLayout::toPixels(390));
        QCOMPARE(action(w, "mnuViewSub(4)")->text(), QStringLiteral("Show Info Bar"));
    }

    void splitterDragSnapsCollapsesAndTheArrowReopens()
    {
        w->resize(900, 700);
        QList<QPoint> placed;
        w->setCursorPos = [&](const QPoint &p) { placed << p; };
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(0, 20));
        Q_EMIT bar->moved(1500);
        QVERIFY(placed.isEmpty());
        Q_EMIT bar->moved(700); // towards the edge: the pointer snaps to it
        QCOMPARE(placed, QList<QPoint>({QPoint(w->frameGeometry().left() + 10, placed.value(0).y())}));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(10 - bar->x(), 20)); // 150 twips into the window
        auto *arrow = control<QToolButton>(w, "imgRightArrow");
        QVERIFY(tree->isHidden() && !arrow->isHidden());
        QCOMPARE(bar->barLeft(), 130.0);
        QCOMPARE(list->x(), MainLayout::toPixels(120));
        // A release with no drag changes nothing.
        Q_EMIT bar->released(5000);
        QCOMPARE(bar->barLeft(), 130.0);

        QTest::mouseClick(arrow, Qt::LeftButton);
        QVERIFY(!tree->isHidden() && arrow->isHidden());
        QCOMPARE(bar->barLeft(), 3000.0);
        QCOMPARE(tree->width(), MainLayout::toPixels(2920));
    }

    void contextMenusOpenWhereAsked()
    {
        QTreeView *details = list->detailsView();
        const QRect bruno = details->visualRect(list->model()->index(list->rowOfKey(QStringLiteral("USR2")), 0));
        QTest::mouseClick(details->viewport(), Qt::RightButton, {}, bruno.center());
        QVERIFY(popup()->isVisible());
        QCOMPARE(popup()->pos(), details->viewport()->mapToGlobal(bruno.center()));
        popup()->hide();
        QTest::keyClick(details, Qt::Key_Menu);
        QCOMPARE(popup()->pos(), details->viewport()->mapToGlobal(bruno.bottomLeft() + QPoint(2, 0)));
        popup()->hide();
        tree->selectNode(QStringLiteral("NOD3"));
        QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(popup()->isVisible());
        QCOMPARE(action(w, "mnuPopupSubMail(0)")->text(), QStringLiteral("Email To Staff Members"));
        popup()->hide();
        clickNode(QStringLiteral("NOD1")); // a branch: nothing for a user without the rights
        QVERIFY(!action(w, "mnuPopup")->isVisible());
        g_oCurrentUser.Admin = true;
        tree->selectNode(QStringLiteral("NOD7"));
        QTest::keyClick(tree, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(popup()->isVisible());
        QCOMPARE(action(w, "mnuPopupSub(13)")->text(), QStringLiteral("Add Resource to Vehicles"));
    }

    void commandsReachTheirInterfaces()
    {
        QList<std::pair<qint32, QString>> phoned;
        QStringList messaged;
        int journals = 0;
        RecordingChat chat;
        g_uiFactory.phoneMessage = [&](qint32 id, const QString &name) { phoned.append({id, name}); };
        g_uiFactory.instantMessage = [&](const QString &to) { messaged << to; };
        g_uiFactory.showPhoneHistory = [&](CClientHnd &) { ++journals; };
        g_uiFactory.chatWindow = [&] { return &chat; };

        // The tool-bar's buttons. A phone message needs a person picked in the user list.
        list->detailsView()->selectionModel()->clear();
        pick("PHR");
        w->selectUserItem(QStringLiteral("USR2"));
        pick("PHR");
        control<ListViewPane>(w, "lvwReservations")->show();
        pick("PHR");
        QCOMPARE(asked(), QStringList(2, "Select Person First:Please select a person from a staff status list to send "
                                         "the phone message to..."));
        Clock::pin(QDateTime(QDate(2004, 8, 2), QTime(12, 0)));
        for (const char *button : {"CHT", "CHT", "BIM", "JRN"}) // the chat open already: no new room
            pick(QLatin1String(button));
        QCOMPARE(chat.rooms, QStringList{QStringLiteral("Ada Lindqvist38201.5")});
        QCOMPARE(std::pair(messaged, journals), std::pair(QStringList{"*"}, 1));
        // F1, Help Contents and the help button; the feedback page.
        QVERIFY(QTest::qWaitForWindowActive(w, stretched(5000)));
        QTest::keyClick(list->detailsView(), Qt::Key_F1);
        pick("mnuHelpSub(0)");
        pick("HLP");
        QCOMPARE(m_db->env.shell.opened, QVector<QUrl>(3, QUrl(QStringLiteral("https://help.example/"))));
        pick("mnuHelpSub(3)");
        QCOMPARE(m_db->env.shell.opened.size(), 4);
        // F5 rereads the view.
        m_db->exec(QStringLiteral("UPDATE STAFF_STATUS SET Note = 'Upstairs' WHERE UserID = 2"));
        QTest::keyClick(note, Qt::Key_F5);
        QCOMPARE(row(2), QStringLiteral("Out|Upstairs|OFF"));

        // The context menus' commands.
        messaged.clear();
        for (CUser &user : g_vUserList)
            user.Email = user.RealName.section(u' ', 0, 0).toLower() + QStringLiteral("@board.example");
        m_db->exec(QStringLiteral("UPDATE STAFF_STATUS SET Email = 'bruno@board.example' WHERE UserID = 2"));
        const QVector<QUrl> &opened = m_db->env.shell.opened;
        const auto mailed = [&] { return opened.value(opened.size() - 1).toString(); };
        menuOf(list, {"USR2", "USR3"});
        pick(QStringLiteral("mnuPopupIM(1)"));
        QCOMPARE(messaged, QStringList{QStringLiteral("/2/3/")});
        auto *tray = new InvitingTray;
        g_frmSysTray.reset(tray);
        pick(QStringLiteral("mnuPopupIM(2)"));
        QCOMPARE(tray->invited, QStringList({"2@", "3@R1"}));
        pick(QStringLiteral("mnuPopupSubMail(1)"));
        QCOMPARE(mailed(), QStringLiteral("mailto:bruno@board.example,chiara@board.example"));
        g_fOutlook = true;
        pick(QStringLiteral("mnuPopupSubMail(2)"));
        g_fOutlook = false;
        QCOMPARE(mailed(), QStringLiteral("mailto:Ada Lindqvist?bcc=bruno@board.example,chiara@board.example"));
        tree->selectNode(QStringLiteral("NOD3"));
        pick(QStringLiteral("mnuPopupSubMail(0)")); // the whole group
        QVERIFY(mailed().contains(QStringLiteral("bruno@board.example")));
        for (int pass = 0; pass < 2; ++pass)
            pick(QStringLiteral("mnuPopupSub(7)"));
        QCOMPARE(g_colNotifyUsers.userIds(), QList<qint32>({2, 3}));

        selectRows(list, {QStringLiteral("USR2")});
        pick(QStringLiteral("mnuPopupSub(3)"));
        // Double-clicks: phone message, e-mail, and no status dialog without the right.
        for (int option : {2, 1, 0}) {
            g_bOnListDblClick = quint8(option);
            g_fCanChangeStatus = false;
            Q_EMIT list->itemDoubleClicked(list->rowOfKey(QStringLiteral("USR1")));
        }
        QCOMPARE(phoned, (QList<std::pair<qint32, QString>>{{2, "Bruno Ferrand"}, {2, "Bruno Ferrand"},
                                                             {1, "Ada Lindqvist"}}));
        QCOMPARE(mailed(), QStringLiteral("mailto:ada@board.example"));

        // Contacts: the address of the e-mail column, and no instant message.
        QStandardItemModel contacts;
        contacts.appendRow({new QStandardItem(QStringLiteral("Zoe Quinn")), new QStandardItem("zoe@far.example")});
        contacts.item(0)->setData(QStringLiteral("CTT2"), Qt::UserRole);
        w->setUserListModel(&contacts);
        g_sViewType = QStringLiteral("CTL");
        selectRows(list, {QStringLiteral("CTT2")});
        pick(QStringLiteral("mnuPopupSubMail(1)"));
        pick(QStringLiteral("mnuPopupIM(1)"));
        QCOMPARE(mailed(), QStringLiteral("mailto:zoe@far.example"));
        QCOMPARE(messaged.size(), 1);
        w->setUserListModel(&users());
        QCOMPARE(m_db->env.errorWindow.shown.size(), 0);
    }

    void changeStatusOnlyForWhomTheUserMay()
    {
        QStringList dialogs;
        g_uiFactory.statusChangeDialog = [&] {
            return std::make_unique<FakeStatusDialog>(dialogs, FakeStatusDialog::Choice{false, "LNC", "Canteen"});
        };
        auto *tray = new FakeTray;
        g_frmSysTray.reset(tray);
        const auto history = [this] { return m_db->value("SELECT COUNT(*) FROM STATUS_HISTORY").toInt(); };
        const int before = history();
        g_fCanChangeStatus = false;
        command(list, {"USR1", "USR2", "USR3"}, 6);
        QCOMPARE(asked(), QStringList{QStringLiteral("Change Status:2 of the selected people were not changed: you may "
                                                     "only change your own status.")});
        QCOMPARE(std::tuple(history() - before, tray->sent.size(), row(1) + u';' + row(2)),
                 std::tuple(1, qsizetype(1), QStringLiteral("Lunch Break|Canteen|OFF;Out|At the bank|OFF")));
        g_fCanChangeStatus = true;
        pick(QStringLiteral("mnuPopupSub(6)"));
        QCOMPARE(history() - before, 4);
        QCOMPARE(row(3), QStringLiteral("Lunch Break|Canteen|OFF"));
        // A click on a row's status icon opens his status, with any button but the right one.
        QTreeView *details = list->detailsView();
        const QRect bruno = details->visualRect(list->model()->index(list->rowOfKey(QStringLiteral("USR2")), 0));
        for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton, Qt::RightButton}) {
            dialogs.clear();
            QTest::mouseClick(details->viewport(), button, {}, QPoint(bruno.left() + 5, bruno.center().y()));
            popup()->hide();
            QCOMPARE(dialogs.size(), button == Qt::RightButton ? 0 : 1);
            QVERIFY(dialogs.value(0, QStringLiteral("target=2")).contains(QStringLiteral("target=2")));
        }
    }

    // Markup planted in every text the windows show from outside reads as it stands; the FIFO it names is
    // never opened: the test ends (a reader would wait for ever, till QtTest's watchdog failed it).
    void outsideTextShowsAsItStands()
    {
        const auto restore = qScopeGuard([cwd = QDir::currentPath()] { QDir::setCurrent(cwd); });
        QVERIFY(QDir::setCurrent(m_db->env.path(QString())) && ::mkfifo("picture", 0600) == 0);
        // No "/": a file name holds one too.
        const auto planted = [](const char *what) { return QStringLiteral("<b>%1<img src=picture>").arg(what); };
        QVERIFY(QImage(9, 9, QImage::Format_RGB32).save(m_db->env.path("icons/" + planted("file") + ".ico"), "ICO"));
        m_db->exec("UPDATE STAFF_STATUS SET RealName = ?, Note = ? WHERE UserID = 2", {planted("name"), planted("note")});
        m_db->exec("INSERT INTO Custom_Status VALUES ('X01', ?, 'O', '', 1)", {planted("status")});
        m_db->exec("UPDATE TreeNode SET Name = ?, ToolTip = ? WHERE ID = 7", {planted("group"), planted("tip")});
        m_db->exec("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (1, ?, ?, 7, 0)",
                   {planted("resource"), planted("code")});
        m_db->exec("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, Note, ReservedFrom, ReservedUntil, "
                   "Returned) VALUES (5, 1, 2, ?, ?, '2000-01-01 00:00:00', '2999-12-31 00:00:00', 0)",
                   {planted("booked"), planted("booking")});
        QVERIFY(restart());
        QStringList shown = shownTexts();
        tree->selectNode("NOD7");
        QTest::keyClick(tree, Qt::Key_Return);
        Q_EMIT list->itemClicked(list->rowOfKey("RES1"));
        Q_EMIT tree->nodeEntered("NOD7");
        MessageWindows windows([] { return nullptr; });
        windows.showNotification(planted("notice"), planted("from"), planted("message"), "room");
        windows.chat().appendMessage(planted("chatter"), planted("chat"));
        frmJournalEntry call(planted("contact"), planted("company"));
        IconSelector strip;
        strip.InitializeIcons(w->iconPictures());
        QMessageBox box;
        QtPrompt::prepare(box, planted("server") + planted("command"), IPrompt::Critical, {});
        frmSysTray tray;
        tray.RefreshIcon("X01");
        shown << shownTexts() << readAs(tray.trayToolTip()) << readAs(planted("net")); // the guard: a raw label
        for (const char *what :
             {"name", "note",    "status",  "group", "tip",    "resource", "code",    "booked", "booking", "notice",
              "from", "message", "chatter", "chat", "contact",  "company", "file",   "server", "command", "net"}) {
            // Shown as it stands, and no more: not inside the paragraph a
            // tooltip that looks like markup is escaped in.
            const QStringList holding = shown.filter(planted(what));
            QVERIFY2(holding.size() > 0, qPrintable(QString(what) + shown.filter(what).join(u'|')));
            QVERIFY2(holding.filter(QRegularExpression(QStringLiteral("</?p[ >]"))).isEmpty(), qPrintable(holding.join(u'|')));
        }
    }

    void recordsFromTheMenus()
    {
        const auto restore = qScopeGuard([editor = g_userEditor] {
            g_userEditor = editor;
            PopupCommands::runDialog = [](QDialog &dialog) { dialog.exec(); };
        });
        RecordingEditor editor;
        g_userEditor = &editor;
        g_oCurrentUser.Admin = true;
        m_db->exec("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (1, 'Van', 'V', 7, 0)");
        for (int id : {5, 6})
            m_db->exec("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, ReservedFrom, ReservedUntil, "
                       "Returned) VALUES (?, 1, 2, 'Bruno', ?, ?, 0)",
                       {id, HistoryDate(Clock::nowDays() + id), HistoryDate(Clock::nowDays() + id + 0.1)});
        auto *bookings = control<ListViewPane>(w, "lvwReservations");
        const auto count = [this](const char *sql) { return m_db->value(QLatin1String(sql)).toInt(); };
        // A delete from the menu: one the database refuses changes nothing, the next goes through.
        const auto deleteTwice = [this](const char *when, const auto &state, const auto &kept, const auto &gone) {
            m_db->exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'no'); END").arg(when));
            pick("mnuPopupSub(11)");
            m_db->exec("DROP TRIGGER refuse");
            QCOMPARE(state(), kept);
            pick("mnuPopupSub(11)");
            QCOMPARE(state(), gone);
        };
        // Users: add and edit go to the options editor; delete asks.
        command(list, {"USR2"}, 9);
        pick("mnuPopupSub(10)");
        QCOMPARE(editor.calls, QStringList({"new 1 self 0", "new 0 self 0"}));
        m_db->env.prompt.defaultAnswer = IPrompt::AnswerYes;
        const auto active = [&] {
            return std::pair(count("SELECT IsActive FROM STAFF_STATUS WHERE UserID = 2"), list->rowOfKey("USR2") >= 0);
        };
        deleteTwice("BEFORE UPDATE ON STAFF_STATUS", active, std::pair(1, true), std::pair(0, false));
        QCOMPARE(asked().mid(1), QStringList({"Delete:Are you sure you want to delete Bruno Ferrand",
                                               "Deleted:Bruno Ferrand has been deleted"}));

        // Resources and bookings.
        clickNode("NOD7");
        m_db->env.prompt.asked.clear();
        command(bookings, {}, 9); // no resource selected
        QCOMPARE(asked(), QStringList{":Please select a Resource first."});
        PopupCommands::runDialog = [](QDialog &dialog) {
            if (auto *node = qobject_cast<frmAddGroup *>(&dialog)) {
                node->txtName->setText(node->txtName->text() == "<new>" ? "Visitors" : "Guests");
                node->OK_Click();
            } else if (auto *resource = qobject_cast<frmResource *>(&dialog)) {
                const int vehicles = resource->icboGroup->findText(QStringLiteral("Vehicles"));
                QVERIFY(vehicles >= 0 && !resource->icboGroup->itemIcon(vehicles).isNull());
                resource->txtName->setText(resource->txtName->text() == "Van" ? "Big Van" : "Truck");
                resource->OK_Click();
            } else if (auto *booking = qobject_cast<frmReservation *>(&dialog)) {
                if (booking->txtBookedTo->text() == QLatin1String("Bruno"))
                    booking->txtBookedTo->setText("Bruno and guest");
                booking->OK_Click();
            }
        };
        command(list, {}, 9);
        selectRows(list, {"RES1"});
        Q_EMIT list->itemClicked(list->rowOfKey("RES1"));
        command(list, {}, 10);
        pick("mnuPopupSubSub(7)"); // all history: ten years
        const QDate since = DateUtil::dateOf(Clock::nowDays()).addDays(-3650);
        QVERIFY(control<QLabel>(w, "lblResource")->text().endsWith(DateUtil::mediumDate(QDateTime(since, QTime()))));
        command(bookings, {}, 9);
        QCOMPARE(m_db->rows("SELECT Name FROM Resource ORDER BY ID"), QStringList({"Big Van", "Truck"}));
        QCOMPARE(count("SELECT COUNT(*) FROM Reservation WHERE UserID = 1"), 1);
        QCOMPARE(bookings->model()->rowCount(), 3);
        command(bookings, {"RES5"}, 10); // another's booking, edited by an administrator
        QCOMPARE(m_db->rows("SELECT BookedTo FROM Reservation WHERE ID = 5"), QStringList{"Bruno and guest"});

        menuOf(bookings, {"RES5"});
        const auto booked = [&] {
            return std::pair(count("SELECT COUNT(*) FROM Reservation"), bookings->model()->rowCount());
        };
        deleteTwice("BEFORE DELETE ON Reservation", booked, std::pair(3, 3), std::pair(2, 2));
        const auto deleteQuestions = [&] { return asked().filter(QRegularExpression("^Delete:Are you sure")).size(); };
        QCOMPARE(deleteQuestions(), 2); // before the refused delete and before the done one
        // Check-in of a booking another copy deleted meanwhile.
        menuOf(bookings, {"RES6"});
        m_db->exec("DELETE FROM Reservation WHERE ID = 6");
        m_db->env.prompt.asked.clear();
        pick("mnuPopupSub(14)");
        QVERIFY(asked().value(0).startsWith("Check In:The booking Bruno no longer exists"));
        QCOMPARE(bookings->model()->rowCount(), 1);

        menuOf(list, {"RES1"}); // a resource goes with its bookings
        const auto rows = [&] {
            return count("SELECT COUNT(*) FROM Reservation") + count("SELECT COUNT(*) FROM Resource");
        };
        deleteTwice("BEFORE DELETE ON Resource", rows, 3, 1);
        QCOMPARE(std::pair(list->model()->rowCount(), bookings->model()->rowCount()), std::pair(1, 0));
        // A tree node added under the selected one, renamed, and deleted with its memberships.
        tree->selectNode("NOD2");
        menuOf(tree);
        pick("mnuPopupSub(9)");
        const int id = count("SELECT MAX(ID) FROM TreeNode");
        const QString key = QStringLiteral("NOD%1").arg(id);
        QCOMPARE(tree->node(key)->parent(), tree->node("NOD2"));
        clickNode(key);
        menuOf(tree);
        pick("mnuPopupSub(10)");
        QCOMPARE(tree->node(key)->text(0), QStringLiteral("Guests"));
        m_db->exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (3, ?)", {id});
        const auto members = [&] {
            return std::pair(count("SELECT COUNT(*) FROM UserGroup WHERE GroupID > 7"), tree->node(key) != nullptr);
        };
        deleteTwice("BEFORE DELETE ON TreeNode", members, std::pair(1, true), std::pair(0, false));
        QCOMPARE(g_sCurrentNodeKey, tree->selectedKey()); // its view gave way
        QCOMPARE(m_db->env.errorWindow.shown.size(), 4); // the four refusals
        QCOMPARE(deleteQuestions(), 4); // the resource's and the node's
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
