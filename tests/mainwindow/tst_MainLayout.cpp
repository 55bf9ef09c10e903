#include "mainwindow/MainLayout.h"

#include <QtTest>

namespace {

MainLayout::Vertical arrange(int window, const QString &viewKind, bool coolBar = true, bool infoBar = true)
{
    MainLayout::Heights in;
    in.window = window;
    in.statusBar = 330;
    in.coolBarVisible = coolBar;
    in.coolBar = 1200;
    in.infoBarVisible = infoBar;
    in.infoBar = 390;
    in.viewKind = viewKind;
    return MainLayout::arrangeControls(in);
}

} // namespace

class tst_MainLayout : public QObject
{
    Q_OBJECT
private slots:
    void eachViewKind_data()
    {
        QTest::addColumn<QString>("viewKind");
        QTest::addColumn<bool>("listOnly");
        for (const char *kind : {"GRP", "CTL", "NTF", "SRH", "grp", "Srh"})
            QTest::newRow(kind) << QString::fromLatin1(kind) << true;
        for (const char *kind : {"RSG", "RTS", ""})
            QTest::newRow(*kind ? kind : "empty") << QString::fromLatin1(kind) << false;
    }

    void eachViewKind()
    {
        QFETCH(QString, viewKind);
        QFETCH(bool, listOnly);
        // Reserved: 330 status bar + 800 + 1200 cool bar + 390 info bar = 2720.
        const MainLayout::Vertical v = arrange(9000, viewKind);
        QCOMPARE(v.window, 9000);
        for (int height : {v.treeHeight, v.webHeight, v.splitterHeight})
            QCOMPARE(height, 6280);
        for (int top : {v.treeTop, v.arrowTop, v.userListTop, v.webTop, v.splitterTop})
            QCOMPARE(top, 1690);
        QCOMPARE(v.browserTop, -40);
        QCOMPARE(v.browserHeight, 6300);
        QCOMPARE(v.shapeBarTop, 1280);
        QCOMPARE(v.reservationsHeight, 2760);
        QCOMPARE(v.userListHeight, listOnly ? 6280 : 3120);
        QCOMPARE(v.reservationsTop, listOnly ? 8370 : 5210);
        if (!listOnly)
            QCOMPARE(v.resourceBarTop, 4850);
    }

    void hiddenBarsLeaveOnlyTheMargins()
    {
        const MainLayout::Vertical v = arrange(9000, QStringLiteral("GRP"), false, false);
        QCOMPARE(v.treeTop, 100);
        QCOMPARE(v.shapeBarTop, 80);
        QCOMPARE(v.treeHeight, 9000 - 1130);
        // The cool bar alone: the info bar's strip sits under it.
        QCOMPARE(arrange(9000, QStringLiteral("GRP"), true, false).treeTop, 1300);
    }

    void aLowWindowIsRaisedToWhatThePanesNeed()
    {
        const MainLayout::Vertical v = arrange(2000, QStringLiteral("RSG"));
        QCOMPARE(v.window, 2720 + 800);
        QCOMPARE(v.treeHeight, 800);
        QCOMPARE(v.userListHeight, 380);
        QCOMPARE(v.reservationsHeight, 20);
    }

    void treePane_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("barLeft");
        QTest::addColumn<int>("treeWidth"); // 0: collapsed
        QTest::addColumn<int>("listWidth");
        QTest::newRow("159 collapses") << 12000 << 159 << 130 << 0 << 11760;
        QTest::newRow("160 stays open") << 12000 << 160 << 160 << 80 << 11680;
        QTest::newRow("the usual place") << 12000 << 3000 << 3000 << 2920 << 8840;
        QTest::newRow("near the right edge") << 12000 << 11990 << 6360 << 6280 << 5480;
        QTest::newRow("stored far beyond") << 12000 << 50000 << 6360 << 6280 << 5480;
        QTest::newRow("negative") << 12000 << -500 << 130 << 0 << 11760;
        QTest::newRow("narrow window") << 5000 << 3000 << 160 << 80 << 4680;
    }

    void treePane()
    {
        QFETCH(int, window);
        QFETCH(int, bar);
        QFETCH(int, barLeft);
        QFETCH(int, treeWidth);
        QFETCH(int, listWidth);
        const MainLayout::Horizontal h = MainLayout::arrangeTreePane(window, bar);
        QCOMPARE(h.barLeft, barLeft);
        QCOMPARE(h.collapsed, treeWidth == 0);
        QCOMPARE(h.treeWidth, treeWidth);
        QCOMPARE(h.userListWidth, listWidth);
        QCOMPARE(h.userListLeft, window - 120 - listWidth);
        for (int width : {h.webWidth, h.reservationsWidth})
            QCOMPARE(width, listWidth);
        QCOMPARE(h.resourceBarWidth, listWidth - 40);
        // The window's minimum never has to grow to fit what the bar left.
        if (window >= 8600)
            QVERIFY(MainLayout::minimumWidth(!h.collapsed, h.treeWidth) <= window);
    }

    void minimumWidthFollowsAWideTree()
    {
        QCOMPARE(MainLayout::minimumWidth(true, 2880), 8600);
        QCOMPARE(MainLayout::minimumWidth(true, 2881), 5600 + 3001);
        QCOMPARE(MainLayout::minimumWidth(false, 5000), 8600);
    }

    void frameBarsSpanTheWindow()
    {
        const MainLayout::Frame f = MainLayout::arrangeFrame(12000, 9000, 1200, 3000);
        QCOMPARE(std::pair(f.coolBar.left, f.coolBar.width), std::pair(40, 11800));
        QCOMPARE(std::pair(f.statusLabel.left, f.statusLabel.width), std::pair(460, 11460));
        QCOMPARE(f.closeImageLeft, 11440);
        QCOMPARE(std::tuple(f.progressBar.left, f.progressBar.width, f.progressBar.top), std::tuple(5950, 5410, 8040));
    }

    void twipsConvertAtFifteenPerPixel()
    {
        QCOMPARE(MainLayout::toPixels(130), 9);
        QCOMPARE(MainLayout::toPixels(-40), -3);
    }
};

QTEST_GUILESS_MAIN(tst_MainLayout)
#include "tst_MainLayout.moc"
