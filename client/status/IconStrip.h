#pragma once

#include <QList>

// Where the icon strip puts its pictures, in twips: ten cells side by side,
// the first visible picture chosen by the scroll bar, the rest parked out of
// sight.
class IconStrip
{
public:
    static constexpr int kCells = 10;
    static constexpr int kParked = -1000;
    static constexpr int kFirstLeft = 60;

    // The left edge of visible cell k (0 to 9).
    static int cellLeft(int k) { return k * 600 + kFirstLeft; }
    // The left edges of count pictures when picture first is the first one shown.
    static QList<int> layout(int count, int first);
    // The selection marker frames its picture with a small margin.
    static int markerLeft(int pictureLeft) { return pictureLeft - 20; }
    // Twips to pixels at the 96 dpi the layout was made for.
    static int pixels(int twips) { return twips / 15; }
};
