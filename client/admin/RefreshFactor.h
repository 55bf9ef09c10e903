#pragma once

#include <QtGlobal>

// The refresh slider of the options dialog runs from 60 to 600 (the scale
// beneath reads 1 to 10 minutes); the stored refresh period is a tenth of its
// position.
class RefreshFactor
{
public:
    static constexpr int SliderMinimum = 60;
    static constexpr int SliderMaximum = 600;
    static constexpr int SliderTick = 30;
    static constexpr int SliderStart = 300;

    static int sliderPosition(qint16 period);
    // A tenth of the position, halves going to the even number (65 gives 6).
    static qint16 period(int sliderPosition);
};
