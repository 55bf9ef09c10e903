#include "CStatus.h"
#include "Globals.h"
#include "ISplash.h"
#include "MStartUp.h"
#include "StubMainWindow.h"
#include "TrayCommands.h"
#include "TestSupport.h"
#include "TrayIconLoader.h"
#include "TrayIconRules.h"
#include "TrayMenu.h"
#include "frmSysTray.h"

#include <QImage>
#include <QtTest>

namespace {

CStatus custom(const QString &code, const QString &type, const QString &description, const QString &icon = {})
{
    return CStatus{description, code, type, icon};
}

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
        if (action->menu())
            if (QAction *inner = actionTagged(action->menu(), tag))
                return inner;
    }
    return nullptr;
}

// Counts the close-downs by their first step.
class CountingProgress : public ISplash
{
public:
    explicit CountingProgress(int &count) : m_count(count) {}
    void showWindow() override {}
    void hideWindow() override {}
    void setStatusText(const QString &text) override
    {
        if (text == QLatin1String("Updating Status..."))
            ++m_count;
    }

private:
    int &m_count;
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

class TimerTray : public ITrayWindow
{
public:
    void showOffscreen() override {}
    void setUpdateTimerEnabled(bool on) override { timer << on; }
    bool isUpdateTimerEnabled() const override { return !timer.isEmpty() && timer.last(); }
    void removeTrayIcon() override {}
    void hideWindow() override {}
    QList<bool> timer;
};

} // namespace

class tst_SysTray : public QObject
{
    Q_OBJECT
private slots:
    void menuWithoutCustomStatuses();
    void menuWithCustomStatuses();
    void subMenuOpenersDoNothing();
    void toolTip();
    void iconNames();
    void iconFilesFromTheIconFolder();
    void restoreBringsTheWindowBack();
    void exitClosesDownOnce();
};

void tst_SysTray::menuWithoutCustomStatuses()
{
    TestEnvironment env;
    TrayMenu menu;
    menu.populateMenuStrings();
    menu.loadCustomStatusMenus({});
    QCOMPARE(menu.restoreCaption(), QStringLiteral("Restore"));
    QCOMPARE(menu.exitCaption(), QStringLiteral("Exit"));
    const QList<TrayMenuItem> &items = menu.statusItems();
    QCOMPARE(tags(items), (QStringList{"INN", "QINN", "OUT", "QOUT", "LNC", "HME", "QMTG", "DND", "SCK", "BRK", "VAC"}));
    QCOMPARE(items[TrayMenu::InMore].caption, QStringLiteral("In (more...)"));
    QVERIFY(!items[TrayMenu::InMore].visible);
    QVERIFY(!items[TrayMenu::OutMore].visible);
    QVERIFY(items[TrayMenu::In].visible && items[TrayMenu::Meeting].visible);
    QCOMPARE(items[4].caption, QStringLiteral("Lunch Break"));
    QCOMPARE(tags(*menu.subMenu(TrayMenu::Meeting)), (QStringList{"MTG", "MTA", "MTD", "MTO", "MTT"}));
    QCOMPARE(menu.subMenu(TrayMenu::Meeting)->at(0).caption, QStringLiteral("Meeting"));
    QCOMPARE(menu.subMenu(4), nullptr);
}

void tst_SysTray::menuWithCustomStatuses()
{
    TestEnvironment env;
    g_colCustomStatus = {custom("X01", "I", "Training"), custom("X02", "M", "Board"), custom("X03", "I", "Reception")};
    TrayMenu menu;
    menu.populateMenuStrings();
    menu.loadCustomStatusMenus(g_colCustomStatus);
    menu.loadCustomStatusMenus(g_colCustomStatus); // a reload replaces, never adds
    QVERIFY(menu.statusItems()[TrayMenu::InMore].visible);
    QVERIFY(!menu.statusItems()[TrayMenu::OutMore].visible);
    const QList<TrayMenuItem> &in = *menu.subMenu(TrayMenu::InMore);
    QCOMPARE(tags(in), (QStringList{"INN", "X01", "X03"}));
    QCOMPARE(in[0].caption, QStringLiteral("In"));
    QCOMPARE(in[2].caption, QStringLiteral("Reception"));
    QCOMPARE(tags(*menu.subMenu(TrayMenu::OutMore)), QStringList{"OUT"});
    QCOMPARE(tags(*menu.subMenu(TrayMenu::Meeting)), (QStringList{"MTG", "MTA", "MTD", "MTO", "MTT", "X02"}));

    menu.loadCustomStatusMenus({});
    QCOMPARE(menu.subMenu(TrayMenu::InMore)->size(), 1);
    QVERIFY(!menu.statusItems()[TrayMenu::InMore].visible);
}

void tst_SysTray::subMenuOpenersDoNothing()
{
    TestEnvironment env;
    g_colCustomStatus = {custom("X01", "I", "Training"), custom("X02", "M", "Board")};
    frmSysTray tray;
    QStringList changed;
    tray.changeStatus = [&](const QString &code) { changed << code; };
    tray.loadCustomStatusMenus();
    QMenu *menu = tray.mnuSysTray();
    QVERIFY(actionTagged(menu, "QINN")->isVisible());
    QVERIFY(!actionTagged(menu, "QOUT")->isVisible());
    actionTagged(menu, "QINN")->trigger();
    actionTagged(menu, "QMTG")->trigger();
    QCOMPARE(changed, QStringList());
    for (const char *tag : {"LNC", "X01", "X02", "MTA"})
        actionTagged(menu, tag)->trigger();
    QCOMPARE(changed, (QStringList{"LNC", "X01", "X02", "MTA"}));
}

void tst_SysTray::toolTip()
{
    TestEnvironment env;
    QCOMPARE(TrayIconRules::toolTip(QStringLiteral("LNC")), QStringLiteral("Qel - Lunch Break"));
    g_colCustomStatus = {custom("X01", "O", QStringLiteral("  Offsite ") + QString(70, u'w'))};
    const QString tip = TrayIconRules::toolTip(QStringLiteral("X01"));
    QCOMPARE(tip.size(), 63);
    QVERIFY(tip.startsWith(QStringLiteral("Qel - Offsite www")));

    frmSysTray tray;
    QCOMPARE(tray.toolTip(), QStringLiteral("Qel"));
    const qint64 before = tray.windowIcon().cacheKey();
    tray.RefreshIcon(QStringLiteral("LNC"));
    QCOMPARE(tray.toolTip(), QStringLiteral("Qel - Lunch Break"));
    QVERIFY(tray.windowIcon().cacheKey() != before);
    // A custom code that is not loaded has no description to show.
    tray.RefreshIcon(QStringLiteral("X99"));
    QCOMPARE(tray.toolTip(), QStringLiteral("Qel - "));
}

void tst_SysTray::iconNames()
{
    TestEnvironment env;
    g_colCustomStatus = {custom("X01", "I", "Desk", "ICOcopier"), custom("X02", "I", "Plain", "")};
    QCOMPARE(TrayIconRules::iconName("LNC"), QStringLiteral("LNC"));
    QCOMPARE(TrayIconRules::iconName("X01"), QStringLiteral("ICOcopier"));
    QCOMPARE(TrayIconRules::iconName("X02"), QStringLiteral("Qel"));
    QCOMPARE(TrayIconRules::iconName("X77"), QStringLiteral("OUT"));
    QCOMPARE(TrayIconRules::iconName(""), QStringLiteral("Qel"));
    for (const char *name : {"INN", "OUT", "LNC", "BRK", "DND", "HME", "MTG", "MTA", "MTD", "MTO", "MTT", "SCK", "VAC", "Qel"})
        QVERIFY2(!TrayIconLoader::load(name, {}, {}).isNull(), name);
    QVERIFY(TrayIconLoader::load("PHONE", {}, {}).isNull());
}

void tst_SysTray::iconFilesFromTheIconFolder()
{
    QTemporaryDir program;
    QDir(program.path()).mkpath("icons");
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(program.filePath("icons/copier.ico"), "ICO"));
    QVERIFY(picture.save(program.filePath("escaped.ico"), "ICO"));
    const QString dir = program.path();

    QCOMPARE(TrayIconRules::iconFilePath("ICOcopier", "", dir), dir + "/icons/copier.ico");
    const QIcon icon = TrayIconLoader::load("ICOcopier", "", dir);
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(TrayIconLoader::load("ICOmissing", "", dir).isNull());

    // Names that could reach outside the icon folder are refused, even where
    // the file is there.
    QVERIFY(TrayIconLoader::load("ICO../escaped", "", dir).isNull());
    for (const char *name : {"ICO../escaped", "ICOa/b", "ICOa\\b", "ICO"})
        QVERIFY2(TrayIconRules::iconFilePath(name, "", dir).isEmpty(), name);

    QCOMPARE(TrayIconRules::iconFolder(dir + "/icons", "/opt/qel"), dir + "/icons/");
    QCOMPARE(TrayIconRules::iconFolder("/srv/qel\\icons\\", "/opt/qel"), QStringLiteral("/srv/qel/icons/"));
    QCOMPARE(TrayIconRules::iconFolder("C:\\Qel\\icons\\", "/opt/qel"), QStringLiteral("/opt/qel/icons/"));
    QCOMPARE(TrayIconRules::iconFolder("\\\\server\\icons", "/opt/qel"), QStringLiteral("/opt/qel/icons/"));
}

void tst_SysTray::restoreBringsTheWindowBack()
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
    g_frmMain.reset();
    g_fInTray = IMainWindow::Maximised;
    g_fRefreshNeeded = false;

    TrayCommands::restoreMainWindow(*tray);
    QVERIFY(window && g_frmMain.get() == window);
    QVERIFY(window->visible && g_fRefreshNeeded);
    QCOMPARE(window->state, int(IMainWindow::Maximised));
    QCOMPARE(window->opened.last(), g_sCurrentNodeKey + u'!');
    // The initialisation stops the timer; the restore starts it again.
    QCOMPARE(tray->timer, (QList<bool>{false, true}));

    // Shown as it was kept: a second restore leaves it alone.
    const qsizetype opened = window->opened.size();
    TrayCommands::restoreMainWindow(*tray);
    QCOMPARE(window->opened.size(), opened);

    // Sent to the tray minimised, it comes back where it can be seen.
    g_fInTray = IMainWindow::Minimised;
    window->state = IMainWindow::Minimised;
    TrayCommands::restoreMainWindow(*tray);
    QCOMPARE(window->state, int(IMainWindow::Normal));

    g_frmMain.reset();
    g_frmSysTray.reset();
    g_uiFactory.mainWindow = nullptr;
    g_fInTray = 0;
}

void tst_SysTray::exitClosesDownOnce()
{
    TestEnvironment env;
    int closeDowns = 0;
    g_uiFactory.closeProgress = [&] { return std::unique_ptr<ISplash>(std::make_unique<CountingProgress>(closeDowns)); };
    {
        // Held here rather than in g_frmSysTray, so the close-down leaves it to us.
        frmSysTray tray;
        QAction *exitAction = tray.mnuSysTray()->actions().last();
        QCOMPARE(exitAction->text(), QStringLiteral("Exit"));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, exitAction->trigger());
        QCOMPARE(closeDowns, 1);
        // A second Exit and the tray window's own unload find it under way.
        exitAction->trigger();
        tray.close();
        QCOMPARE(closeDowns, 1);
    }
    g_uiFactory.closeProgress = nullptr;
    ResetCloseDownForTests();
}

QTEST_MAIN(tst_SysTray)
#include "tst_SysTray.moc"
