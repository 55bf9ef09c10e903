#include "MainLayout.h"

#include <QtTest>

namespace {

MainLayout::Heights heights(int window, const QString &viewKind, bool coolBar = true, bool infoBar = true)
{
    MainLayout::Heights in;
    in.window = window;
    in.statusBar = 330;
    in.coolBarVisible = coolBar;
    in.coolBar = 1200;
    in.infoBarVisible = infoBar;
    in.infoBar = 390;
    in.viewKind = viewKind;
    return in;
}

} // namespace

class tst_MainLayout : public QObject
{
    Q_OBJECT
private slots:
    void listViewsFillThePane_data()
    {
        QTest::addColumn<QString>("viewKind");
        QTest::addColumn<bool>("listOnly");
        for (const char *kind : {"GRP", "CTL", "NTF", "SRH", "grp", "Srh"})
            QTest::newRow(kind) << QString::fromLatin1(kind) << true;
        for (const char *kind : {"RSG", "RTS", ""})
            QTest::newRow(*kind ? kind : "empty") << QString::fromLatin1(kind) << false;
    }

    void listViewsFillThePane()
    {
        QFETCH(QString, viewKind);
        QFETCH(bool, listOnly);
        // Reserved: 330 status bar + 800 + 1200 cool bar + 390 info bar = 2720.
        const MainLayout::Vertical v = MainLayout::arrangeControls(heights(9000, viewKind));
        QCOMPARE(v.window, 9000);
        QCOMPARE(v.treeHeight, 6280);
        QCOMPARE(v.webHeight, 6280);
        QCOMPARE(v.splitterHeight, 6280);
        QCOMPARE(v.browserTop, -40);
        QCOMPARE(v.browserHeight, 6300);
        for (int top : {v.treeTop, v.arrowTop, v.userListTop, v.webTop, v.splitterTop})
            QCOMPARE(top, 1690);
        QCOMPARE(v.shapeBarTop, 1280);
        QCOMPARE(v.statusLabelTop, 1340);
        QCOMPARE(v.closeImageTop, 1340);
        QCOMPARE(v.infoImageTop, 1300);
        QCOMPARE(v.reservationsHeight, 2760);
        if (listOnly) {
            QCOMPARE(v.userListHeight, 6280);
            QCOMPARE(v.reservationsTop, 8370);
        } else {
            QCOMPARE(v.userListHeight, 3120);
            QCOMPARE(v.reservationsTop, 5210);
            QCOMPARE(v.resourceBarTop, 4850);
            QCOMPARE(v.resourceLabelTop, 4910);
        }
    }

    void hiddenBarsLeaveOnlyTheMargins()
    {
        const MainLayout::Vertical v = MainLayout::arrangeControls(heights(9000, QStringLiteral("GRP"), false, false));
        QCOMPARE(v.treeTop, 100);
        QCOMPARE(v.shapeBarTop, 80);
        QCOMPARE(v.treeHeight, 9000 - 1130);
        // The cool bar alone: the info bar's strip sits under it.
        const MainLayout::Vertical coolOnly = MainLayout::arrangeControls(heights(9000, QStringLiteral("GRP"), true, false));
        QCOMPARE(coolOnly.treeTop, 1300);
        QCOMPARE(coolOnly.shapeBarTop, 1280);
    }

    void aLowWindowIsRaisedToWhatThePanesNeed()
    {
        const MainLayout::Vertical v = MainLayout::arrangeControls(heights(2000, QStringLiteral("RSG")));
        QCOMPARE(v.window, 2720 + 800);
        QCOMPARE(v.treeHeight, 800);
        QCOMPARE(v.userListHeight, 380);
        QCOMPARE(v.reservationsHeight, 20);
        QVERIFY(v.reservationsTop + v.reservationsHeight <= v.treeTop + v.treeHeight);
    }

    void treePaneCollapsesBelow160()
    {
        const MainLayout::Horizontal shut = MainLayout::arrangeTreePane(12000, 159);
        QVERIFY(shut.collapsed);
        QCOMPARE(shut.barLeft, 130);
        QCOMPARE(shut.treeWidth, 0);
        QCOMPARE(shut.arrowLeft, 0);
        QCOMPARE(shut.userListLeft, 120);
        QCOMPARE(shut.userListWidth, 11760);

        const MainLayout::Horizontal open = MainLayout::arrangeTreePane(12000, 160);
        QVERIFY(!open.collapsed);
        QCOMPARE(open.barLeft, 160);
        QCOMPARE(open.treeLeft, 40);
        QCOMPARE(open.treeWidth, 80);
        QCOMPARE(open.userListLeft, 200);
        QCOMPARE(open.userListWidth, 11680);
    }

    void rightPanesFollowTheTree()
    {
        const MainLayout::Horizontal h = MainLayout::arrangeTreePane(12000, 3000);
        QCOMPARE(h.treeWidth, 2920);
        QCOMPARE(h.userListLeft, 3040);
        QCOMPARE(h.userListWidth, 8840);
        QCOMPARE(h.webLeft, 3040);
        QCOMPARE(h.webWidth, 8840);
        QCOMPARE(h.browserLeft, -40);
        QCOMPARE(h.browserWidth, 8860);
        QCOMPARE(h.reservationsLeft, 3040);
        QCOMPARE(h.reservationsWidth, 8840);
        QCOMPARE(h.resourceBarLeft, 3060);
        QCOMPARE(h.resourceBarWidth, 8800);
        QCOMPARE(h.resourceLabelLeft, 3120);
    }

    void barPositionsOutOfRangeAreClamped_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("expected");
        QTest::newRow("near the right edge") << 12000 << 11990 << 6360;
        QTest::newRow("stored far beyond") << 12000 << 50000 << 6360;
        QTest::newRow("at the limit") << 12000 << 6360 << 6360;
        QTest::newRow("negative") << 12000 << -500 << 130;
        QTest::newRow("narrow window") << 5000 << 3000 << 160;
    }

    void barPositionsOutOfRangeAreClamped()
    {
        QFETCH(int, window);
        QFETCH(int, bar);
        QFETCH(int, expected);
        const MainLayout::Horizontal h = MainLayout::arrangeTreePane(window, bar);
        QCOMPARE(h.barLeft, expected);
        QVERIFY(h.treeWidth >= 0);
        QVERIFY(h.userListWidth >= 0);
        QVERIFY(h.resourceBarWidth >= 0);
        // The window's minimum never has to grow to fit what the bar left.
        if (window >= 8600)
            QVERIFY(MainLayout::minimumWidth(!h.collapsed, h.treeWidth) <= window);
    }

    void minimumWidthFollowsAWideTree()
    {
        QCOMPARE(MainLayout::minimumWidth(true, 2880), 8600);
        QCOMPARE(MainLayout::minimumWidth(true, 2881), 5600 + 3001);
        QCOMPARE(MainLayout::minimumWidth(false, 5000), 8600);
        QCOMPARE(MainLayout::MinimumHeight, 3000);
    }

    void frameBarsSpanTheWindow()
    {
        const MainLayout::Frame f = MainLayout::arrangeFrame(12000, 9000, 1200, 3000);
        QCOMPARE(f.coolBar.left, 40);
        QCOMPARE(f.coolBar.width, 11800);
        QCOMPARE(f.shapeBar.left, 40);
        QCOMPARE(f.shapeBar.width, 11800);
        QCOMPARE(f.statusLabel.left, 460);
        QCOMPARE(f.statusLabel.width, 11460);
        QCOMPARE(f.closeImageLeft, 11440);
        QCOMPARE(f.infoImageLeft, 80);
        QCOMPARE(f.progressBar.left, 5950);
        QCOMPARE(f.progressBar.width, 5410);
        QCOMPARE(f.progressBar.top, 8040);
    }

    void twipsConvertAtFifteenPerPixel()
    {
        QCOMPARE(MainLayout::toPixels(3000), 200);
        QCOMPARE(MainLayout::toPixels(130), 9);
        QCOMPARE(MainLayout::toPixels(-40), -3);
        QCOMPARE(MainLayout::toTwips(4), 60);
    }
};

QTEST_GUILESS_MAIN(tst_MainLayout)
#include "tst_MainLayout.moc"
