#include "BoardWorld.h"
#include "TestSupport.h"
#include "app/ISplash.h"
#include "app/MStartUp.h"
#include "foundation/CStatus.h"
#include "foundation/Globals.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MCIFunctions.h"
#include "mainwindow/CoolBar.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/KeyedTreeWidget.h"
#include "mainwindow/ListViewPane.h"
#include "mainwindow/SplitterBar.h"
#include "platform/DbConnection.h"
#include "status/CClientHnd.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QAction>
#include <QComboBox>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

// The window as the program holds it: owned by g_frmMain.
frmMain *openWindow()
{
    auto window = std::make_unique<frmMain>();
    frmMain *raw = window.get();
    g_frmMain = std::move(window);
    return raw;
}

CStatus custom(const char *code, const char *name, const char *type)
{
    CStatus status;
    status.StatusCode = QLatin1String(code);
    status.Status = QLatin1String(name);
    status.CustomType = QLatin1String(type);
    return status;
}

// A tool-bar button's drop-down items as "key=caption".
QStringList menuKeys(frmMain *w, const char *button)
{
    QStringList keys;
    const QList<QAction *> items = control<QMenu>(w, QLatin1String(button) + QStringLiteral("Menu"))->actions();
    for (QAction *item : items)
        keys << item->data().toString() + u'=' + item->text();
    return keys;
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

    QString debugLog() const { return readTextFile(m_env->path(QStringLiteral("logs/debug.log"))); }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_env->useSqliteDatabase();
        const QString icons = m_env->path(QStringLiteral("icons"));
        QDir().mkpath(icons);
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(QImageWriter(icons + QStringLiteral("/copier.ico"), "ico").write(picture));
        DbHandle db = OpenADOConnection();
        db->execute(QStringLiteral("CREATE TABLE Properties (pkey varchar(10) NOT NULL PRIMARY KEY, pvalue varchar(254))"));
        db->execute(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('icon_home', ?), ('help_url', ?)"),
                    {icons, QStringLiteral("https://help.example/")});
        ResetCloseDownForTests();
        g_sViewType.clear();
        g_sCurrentNodeKey.clear();
        SetLanguage(QStringLiteral("ENU"));
    }

    void cleanup()
    {
        g_frmMain.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_uiFactory = UiFactory();
        ResetCloseDownForTests();
        SetLanguage(QStringLiteral("ENU"));
        m_env.reset();
    }

    void captionsInTwoLanguages()
    {
        frmMain *w = openWindow();
        const auto item = [w](const char *name) { return action(w, QLatin1String(name))->text(); };
        const auto tip = [w](const char *key) { return action(w, QLatin1String(key))->toolTip(); };
        w->populateMenuStrings();
        QCOMPARE(w->caption(), QStringLiteral("Viduruviva Tessaly"));
        QCOMPARE(item("mnuFile"), QStringLiteral("&File"));
        QCOMPARE(item("mnuFileClose"), QStringLiteral("To Sys-Tray"));
        QCOMPARE(item("mnuPopupAdminSub(1)"), QStringLiteral("&Admin"));
        QCOMPARE(tip("INN"), QStringLiteral("In"));
        QCOMPARE(tip("CHT"), QStringLiteral("Open the Chat Room"));
        QCOMPARE(control<QPushButton>(w, "cmdSearch")->text(), QStringLiteral("Find"));
        QCOMPARE(item("mnuViewSub(0)"), QStringLiteral("Show Search"));
        QCOMPARE(item("mnuViewSub(4)"), QStringLiteral("Hide Info Bar"));

        // Toggled items take the other caption, in the new language.
        SetLanguage(QStringLiteral("FRA"));
        action(w, QStringLiteral("mnuViewSub(0)"))->setChecked(true);
        action(w, QStringLiteral("mnuViewSub(4)"))->setChecked(false);
        w->populateMenuStrings();
        QCOMPARE(item("mnuFile"), QStringLiteral("&Fichier"));
        QCOMPARE(item("mnuAdminCustomStatus"), QStringLiteral("Statut personnalisé"));
        QCOMPARE(tip("INN"), QStringLiteral("Présent"));
        QCOMPARE(tip("BIM"), QStringLiteral("Broadcast an Instant Message")); // not translated
        QCOMPARE(control<QPushButton>(w, "cmdSearch")->text(), QStringLiteral("Rechercher"));
        QCOMPARE(item("mnuViewSub(0)"), QStringLiteral("Masquer la recherche"));
        QCOMPARE(item("mnuViewSub(4)"), QStringLiteral("Afficher la barre d'informations"));
    }

    void customStatusMenus()
    {
        frmMain *w = openWindow();
        const QStringList meeting = {"MTA=Available", "MTD=Do not Disturb", "MTO=Out of Office", "MTT=Tentative"};
        g_colCustomStatus.clear();
        w->loadCustomStatusToolbarMenus();
        QCOMPARE(menuKeys(w, "INN") + menuKeys(w, "OUT"), QStringList());
        QCOMPARE(menuKeys(w, "MTG"), meeting);
        // No arrow opens an empty menu.
        auto *inButton = qobject_cast<QToolButton *>(control<QToolBar>(w, "Toolbar1")->widgetForAction(action(w, QStringLiteral("INN"))));
        QVERIFY(!inButton->menu() && inButton->popupMode() != QToolButton::MenuButtonPopup);

        g_colCustomStatus = {custom("XWH", "Working from home", "i"), custom("XCL", "Client visit", "O"),
                             custom("XBD", "Board & staff", "M"), custom("XTR", "Training", "Z"),
                             custom("XOF", "In the office", "I")};
        for (int pass = 0; pass < 2; ++pass) { // a reload replaces the items
            w->loadCustomStatusToolbarMenus();
            QCOMPARE(menuKeys(w, "INN"), QStringList({"XWH=Working from home", "XOF=In the office"}));
            QCOMPARE(menuKeys(w, "OUT"), QStringList({"XCL=Client visit"}));
            QCOMPARE(menuKeys(w, "MTG"), meeting + QStringList({"XBD=Board && staff", "XTR=Training"}));
        }
        QCOMPARE(inButton->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(inButton->menu(), control<QMenu>(w, "INNMenu"));
        g_colCustomStatus.clear();
    }

    void closeBoxKeepsTheWindow()
    {
        frmMain *w = openWindow();
        w->show();
        QList<int> modes;
        w->onDoExit = [&](int &mode) { modes << mode; };
        QVERIFY(!w->close());
        QCOMPARE(modes, QList<int>({0}));
        QCOMPARE(g_frmMain.get(), static_cast<IMainWindow *>(w));
        QVERIFY(w->isVisible());
        QCOMPARE(debugLog().count(QStringLiteral("Close down from Control Menu, m_fClosingDown = False")), 1);

        // While the program closes down the window simply goes.
        m_fClosingDown = true;
        QVERIFY(w->close());
        QCOMPARE(modes.size(), 1);
        QVERIFY(debugLog().contains(QStringLiteral("m_fClosingDown = True")));
    }

    void exitRunsTheCloseDownOnce()
    {
        g_uiFactory.mainWindow = [] { return std::unique_ptr<IMainWindow>(std::make_unique<frmMain>()); };
        g_uiFactory.trayWindow = [] { return std::unique_ptr<ITrayWindow>(); };
        g_uiFactory.closeProgress = [] { return std::unique_ptr<ISplash>(); };
        StartUserInterface();
        auto *w = dynamic_cast<frmMain *>(g_frmMain.get());
        QVERIFY(w);
        w->show();
        int code = -1;
        try {
            action(w, "mnuFileExit")->trigger();
        } catch (const ProgramEnded &e) {
            code = e.exitCode;
        }
        QCOMPARE(code, 0);
        QVERIFY(!g_frmMain);
        const QString log = debugLog();
        QCOMPARE(log.count(QStringLiteral("Closing down (unload mode 1)")), 1);
        QCOMPARE(log.count(QStringLiteral("::QueryUnload")), 1);
        QVERIFY(log.contains(QStringLiteral("Close down from Unload Code, m_fClosingDown = False")));
    }

    void toSysTrayLetsTheWindowGoOrMinimises()
    {
        frmMain *w = openWindow();
        w->systemTrayAvailable = [] { return false; };
        w->show();
        action(w, "mnuFileClose")->trigger();
        QCOMPARE(g_frmMain.get(), static_cast<IMainWindow *>(w));
        QCOMPARE(w->windowStateCode(), int(IMainWindow::Minimised));

        w->systemTrayAvailable = [] { return true; };
        w->showMaximized();
        g_vUserList = {CUser(), CUser()};
        QPointer<frmMain> watch(w);
        action(w, "mnuFileClose")->trigger();
        QVERIFY(!g_frmMain);
        QCOMPARE(g_fInTray, int(IMainWindow::Maximised));
        QVERIFY(g_vUserList.isEmpty());
        QCoreApplication::sendPostedEvents(watch, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        QVERIFY(!debugLog().contains(QStringLiteral("Closing down")));
    }

    void windowKeepsItsMinimumSize()
    {
        frmMain *w = openWindow();
        w->show();
        w->resize(100, 100);
        // The tree is 2920 wide: 5600 + 2920 + 120.
        QCOMPARE(w->outerWidth(), 8640);
        // The panes keep 800 under the bars: the reserved height plus 800.
        const int reserved = MainLayout::toTwips(w->statusBar()->height()) + 800
                             + MainLayout::toTwips(control<CoolBar>(w, "CoolBar1")->bandsHeight()) + 390;
        QVERIFY2(w->outerHeight() >= reserved + 800 && w->outerHeight() < reserved + 800 + 15,
                 qPrintable(QStringLiteral("%1 %2").arg(w->outerHeight()).arg(reserved)));
        // Nothing overlaps the status bar at the smallest height.
        QVERIFY(control<KeyedTreeWidget>(w, "trvUserlist")->geometry().bottom() < w->centralWidget()->height());

        // A collapsed tree: 8600, to the next whole pixel.
        Q_EMIT control<SplitterBar>(w, "picVerticalSplit")->pressed(0);
        Q_EMIT control<SplitterBar>(w, "picVerticalSplit")->released(100);
        w->resize(100, 100);
        QCOMPARE(w->minimumWidth(), 566);

        // A wide tree keeps 5600 twips for the list beside it.
        w->resize(1000, 600);
        Q_EMIT control<SplitterBar>(w, "picVerticalSplit")->pressed(0);
        Q_EMIT control<SplitterBar>(w, "picVerticalSplit")->released(5000);
        w->resize(300, 600);
        QVERIFY2(w->outerWidth() >= 5600 + 4920 + 120, qPrintable(QString::number(w->outerWidth())));
        // Narrower still (a window manager may): the tree drawn narrows, and comes back.
        w->windowHandle()->resize(400, 600);
        QTRY_VERIFY(control<KeyedTreeWidget>(w, "trvUserlist")->width() < MainLayout::toPixels(4920));
        w->resize(1000, 600);
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->width(), MainLayout::toPixels(4920));
    }

    void layoutFollowsTheViewKind()
    {
        frmMain *w = openWindow();
        w->resize(900, 700);
        w->show();
        g_sViewType = QStringLiteral("GRP");
        w->ResizeNow();
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->y(), control<KeyedTreeWidget>(w, "trvUserlist")->y());
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->height(), control<KeyedTreeWidget>(w, "trvUserlist")->height());
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->x(), MainLayout::toPixels(40));
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->width(), MainLayout::toPixels(2920));
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->x(), MainLayout::toPixels(3040));
        // The list ends at the window's right edge, the panes just above the status bar.
        QVERIFY(qAbs(control<ListViewPane>(w, "lvwUserList")->geometry().right() + 1 - w->width()) <= 1);
        QVERIFY(qAbs(control<KeyedTreeWidget>(w, "trvUserlist")->geometry().bottom() + 1 - w->centralWidget()->height()) <= 1);
        QVERIFY(control<KeyedTreeWidget>(w, "trvUserlist")->y() > control<QFrame>(w, "ShapeBar")->geometry().bottom());
        QVERIFY(control<QFrame>(w, "ShapeBar")->y() > control<CoolBar>(w, "CoolBar1")->geometry().bottom());

        g_sViewType = QStringLiteral("RSG");
        w->ResizeNow();
        QVERIFY(qAbs(control<ListViewPane>(w, "lvwUserList")->height() - control<KeyedTreeWidget>(w, "trvUserlist")->height() / 2) <= 2);
        QVERIFY(qAbs(control<ListViewPane>(w, "lvwReservations")->y() - (control<ListViewPane>(w, "lvwUserList")->geometry().bottom() + 1 + MainLayout::toPixels(400))) <= 1);

        // Hiding the info bar moves the panes up.
        const int top = control<KeyedTreeWidget>(w, "trvUserlist")->y();
        w->DisplayInfoBar(false);
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->y(), top - MainLayout::toPixels(390));
        QCOMPARE(action(w, QStringLiteral("mnuViewSub(4)"))->text(), QStringLiteral("Show Info Bar"));
    }

    void splitterDragSnapsCollapsesAndTheArrowReopens()
    {
        frmMain *w = openWindow();
        w->resize(900, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QList<QPoint> placed;
        w->setCursorPos = [&](const QPoint &p) { placed << p; };
        SplitterBar *bar = control<SplitterBar>(w, "picVerticalSplit");
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(0, 20));
        Q_EMIT bar->moved(1500);
        QVERIFY(placed.isEmpty());
        Q_EMIT bar->moved(700); // towards the edge: the pointer snaps to it
        QCOMPARE(placed.size(), 1);
        QCOMPARE(placed.at(0).x(), w->frameGeometry().left() + 10);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(10 - bar->x(), 20)); // 150 twips into the window
        QVERIFY(control<KeyedTreeWidget>(w, "trvUserlist")->isHidden());
        QVERIFY(!control<QToolButton>(w, "imgRightArrow")->isHidden());
        QCOMPARE(bar->barLeft(), 130.0);
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->x(), MainLayout::toPixels(120));
        // A release with no drag changes nothing.
        Q_EMIT bar->released(5000);
        QCOMPARE(bar->barLeft(), 130.0);

        QTest::mouseClick(control<QToolButton>(w, "imgRightArrow"), Qt::LeftButton);
        QVERIFY(!control<KeyedTreeWidget>(w, "trvUserlist")->isHidden());
        QVERIFY(control<QToolButton>(w, "imgRightArrow")->isHidden());
        QCOMPARE(bar->barLeft(), 3000.0);
        QCOMPARE(control<KeyedTreeWidget>(w, "trvUserlist")->width(), MainLayout::toPixels(2920));
    }

    void functionKeysAndHelp()
    {
        frmMain *w = openWindow();
        g_oClientHnd = std::make_unique<CClientHnd>();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(control<ListViewPane>(w, "lvwUserList")->detailsView(), Qt::Key_F1);
        action(w, "mnuHelpSub(0)")->trigger();
        action(w, "HLP")->trigger();
        QCOMPARE(m_env->shell.opened, QVector<QUrl>(3, QUrl(QStringLiteral("https://help.example/"))));
        action(w, "mnuHelpSub(3)")->trigger();
        QCOMPARE(m_env->shell.opened.size(), 4);
        g_lLastUpdated = 7;
        QTest::keyClick(control<QComboBox>(w, "cboNote"), Qt::Key_F5);
        QCOMPARE(g_lLastUpdated, -1);
        g_oClientHnd.reset();
    }

    // The controller's list outlives the window; a window unloaded while it
    // is shown must leave nothing behind that the list still calls.
    void unloadingAShownWindowLetsGoOfTheList()
    {
        g_oClientHnd = std::make_unique<CClientHnd>();
        UserListModel &model = g_oClientHnd->userList().model();
        const int row = model.addUser(7, QStringLiteral("Ada"));
        model.patch(row, [](UserListItem &item) { item.IconKey = QStringLiteral("INN"); });
        openWindow();
        g_frmMain->showWindow();
        QCoreApplication::processEvents();
        QVERIFY(!model.data(model.index(row, 0), Qt::DecorationRole).isNull());
        g_frmMain.reset();
        // No picture is asked of the window that went.
        QVERIFY(model.data(model.index(row, 0), Qt::DecorationRole).isNull());
        model.addUser(8, QStringLiteral("Bruno"));
        QCOMPARE(model.rowCount(), 2);
        g_oClientHnd.reset();
    }

    void picturesAreBound()
    {
        frmMain *w = openWindow();
        QVERIFY(!w->windowIcon().isNull());
        for (const QAction *button : control<QToolBar>(w, "Toolbar1")->actions())
            QCOMPARE(button->icon().isNull(), button->isSeparator());
        // Grey at rest, coloured under the pointer.
        const QIcon in = action(w, QStringLiteral("INN"))->icon();
        const QRgb rest = in.pixmap(32, QIcon::Normal).toImage().pixel(5, 16);
        const QRgb hot = in.pixmap(32, QIcon::Active).toImage().pixel(5, 16);
        QCOMPARE(qRed(rest), qGreen(rest));
        QVERIFY(qGreen(hot) > qRed(hot) + 40);
    }

    void listPicturesFollowTheViewStyle()
    {
        frmMain *w = openWindow();
        QStandardItemModel users(0, 1);
        for (const char *key : {"INN", "ICOcopier"}) {
            auto *row = new QStandardItem(QLatin1String(key));
            row->setData(QStringLiteral("USR%1").arg(users.rowCount() + 1), ListViewPane::KeyRole);
            row->setData(QLatin1String(key), ListViewPane::IconKeyRole);
            users.appendRow(row);
        }
        w->setUserListModel(&users);
        const auto pictureOf = [&](int r) {
            return control<ListViewPane>(w, "lvwUserList")->model()->index(r, 0).data(Qt::DecorationRole).value<QIcon>();
        };
        QCOMPARE(pictureOf(0).availableSizes(), QList<QSize>({QSize(16, 16)}));
        w->ChangeView(ListViewPane::LargeIcons);
        QVERIFY(pictureOf(0).availableSizes().contains(QSize(32, 32)));
        QCOMPARE(QColor(pictureOf(1).pixmap(32).toImage().pixel(10, 10)), QColor(Qt::red));
        QCOMPARE(GetRegistryValue(QStringLiteral("ListView"), AppRegistryKey() + QStringLiteral("\\Settings")),
                 QStringLiteral("0"));
        QVERIFY(action(w, QStringLiteral("mnuViewSub(8)"))->isChecked());

        // The selection survives a change of style.
        w->selectUserItem(QStringLiteral("usr2"));
        w->ChangeView(ListViewPane::Details);
        QCOMPARE(control<ListViewPane>(w, "lvwUserList")->selectedKey(), QStringLiteral("USR2"));
    }

    void treeNodesByKeyAndTag()
    {
        frmMain *w = openWindow();
        KeyedTreeWidget *tree = control<KeyedTreeWidget>(w, "trvUserlist");
        QVERIFY(tree->addNode(QString(), QStringLiteral("TOP"), QStringLiteral("Qel"), QStringLiteral("Qel"),
                              QStringLiteral("TOP")));
        QTreeWidgetItem *staff = tree->addNode(QStringLiteral("TOP"), QStringLiteral("NOD3"), QStringLiteral("Staff Members"),
                                               QStringLiteral("ORBIT"), QStringLiteral("GRP"));
        QCOMPARE(staff->parent(), tree->node(QStringLiteral("top")));
        QVERIFY(!tree->addNode(QStringLiteral("TOP"), QStringLiteral("nod3"), QStringLiteral("Again"),
                               QStringLiteral("ORBIT"), QStringLiteral("GRP")));
        const auto picture = [](const QIcon &icon) { return icon.pixmap(16).toImage(); };
        QTreeWidgetItem *vehicles = tree->addNode(QStringLiteral("TOP"), QStringLiteral("NOD4"), QStringLiteral("Vehicles"),
                                                  QStringLiteral("ICOpostaltruck"), QStringLiteral("RSG"));
        QCOMPARE(picture(vehicles->icon(0)), picture(w->smallImage(QStringLiteral("ICOpostaltruck"))));
        QTreeWidgetItem *lost = tree->addNode(QStringLiteral("TOP"), QStringLiteral("NOD5"), QStringLiteral("Lost"),
                                              QStringLiteral("ICOnowhere"), QStringLiteral("RSG"));
        QCOMPARE(picture(lost->icon(0)), picture(w->smallImage(QStringLiteral("ICO_MISSING"))));
        QCOMPARE(w->treeNodeTag(QStringLiteral("NOD3")), QStringLiteral("GRP"));
        QCOMPARE(w->treeNodeTag(QStringLiteral("NOD9")), QString());
        w->treeViewClick(QStringLiteral("NOD3"), false);
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD3"));
        QCOMPARE(g_sViewType, QStringLiteral("GRP"));
        QCOMPARE(tree->selectedKey(), QStringLiteral("NOD3"));
        // Opening a view before the window was first shown keeps the tree pane.
        w->show();
        QCOMPARE(control<SplitterBar>(w, "picVerticalSplit")->barLeft(), 3000.0);
        QVERIFY(!tree->isHidden());
        w->setCurrentViewMsg();
        QCOMPARE(control<QLabel>(w, QStringLiteral("VIEW"))->text(), QStringLiteral("Current View: Staff Members"));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
