#include "mainwindow/MainLayout.h"

#include <QtTest>

class tst_MainLayout : public QObject
{
    Q_OBJECT
private slots:
    void panesByViewKindAndBars_data()
    {
        QTest::addColumn<QString>("viewKind");
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("coolBar");
        QTest::addColumn<bool>("infoBar");
        QTest::addColumn<int>("raisedTo");
        QTest::addColumn<int>("treeTop");
        QTest::addColumn<int>("treeHeight");
        QTest::addColumn<int>("listHeight");
        // Reserved: 330 status bar + 800 + 1200 cool bar + 390 info bar.
        QTest::newRow("a list alone") << "GRP" << 9000 << true << true << 9000 << 1690 << 6280 << 6280;
        QTest::newRow("kinds ignore case") << "Srh" << 9000 << true << true << 9000 << 1690 << 6280 << 6280;
        QTest::newRow("reservations under") << "RSG" << 9000 << true << true << 9000 << 1690 << 6280 << 3120;
        QTest::newRow("no kind yet") << "" << 9000 << true << true << 9000 << 1690 << 6280 << 3120;
        QTest::newRow("no info bar") << "GRP" << 9000 << true << false << 9000 << 1300 << 6670 << 6670;
        QTest::newRow("no bars") << "GRP" << 9000 << false << false << 9000 << 100 << 7870 << 7870;
        QTest::newRow("a low window is raised") << "RSG" << 2000 << true << true << 3520 << 1690 << 800 << 380;
    }

    void panesByViewKindAndBars()
    {
        QFETCH(QString, viewKind);
        QFETCH(int, window);
        QFETCH(bool, coolBar);
        QFETCH(bool, infoBar);
        QFETCH(int, raisedTo);
        QFETCH(int, treeTop);
        QFETCH(int, treeHeight);
        QFETCH(int, listHeight);
        MainLayout::Heights in;
        in.window = window;
        in.statusBar = 330;
        in.coolBarVisible = coolBar;
        in.infoBarVisible = infoBar;
        in.coolBar = 1200;
        in.infoBar = 390;
        in.viewKind = viewKind;
        const MainLayout::Vertical v = MainLayout::arrangeControls(in);
        QCOMPARE(v.window, raisedTo);
        QCOMPARE(v.treeTop, treeTop);
        for (int top : {v.arrowTop, v.userListTop, v.webTop, v.splitterTop})
            QCOMPARE(top, treeTop);
        QCOMPARE(v.treeHeight, treeHeight);
        QCOMPARE(v.userListHeight, listHeight);
        QCOMPARE(v.reservationsTop, v.userListTop + listHeight + 400);
        QVERIFY(v.reservationsHeight >= 0);
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
        // The window's minimum never has to grow to fit what the bar left.
        if (window >= 8600)
            QVERIFY(MainLayout::minimumWidth(!h.collapsed, h.treeWidth) <= window);
    }

    void minimumWidthFollowsAWideTree()
    {
        QCOMPARE(MainLayout::minimumWidth(true, 2880), 8600);
        QCOMPARE(MainLayout::minimumWidth(true, 2881), 5600 + 3001);
        QCOMPARE(MainLayout::minimumWidth(false, 5000), 8600);
        // Twips round to the nearest pixel, either side of zero.
        QCOMPARE(MainLayout::toPixels(130), 9);
        QCOMPARE(MainLayout::toPixels(-40), -3);
    }
};

QTEST_GUILESS_MAIN(tst_MainLayout)
#include "tst_MainLayout.moc"
