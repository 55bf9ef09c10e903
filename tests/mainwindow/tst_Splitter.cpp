#include "mainwindow/CSplitter.h"
#include "mainwindow/MainLayout.h"

#include <QtTest>

namespace {

// Records what the controller does to its bar.
class FakeBar : public ISplitterBar
{
public:
    void setBarLeft(double twips) override { left = twips; ++moves; }
    void setBarTop(double twips) override { top = twips; ++moves; }
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
    int moves = 0;
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

    // Drags the bar, grabbed at 0, to x and lets go; gives where it lands.
    float dragTo(float x)
    {
        m_splitter->MouseDown(0);
        m_splitter->MouseMove(x);
        m_splitter->MouseUp(x);
        return x;
    }

private slots:
    void init()
    {
        m_bar = FakeBar();
        m_splitter = std::make_unique<CSplitter>();
        m_completes = 0;
        m_splitter->SplitComplete = [this] { ++m_completes; };
        m_splitter->Initialise(&m_bar);
    }

    void dragShowsItselfThenGoesBehind()
    {
        QVERIFY(m_bar.visible && !m_bar.inFront);
        QCOMPARE(m_bar.barPointer, ISplitterBar::Pointer::SizeLeftRight);
        m_splitter->MouseDown(2);
        QVERIFY(m_splitter->isDragging());
        QCOMPARE(m_bar.colour, ISplitterBar::Colour::ButtonShadow);
        QVERIFY(m_bar.inFront && m_bar.captured);
        float x = 5000;
        QVERIFY(m_splitter->MouseUp(x));
        QCOMPARE(m_completes, 1);
        QCOMPARE(m_bar.colour, ISplitterBar::Colour::ButtonFace);
        QVERIFY(!m_bar.inFront && !m_bar.captured);
        QCOMPARE(m_bar.screenPointer, ISplitterBar::Pointer::Default);
    }

    // The drag ends where the pane collapses or stays open.
    void releaseAt159CollapsesAt160StaysOpen()
    {
        QCOMPARE(dragTo(159), 159.0f);
        QCOMPARE(m_bar.left, 159.0);
        QVERIFY(MainLayout::arrangeTreePane(12000, int(m_bar.left)).collapsed);
        QCOMPARE(dragTo(160), 160.0f);
        QVERIFY(!MainLayout::arrangeTreePane(12000, int(m_bar.left)).collapsed);
        QCOMPARE(m_completes, 2);
    }

    void theGrabOffsetIsTakenOffOnRelease()
    {
        m_splitter->MouseDown(45.6f); // rounded to 46
        m_splitter->MouseMove(3100);
        QCOMPARE(m_bar.left, 3100.0); // while dragging the bar follows the mouse
        float x = 3100;
        m_splitter->MouseUp(x);
        QCOMPARE(x, 3054.0f);
        QCOMPARE(m_bar.left, 3054.0);
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

    void positionsOutsideTheRangeLeaveTheBar()
    {
        m_splitter->setBorderSize(100);
        m_splitter->MouseDown(0);
        m_splitter->MouseMove(3000);
        for (float outside : {100.0f, 50.0f, 11900.0f, 15000.0f}) {
            m_bar.moves = 0;
            QCOMPARE(m_splitter->MouseMove(outside), outside);
            QCOMPARE(m_bar.moves, 0);
            QCOMPARE(m_bar.screenPointer, ISplitterBar::Pointer::NoDrop);
        }
        float x = 15000;
        m_splitter->MouseUp(x);
        QCOMPARE(x, 11900.0f); // clamped to the width less the border
        QCOMPARE(m_bar.left, 11900.0);
        QCOMPARE(dragTo(-300), 100.0f);
    }

    void aReleaseWithoutADragDoesNothing()
    {
        float x = 1234;
        QVERIFY(!m_splitter->MouseUp(x));
        QCOMPARE(x, 1234.0f);
        QCOMPARE(m_completes, 0);
        QCOMPARE(m_splitter->MouseMove(500), 500.0f);
        QCOMPARE(m_bar.moves, 0);

        // Nor does one after a refused split.
        m_splitter->DoSplit = [](bool &allow) { allow = false; };
        m_splitter->MouseDown(0);
        QVERIFY(!m_splitter->isDragging());
        m_splitter->MouseMove(5000);
        QVERIFY(!m_splitter->MouseUp(x));
        QCOMPARE(m_bar.left, 3000.0);
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
