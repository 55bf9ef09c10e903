#include "RefreshFactor.h"

#include "platform/DateUtil.h"

int RefreshFactor::sliderPosition(qint16 period)
{
    return period * 10;
}

qint16 RefreshFactor::period(int sliderPosition)
{
    return qint16(DateUtil::roundHalfEven(sliderPosition / 10.0));
}
