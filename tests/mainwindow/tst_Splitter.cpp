#include "mainwindow/CSplitter.h"

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

class tst_Splitter : public QObject
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
};

QTEST_GUILESS_MAIN(tst_Splitter)
#include "tst_Splitter.moc"
