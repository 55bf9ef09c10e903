#pragma once

#include <QtGlobal>

// Sizes and offsets of the control are given in twips; the widgets take
// pixels at 96 dots per inch.
class Twips
{
public:
    static constexpr int PerPixel = 15;
    static constexpr int toPixels(int twips) { return qRound(double(twips) / PerPixel); }
};
