#include "CSplitter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSnapBelow = 800;
}

CSplitter::~CSplitter()
{
    m_dragging = false;
    m_bar = nullptr;
}

void CSplitter::setOrientation(qint32 value)
{
    m_orientation = value;
    if (m_bar)
        m_bar->setBarPointer(horizontal() ? ISplitterBar::Pointer::SizeUpDown : ISplitterBar::Pointer::SizeLeftRight);
}

void CSplitter::Initialise(ISplitterBar *bar)
{
    m_bar = bar;
    m_bar->setBarVisible(true);
    m_bar->sendBarToBack();
    m_bar->setBarPointer(ISplitterBar::Pointer::SizeLeftRight);
    m_bar->setDragDisplay(0);
}

double CSplitter::limit() const
{
    return horizontal() ? m_bar->ownerInnerHeight() : m_bar->ownerInnerWidth();
}

void CSplitter::MouseDown(float x)
{
    bool allow = true;
    if (DoSplit)
        DoSplit(allow);
    if (!allow || !m_bar)
        return;
    m_dragging = true;
    m_grabOffset = qint32(std::nearbyint(x));
    m_bar->setBarColour(ISplitterBar::Colour::ButtonShadow);
    m_bar->bringBarToFront();
    m_bar->setDragDisplay(1);
    m_bar->setBarWidthPixels(4);
    m_bar->captureMouse();
}

float CSplitter::MouseMove(float x)
{
    float result = x;
    if (!m_dragging)
        return result;
    if (m_borderSize < x && x < limit() - m_borderSize) {
        if (horizontal()) {
            m_bar->setScreenPointer(ISplitterBar::Pointer::SizeUpDown);
            m_bar->setBarTop(x);
        } else {
            m_bar->setScreenPointer(ISplitterBar::Pointer::SizeLeftRight);
            if (m_lastPosition > x && x < kSnapBelow)
                result = float(m_bar->twipsPerPixel());
            m_bar->setBarLeft(x);
            m_lastPosition = x;
        }
    } else {
        m_bar->setScreenPointer(ISplitterBar::Pointer::NoDrop);
    }
    return result;
}

bool CSplitter::MouseUp(float &x)
{
    if (!m_dragging)
        return false;
    m_bar->releaseMouse();
    m_bar->setBarColour(ISplitterBar::Colour::ButtonFace);
    m_bar->setDragDisplay(0);
    x = float(std::clamp(double(x), double(m_borderSize), std::max(double(m_borderSize), limit() - m_borderSize)));
    x -= float(m_grabOffset);
    if (horizontal())
        m_bar->setBarTop(x);
    else
        m_bar->setBarLeft(x);
    m_bar->sendBarToBack();
    m_dragging = false;
    m_bar->setScreenPointer(ISplitterBar::Pointer::Default);
    if (SplitComplete)
        SplitComplete();
    return true;
}
