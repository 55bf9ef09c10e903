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

    void aDragEndsWhereTheRulesSay()
    {
        // grab, border, release -> where the bar lands
        const struct { float grab; int border; float release, landed; } rows[] = {
            {0, 0, 159, 159},      // as released
            {45.6f, 0, 3100, 3054}, // less the grab, rounded
            {0, 100, 15000, 11900}, // beyond the width less the border
            {0, 100, -300, 100}};   // before the border
        for (const auto &[grab, border, release, landed] : rows) {
            init();
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
            using P = ISplitterBar::Pointer;
            QCOMPARE(m_bar.screenPointer, inside ? P::SizeLeftRight : P::NoDrop);
            float x = release;
            QVERIFY(m_splitter->MouseUp(x));
            QCOMPARE(x, landed);
            QCOMPARE(m_bar.left, double(landed));
            QCOMPARE(m_completes, 1);
            QCOMPARE(m_bar.colour, ISplitterBar::Colour::ButtonFace);
            QVERIFY(!m_bar.inFront && !m_bar.captured);
            QCOMPARE(m_bar.screenPointer, ISplitterBar::Pointer::Default);
        }
    }

    // Leftward below 800 snaps to the edge; rightward, or to 800 and above,
    // it does not; nor does a horizontal bar, whose limit is the height.
    void snapsAndTheHorizontalBar()
    {
        m_splitter->MouseDown(0);
        QList<float> shown, lefts; // the bar follows where the pointer snaps
        for (float x : {1000, 799, 400, 500, 2000, 800})
            shown << m_splitter->MouseMove(x), lefts << m_bar.left;
        QCOMPARE(shown, QList<float>({1000, 15, 15, 500, 2000, 800}));
        QCOMPARE(lefts, QList<float>({1000, 799, 400, 500, 2000, 800}));
        m_splitter->setOrientation(1);
        QCOMPARE(m_bar.barPointer, ISplitterBar::Pointer::SizeUpDown);
        m_splitter->MouseMove(4000);
        QCOMPARE(std::pair(m_bar.left, m_bar.top), std::pair(800.0, 4000.0));
        QCOMPARE(m_splitter->MouseMove(700), 700.0f);
        float x = 9500;
        m_splitter->MouseUp(x);
        QCOMPARE(m_bar.top, 9000.0);
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
        QCOMPARE(std::pair(m_bar.left, m_completes), std::pair(3000.0, 0));
    }

    // Reserved: 330 status bar + 800 + 1200 cool bar + 390 info bar.
    void panesByViewKindAndBars()
    {
        // kind, window, bars; then window raised to, tree top and height, list and lower list heights
        const struct { const char *kind; int window; bool coolBar, infoBar; QList<int> placed; } rows[] = {
            {"GRP", 9000, true, true, {9000, 1690, 6280, 6280, 2760}},
            {"Srh", 9000, true, true, {9000, 1690, 6280, 6280, 2760}}, // kinds ignore case
            {"RSG", 9000, true, true, {9000, 1690, 6280, 3120, 2760}}, // reservations under
            {"", 9000, true, true, {9000, 1690, 6280, 3120, 2760}},    // no kind yet
            {"GRP", 9000, true, false, {9000, 1300, 6670, 6670, 2955}},
            {"GRP", 9000, false, false, {9000, 100, 7870, 7870, 3555}},
            {"RSG", 2000, true, true, {3520, 1690, 800, 380, 20}}, // a low window is raised
            {"RSG", 8720, true, true, {8720, 1690, 6000, 2980, 2620}}};
        for (const auto &r : rows) {
            const MainLayout::Vertical v =
                MainLayout::arrangeControls({r.window, 330, r.coolBar, 1200, r.infoBar, 390, QLatin1String(r.kind)});
            QCOMPARE(QList<int>({v.window, v.treeTop, v.treeHeight, v.userListHeight, v.reservationsHeight}), r.placed);
            for (int top : {v.arrowTop, v.userListTop, v.webTop, v.splitterTop})
                QCOMPARE(top, v.treeTop);
            QCOMPARE(v.reservationsTop, v.userListTop + v.userListHeight + 400);
            QCOMPARE(QList<int>({v.resourceBarTop, v.resourceLabelTop}),
                     QList<int>({v.reservationsTop - 360, v.reservationsTop - 300}));
        }
    }

    void treePane()
    {
        // window, bar asked; bar left, tree width (0: collapsed), list width
        const QList<std::pair<std::pair<int, int>, QList<int>>> rows = {
            {{12000, 159}, {130, 0, 11760}},     {{12000, 160}, {160, 80, 11680}},
            {{12000, 3000}, {3000, 2920, 8840}}, {{12000, 11990}, {6360, 6280, 5480}},
            {{12000, 50000}, {6360, 6280, 5480}}, {{12000, -500}, {130, 0, 11760}},
            {{5000, 3000}, {160, 80, 4680}}};
        for (const auto &[asked, placed] : rows) {
            const auto [window, bar] = asked;
            const MainLayout::Horizontal h = MainLayout::arrangeTreePane(window, bar);
            QCOMPARE(QList<int>({h.barLeft, h.treeWidth, h.userListWidth}), placed);
            QCOMPARE(h.collapsed, h.treeWidth == 0);
            QCOMPARE(h.userListLeft, window - 120 - h.userListWidth);
            QCOMPARE(QList<int>({h.webWidth, h.reservationsWidth}), QList<int>(2, h.userListWidth));
            // The window's minimum never has to grow to fit what the bar left.
            if (window >= 8600)
                QVERIFY(MainLayout::minimumWidth(!h.collapsed, h.treeWidth) <= window);
        }
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
