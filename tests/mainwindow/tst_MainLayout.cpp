#include "mainwindow/CSplitter.h"
#include "mainwindow/MainLayout.h"

#include <QtTest>

namespace {

// Records what the controller does to its bar.
class FakeBar : public ISplitterBar
{
public:
    void setBarLeft(double twips) override { left = twips; }
    void setBarTop(double twips) override { top = twips; }
    void setBarVisible(bool v) override { visible = v; }
    void setBarColour(Colour c) override { colour = c; }
    void setBarWidthPixels(int) override {}
    void bringBarToFront() override { inFront = true; }
    void sendBarToBack() override { inFront = false; }
    void setDragDisplay(int) override {}
    void setBarPointer(Pointer p) override { barPointer = p; }
    void setScreenPointer(Pointer p) override { screenPointer = p; }
    void captureMouse() override { captured = true; }
    void releaseMouse() override { captured = false; }
    double ownerInnerWidth() const override { return 12000; }
    double ownerInnerHeight() const override { return 9000; }
    double twipsPerPixel() const override { return 15; }

    double left = 3000, top = 1690;
    bool visible = false, inFront = true, captured = false;
    Colour colour = Colour::ButtonFace;
    Pointer barPointer = Pointer::Default, screenPointer = Pointer::Default;
};

} // namespace

// The layout rules of the window, and the splitter that moves the tree pane's edge.
class tst_MainLayout : public QObject
{
    Q_OBJECT

    FakeBar m_bar;
    std::unique_ptr<CSplitter> m_splitter;
    int m_completes = 0;

private slots:
    void init()
    {
        m_bar = FakeBar();
        m_splitter = std::make_unique<CSplitter>();
        m_completes = 0;
        m_splitter->SplitComplete = [this] { ++m_completes; };
        m_splitter->Initialise(&m_bar);
    }

    void aDragEndsWhereTheRulesSay_data()
    {
        QTest::addColumn<float>("grab");
        QTest::addColumn<int>("border");
        QTest::addColumn<float>("release");
        QTest::addColumn<float>("landed");
        QTest::newRow("as released") << 0.0f << 0 << 159.0f << 159.0f;
        QTest::newRow("less the grab, rounded") << 45.6f << 0 << 3100.0f << 3054.0f;
        QTest::newRow("beyond the width less the border") << 0.0f << 100 << 15000.0f << 11900.0f;
        QTest::newRow("before the border") << 0.0f << 100 << -300.0f << 100.0f;
    }

    void aDragEndsWhereTheRulesSay()
    {
        QFETCH(float, grab);
        QFETCH(int, border);
        QFETCH(float, release);
        QFETCH(float, landed);
        QVERIFY(m_bar.visible && !m_bar.inFront);
        QCOMPARE(m_bar.barPointer, ISplitterBar::Pointer::SizeLeftRight);
        m_splitter->setBorderSize(border);
        m_splitter->MouseDown(grab);
        QCOMPARE(m_bar.colour, ISplitterBar::Colour::ButtonShadow);
        QVERIFY(m_bar.inFront && m_bar.captured);
        // While dragging the bar follows the mouse inside the range only.
        const bool inside = release == landed + qRound(grab);
        QCOMPARE(m_splitter->MouseMove(release), release);
        QCOMPARE(m_bar.left, inside ? double(release) : 3000.0);
        QCOMPARE(m_bar.screenPointer, inside ? ISplitterBar::Pointer::SizeLeftRight : ISplitterBar::Pointer::NoDrop);
        float x = release;
        QVERIFY(m_splitter->MouseUp(x));
        QCOMPARE(x, landed);
        QCOMPARE(m_bar.left, double(landed));
        QCOMPARE(m_completes, 1);
        QCOMPARE(m_bar.colour, ISplitterBar::Colour::ButtonFace);
        QVERIFY(!m_bar.inFront && !m_bar.captured);
        QCOMPARE(m_bar.screenPointer, ISplitterBar::Pointer::Default);
    }

    void aLeftwardDragBelow800Snaps()
    {
        m_splitter->MouseDown(0);
        QCOMPARE(m_splitter->MouseMove(1000), 1000.0f);
        QCOMPARE(m_splitter->MouseMove(799), 15.0f);
        QCOMPARE(m_bar.left, 799.0);
        QCOMPARE(m_splitter->MouseMove(400), 15.0f);
        // Moving right, or leftward to 800 or above, is no snap.
        QCOMPARE(m_splitter->MouseMove(500), 500.0f);
        QCOMPARE(m_splitter->MouseMove(2000), 2000.0f);
        QCOMPARE(m_splitter->MouseMove(800), 800.0f);
    }

    void aReleaseWithoutADragDoesNothing()
    {
        float x = 1234;
        QVERIFY(!m_splitter->MouseUp(x));
        QCOMPARE(x, 1234.0f);
        QCOMPARE(m_splitter->MouseMove(500), 500.0f);
        // Nor does one after a refused split.
        m_splitter->DoSplit = [](bool &allow) { allow = false; };
        m_splitter->MouseDown(0);
        m_splitter->MouseMove(5000);
        QVERIFY(!m_splitter->MouseUp(x));
        QCOMPARE(m_bar.left, 3000.0);
        QCOMPARE(m_completes, 0);
    }

    void aHorizontalBarMovesUpAndDown()
    {
        m_splitter->setOrientation(1);
        QCOMPARE(m_bar.barPointer, ISplitterBar::Pointer::SizeUpDown);
        m_splitter->MouseDown(0);
        m_splitter->MouseMove(4000);
        QCOMPARE(std::pair(m_bar.left, m_bar.top), std::pair(3000.0, 4000.0));
        QCOMPARE(m_splitter->MouseMove(700), 700.0f); // no snap up and down
        float x = 9500; // the limit is the height
        m_splitter->MouseUp(x);
        QCOMPARE(m_bar.top, 9000.0);
    }
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
        QTest::addColumn<int>("lowerHeight");
        // Reserved: 330 status bar + 800 + 1200 cool bar + 390 info bar.
        QTest::newRow("a list alone") << "GRP" << 9000 << true << true << 9000 << 1690 << 6280 << 6280 << 2760;
        QTest::newRow("kinds ignore case") << "Srh" << 9000 << true << true << 9000 << 1690 << 6280 << 6280 << 2760;
        QTest::newRow("reservations under") << "RSG" << 9000 << true << true << 9000 << 1690 << 6280 << 3120 << 2760;
        QTest::newRow("no kind yet") << "" << 9000 << true << true << 9000 << 1690 << 6280 << 3120 << 2760;
        QTest::newRow("no info bar") << "GRP" << 9000 << true << false << 9000 << 1300 << 6670 << 6670 << 2955;
        QTest::newRow("no bars") << "GRP" << 9000 << false << false << 9000 << 100 << 7870 << 7870 << 3555;
        QTest::newRow("a low window is raised") << "RSG" << 2000 << true << true << 3520 << 1690 << 800 << 380 << 20;
        QTest::newRow("a 6000 high tree") << "RSG" << 8720 << true << true << 8720 << 1690 << 6000 << 2980 << 2620;
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
        QFETCH(int, lowerHeight);
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
        QCOMPARE(v.reservationsHeight, lowerHeight);
        QCOMPARE(v.resourceBarTop, v.reservationsTop - 360);
        QCOMPARE(v.resourceLabelTop, v.reservationsTop - 300);
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
