#include "SplitterBar.h"

#include "MainLayout.h"

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>

namespace {

Qt::CursorShape shapeOf(ISplitterBar::Pointer pointer)
{
    switch (pointer) {
    case ISplitterBar::Pointer::SizeUpDown: return Qt::SizeVerCursor;
    case ISplitterBar::Pointer::SizeLeftRight: return Qt::SizeHorCursor;
    case ISplitterBar::Pointer::NoDrop: return Qt::ForbiddenCursor;
    case ISplitterBar::Pointer::Default: break;
    }
    return Qt::ArrowCursor;
}

} // namespace

SplitterBar::SplitterBar(QWidget *owner) : QFrame(owner)
{
    setObjectName(QStringLiteral("picVerticalSplit"));
    setAutoFillBackground(true);
    setBarColour(Colour::ButtonFace);
    setFixedWidth(4);
}

SplitterBar::~SplitterBar()
{
    setScreenPointer(Pointer::Default);
}

void SplitterBar::setBarLeft(double twips)
{
    m_left = twips;
    move(MainLayout::toPixels(int(twips)), y());
}

void SplitterBar::setBarTop(double twips)
{
    m_top = twips;
    move(x(), MainLayout::toPixels(int(twips)));
}

void SplitterBar::placeBar(double leftTwips, double topTwips, double heightTwips)
{
    m_left = leftTwips;
    m_top = topTwips;
    setGeometry(MainLayout::toPixels(int(leftTwips)), MainLayout::toPixels(int(topTwips)), width(),
                std::max(0, MainLayout::toPixels(int(heightTwips))));
}

void SplitterBar::setBarColour(Colour colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, QApplication::palette().color(colour == Colour::ButtonShadow ? QPalette::Dark
                                                                                                : QPalette::Button));
    setPalette(p);
}

void SplitterBar::setBarWidthPixels(int pixels)
{
    setFixedWidth(pixels);
}

void SplitterBar::setDragDisplay(int value)
{
    setFrameShape(value ? QFrame::Box : QFrame::NoFrame);
}

void SplitterBar::setBarPointer(Pointer pointer)
{
    setCursor(shapeOf(pointer));
}

void SplitterBar::setScreenPointer(Pointer pointer)
{
    if (pointer == Pointer::Default) {
        if (m_screenPointerSet)
            QApplication::restoreOverrideCursor();
        m_screenPointerSet = false;
        return;
    }
    if (m_screenPointerSet)
        QApplication::changeOverrideCursor(shapeOf(pointer));
    else
        QApplication::setOverrideCursor(shapeOf(pointer));
    m_screenPointerSet = true;
}

double SplitterBar::ownerInnerWidth() const
{
    return parentWidget() ? MainLayout::toTwips(parentWidget()->width()) : 0;
}

double SplitterBar::ownerInnerHeight() const
{
    return parentWidget() ? MainLayout::toTwips(parentWidget()->height()) : 0;
}

double SplitterBar::twipsPerPixel() const
{
    return MainLayout::TwipsPerPixel;
}

float SplitterBar::ownerX(QMouseEvent *event) const
{
    return float(MainLayout::toTwips(int(event->position().x()) + x()));
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT pressed(float(MainLayout::toTwips(int(event->position().x()))));
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT moved(ownerX(event));
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT released(ownerX(event));
}
