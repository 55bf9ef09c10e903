#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestSupport.h"
#include "app/ISplash.h"
#include "app/MStartUp.h"
#include "foundation/CStatus.h"
#include "foundation/Globals.h"
#include "messaging/tray/frmSysTray.h"
#include "messaging/tray/TrayCommands.h"
#include "messaging/tray/TrayIconLoader.h"
#include "messaging/tray/TrayIconRules.h"
#include "messaging/tray/TrayMenu.h"
#include "status/IconArt.h"

#include <QImage>
#include <QtTest>

namespace {

QStringList tags(const QList<TrayMenuItem> &items)
{
    QStringList result;
    for (const TrayMenuItem &item : items)
        result << item.tag;
    return result;
}

QAction *actionTagged(QMenu *menu, const QString &tag)
{
    for (QAction *action : menu->actions()) {
        if (action->data().toString() == tag)
            return action;
        if (QAction *inner = action->menu() ? actionTagged(action->menu(), tag) : nullptr)
            return inner;
    }
    return nullptr;
}

// Counts the close-downs by their first step.
struct CountingProgress : ISplash
{
    explicit CountingProgress(int &count) : closeDowns(count) {}
    void showWindow() override {}
    void hideWindow() override {}
    void setStatusText(const QString &text) override { closeDowns += text == "Updating Status..." ? 1 : 0; }
    int &closeDowns;
};

class RestoredWindow : public StubMainWindow
{
public:
    bool isWindowVisible() const override { return visible; }
    int windowStateCode() const override { return state; }
    void setWindowStateCode(int s) override { state = s; }
    void showWindow() override { visible = true; }
    void treeViewClick(const QString &key, bool force) override { opened << key + (force ? "!" : ""); }
    bool visible = false;
    int state = Normal;
    QStringList opened;
};

class TimerTray : public StubTrayWindow
{
public:
    void setUpdateTimerEnabled(bool on) override { timer << on; }
    bool isUpdateTimerEnabled() const override { return !timer.isEmpty() && timer.last(); }
    QList<bool> timer;
};

} // namespace

class tst_SysTray : public QObject
{
    Q_OBJECT
private slots:
    void init() { g_colCustomStatus.clear(); }

    void menuWithAndWithoutCustomStatuses()
    {
        TestEnvironment env;
        g_colCustomStatus = {{"Training", "X01", "I", ""}, {"Board", "X02", "M", ""}, {"Reception", "X03", "I", ""}};
        TrayMenu menu;
        menu.populateMenuStrings();
        menu.loadCustomStatusMenus(g_colCustomStatus);
        menu.loadCustomStatusMenus(g_colCustomStatus); // a reload replaces, never adds
        QVERIFY(menu.statusItems()[TrayMenu::InMore].visible && !menu.statusItems()[TrayMenu::OutMore].visible);
        const QList<TrayMenuItem> &in = *menu.subMenu(TrayMenu::InMore);
        QCOMPARE(tags(in), (QStringList{"INN", "X01", "X03"}));
        QCOMPARE(in[0].caption + '|' + in[2].caption, QStringLiteral("In|Reception"));
        QCOMPARE(tags(*menu.subMenu(TrayMenu::OutMore)), QStringList{"OUT"});
        QCOMPARE(tags(*menu.subMenu(TrayMenu::Meeting)), (QStringList{"MTG", "MTA", "MTD", "MTO", "MTT", "X02"}));

        menu.loadCustomStatusMenus({});
        const QList<TrayMenuItem> &items = menu.statusItems();
        QCOMPARE(tags(items), (QStringList{"INN", "QINN", "OUT", "QOUT", "LNC", "HME", "QMTG", "DND", "SCK", "BRK", "VAC"}));
        QVERIFY(!items[TrayMenu::InMore].visible && !items[TrayMenu::OutMore].visible && items[TrayMenu::Meeting].visible);
        QCOMPARE(tags(*menu.subMenu(TrayMenu::Meeting)), (QStringList{"MTG", "MTA", "MTD", "MTO", "MTT"}));
        QCOMPARE(QStringList({menu.restoreCaption(), items[TrayMenu::InMore].caption, items[4].caption,
                              menu.subMenu(TrayMenu::Meeting)->at(0).caption, menu.exitCaption()}),
                 QStringList({"Restore", "In (more...)", "Lunch Break", "Meeting", "Exit"}));
        QCOMPARE(menu.subMenu(TrayMenu::InMore)->size(), 1);
    }

    void subMenuOpenersDoNothing()
    {
        TestEnvironment env;
        g_colCustomStatus = {{"Training", "X01", "I", ""}, {"Board", "X02", "M", ""}};
        frmSysTray tray;
        QStringList changed;
        tray.changeStatus = [&](const QString &code) { changed << code; };
        tray.loadCustomStatusMenus();
        QMenu *menu = tray.mnuSysTray();
        QVERIFY(actionTagged(menu, "QINN")->isVisible() && !actionTagged(menu, "QOUT")->isVisible());
        actionTagged(menu, "QINN")->trigger();
        actionTagged(menu, "QMTG")->trigger();
        QCOMPARE(changed, QStringList());
        for (const char *tag : {"LNC", "X01", "X02", "MTA"})
            actionTagged(menu, tag)->trigger();
        QCOMPARE(changed, (QStringList{"LNC", "X01", "X02", "MTA"}));
    }

    void tipsAndPictures()
    {
        TestEnvironment env;
        g_colCustomStatus = {{"  Offsite " + QString(70, u'w'), "X01", "O", "ICOcopier"}, {"Plain", "X02", "I", ""}};
        QCOMPARE(TrayIconRules::toolTip("LNC"), QStringLiteral("Qel - Lunch Break"));
        const QString tip = TrayIconRules::toolTip("X01");
        QCOMPARE(tip.size(), 63); // the tray's 64 characters hold the closing NUL too
        QVERIFY(tip.startsWith("Qel - Offsite www"));
        QCOMPARE(QStringList({TrayIconRules::iconName("LNC"), TrayIconRules::iconName("X01"), TrayIconRules::iconName("X02"),
                              TrayIconRules::iconName("X77")}), // the last not loaded
                 QStringList({"LNC", "ICOcopier", "Qel", "OUT"}));
        // The tray shows the pictures of the main window's list.
        for (const char *name : {"INN", "OUT", "LNC", "BRK", "DND", "HME", "MTG", "MTA", "MTD", "MTO", "MTT", "SCK", "VAC",
                                 "Qel", "ICOcopier"})
            QCOMPARE(TrayIconLoader::load(name, {}, {}).pixmap(32).toImage(), IconArt::picture(name, 32).toImage());
        QVERIFY(TrayIconLoader::load("PHONE", {}, {}).isNull());

        frmSysTray tray;
        QCOMPARE(tray.trayToolTip(), QStringLiteral("Qel"));
        const qint64 before = tray.windowIcon().cacheKey();
        tray.RefreshIcon("LNC");
        QCOMPARE(tray.trayToolTip(), QStringLiteral("Qel - Lunch Break"));
        QVERIFY(tray.windowIcon().cacheKey() != before);
    }

    void iconFilesFromTheIconFolder()
    {
        QTemporaryDir program;
        const QString dir = program.path();
        QDir(dir).mkpath("icons");
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir + "/icons/copier.ico", "ICO"));
        QVERIFY(picture.save(dir + "/escaped.ico", "ICO"));

        // An empty icon_home means the icons folder beside the program.
        QCOMPARE(TrayIconRules::iconFilePath("ICOcopier", "", dir), dir + "/icons/copier.ico");
        const QIcon icon = TrayIconLoader::load("ICOcopier", "", dir);
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        QVERIFY(TrayIconLoader::load("ICOmissing", "", dir).isNull());
        // Names that could reach outside the folder are refused, even where the file is there.
        QVERIFY(TrayIconLoader::load("ICO../escaped", "", dir).isNull());
        for (const char *name : {"ICOa/b", "ICOa\\b", "ICO"})
            QVERIFY2(TrayIconRules::iconFilePath(name, "", dir).isEmpty(), name);

        QCOMPARE(TrayIconRules::iconFolder(dir + "/icons", "/opt/qel"), dir + "/icons/");
        QCOMPARE(TrayIconRules::iconFolder("/srv/qel\\icons\\", "/opt/qel"), QStringLiteral("/srv/qel/icons/"));
        for (const char *elsewhere : {"C:\\Qel\\icons\\", "\\\\server\\icons"}) // folders of another system
            QCOMPARE(TrayIconRules::iconFolder(elsewhere, "/opt/qel"), QStringLiteral("/opt/qel/icons/"));
    }

    void restoreBringsTheWindowBack()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        RestoredWindow *window = nullptr;
        g_uiFactory.mainWindow = [&] {
            auto made = std::make_unique<RestoredWindow>();
            window = made.get();
            return std::unique_ptr<IMainWindow>(std::move(made));
        };
        auto *tray = new TimerTray;
        g_frmSysTray.reset(tray);
        g_fInTray = IMainWindow::Maximised;

        TrayCommands::restoreMainWindow(*tray);
        QVERIFY(window && g_frmMain.get() == window && window->visible && g_fRefreshNeeded);
        QCOMPARE(window->state, int(IMainWindow::Maximised));
        QCOMPARE(window->opened.last(), g_sCurrentNodeKey + '!');
        QCOMPARE(tray->timer, (QList<bool>{false, true})); // stopped by the initialisation, started again

        const qsizetype opened = window->opened.size();
        TrayCommands::restoreMainWindow(*tray); // shown as it was kept: left alone
        QCOMPARE(window->opened.size(), opened);

        // Sent to the tray minimised, it comes back where it can be seen.
        g_fInTray = window->state = IMainWindow::Minimised;
        TrayCommands::restoreMainWindow(*tray);
        QCOMPARE(window->state, int(IMainWindow::Normal));

        g_frmMain.reset();
        g_frmSysTray.reset();
        g_uiFactory.mainWindow = nullptr;
        g_fInTray = 0;
    }

    void exitClosesDownOnce()
    {
        TestEnvironment env;
        int closeDowns = 0;
        g_uiFactory.closeProgress = [&] { return std::unique_ptr<ISplash>(std::make_unique<CountingProgress>(closeDowns)); };
        {
            frmSysTray tray; // not in g_frmSysTray, so the close-down leaves it to us
            QAction *exitAction = tray.mnuSysTray()->actions().last();
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, exitAction->trigger());
            // A second Exit and the tray window's own unload find it under way.
            exitAction->trigger();
            tray.close();
        }
        QCOMPARE(closeDowns, 1);
        g_uiFactory.closeProgress = nullptr;
        ResetCloseDownForTests();
    }
};

QTEST_MAIN(tst_SysTray)
#include "tst_SysTray.moc"
