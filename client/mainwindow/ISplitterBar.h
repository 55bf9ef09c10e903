#pragma once

// What the splitter controller drives: the bar itself and the window whose
// client area bounds the drag. Positions are in twips.
class ISplitterBar
{
public:
    enum class Pointer { Default, SizeUpDown, SizeLeftRight, NoDrop };
    enum class Colour { ButtonFace, ButtonShadow };

    virtual ~ISplitterBar() = default;

    virtual void setBarLeft(double twips) = 0;
    virtual void setBarTop(double twips) = 0;
    virtual void setBarVisible(bool visible) = 0;
    virtual void setBarColour(Colour colour) = 0;
    virtual void setBarWidthPixels(int pixels) = 0;
    virtual void bringBarToFront() = 0;
    virtual void sendBarToBack() = 0;
    // The extra look of the bar while it is dragged (0 plain, 1 dragging).
    virtual void setDragDisplay(int value) = 0;
    // The pointer shown over the bar.
    virtual void setBarPointer(Pointer pointer) = 0;
    // The pointer shown wherever the mouse is, during a drag.
    virtual void setScreenPointer(Pointer pointer) = 0;
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;

    virtual double ownerInnerWidth() const = 0;
    virtual double ownerInnerHeight() const = 0;
    virtual double twipsPerPixel() const = 0;
};
