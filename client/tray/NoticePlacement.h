#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a slide-in notice rests and where it slides from. Notices sit in the
// corner of the screen's work area nearest the tray icon (bottom right when
// the icon's place is unknown), a little in from the side, and stack away
// from the corner one above (or below) the other.
class NoticePlacement
{
public:
    // Most notices shown at once.
    static constexpr int MaxNotices = 5;
    // Gap between a notice and the side of the work area: 400 twips.
    static constexpr int SideGapPixels = 400 / 15;

    struct Path { QPoint from; QPoint to; };

    // How many notices fit on top of one another in the work area.
    static int capacity(const QRect &available, const QSize &notice);
    // The slide of the notice in the given slot (0 at the corner).
    static Path path(const QRect &available, const QRect &trayIcon, const QSize &notice, int slot);
};
