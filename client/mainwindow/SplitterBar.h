#pragma once

#include "ISplitterBar.h"

#include <QFrame>

// The bar between the tree and the right-hand pane, bound to the window's
// client area (its parent). It tells its owner where the mouse went, in
// twips, and carries out what the splitter controller asks of it.
class SplitterBar : public QFrame, public ISplitterBar
{
    Q_OBJECT
public:
    explicit SplitterBar(QWidget *owner);
    ~SplitterBar() override;

    double barLeft() const { return m_left; }

    void setBarLeft(double twips) override;
    void setBarTop(double twips) override;
    void setBarVisible(bool visible) override { setVisible(visible); }
    void setBarColour(Colour colour) override;
    void setBarWidthPixels(int pixels) override;
    void bringBarToFront() override { raise(); }
    void sendBarToBack() override { lower(); }
    void setDragDisplay(int value) override;
    void setBarPointer(Pointer pointer) override;
    void setScreenPointer(Pointer pointer) override;
    // While a button is held Qt keeps sending the mouse to the pressed
    // widget, which is the capture the drag needs.
    void captureMouse() override {}
    void releaseMouse() override {}
    double ownerInnerWidth() const override;
    double ownerInnerHeight() const override;
    double twipsPerPixel() const override;

    // Places the bar without going through a drag (layout, tests).
    void placeBar(double leftTwips, double topTwips, double heightTwips);

signals:
    void pressed(float xInBar);        // twips inside the bar
    void moved(float xInOwner);        // twips in the owner's client area
    void released(float xInOwner);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    float ownerX(QMouseEvent *event) const;

    double m_left = 0;
    double m_top = 0;
    bool m_screenPointerSet = false;
};
