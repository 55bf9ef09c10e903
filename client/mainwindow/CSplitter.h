#pragma once

#include "ISplitterBar.h"

#include <QtGlobal>
#include <functional>

// Drives the bar between two panes while the user drags it: the bar follows
// the mouse inside the owner's client area and is placed for good on release.
class CSplitter
{
public:
    CSplitter() = default;
    ~CSplitter();
    CSplitter(const CSplitter &) = delete;
    CSplitter &operator=(const CSplitter &) = delete;

    qint32 Orientation() const { return m_orientation; }
    // 1: a horizontal bar that moves up and down; anything else: a vertical
    // bar that moves left and right.
    void setOrientation(qint32 value);
    qint32 BorderSize() const { return m_borderSize; }
    void setBorderSize(qint32 value) { m_borderSize = value; }

    void Initialise(ISplitterBar *bar);

    // X: the mouse position inside the bar.
    void MouseDown(float x);
    // X: the mouse position in the owner's client area along the direction
    // of movement. Gives X, or the twips-per-pixel value when a leftward drag
    // passes 800: the caller then snaps the pointer to the window's edge.
    float MouseMove(float x);
    // Gives false when no drag was under way. Otherwise x becomes the bar's
    // final position.
    bool MouseUp(float &x);

    bool isDragging() const { return m_dragging; }

    // Raised by MouseDown; a handler may refuse the drag.
    std::function<void(bool &allow)> DoSplit;
    // Raised by MouseUp once the bar is placed.
    std::function<void()> SplitComplete;

private:
    bool horizontal() const { return m_orientation == 1; }
    double limit() const;

    ISplitterBar *m_bar = nullptr;
    bool m_dragging = false;
    qint32 m_grabOffset = 0;
    qint32 m_borderSize = 0;
    qint32 m_orientation = 2;
    float m_lastPosition = 0;
};
