#pragma once

#include "CReservation.h"

#include <QString>

namespace QelWeb {

// A bookable item of a resource group, with its current booking.
class CResource
{
public:
    qint32 ID = 0;
    QString Name;
    QString code;
    QString Location;
    qint32 GroupID = 0;
    double Rate = 0;
    QString RateType;
    // The earliest booking that has not ended; an empty one (dates 0, texts
    // "") when there is none.
    CReservation oCurrentReservation;

    QString Key() const { return QStringLiteral("RES") + QString::number(ID); }
};

} // namespace QelWeb
