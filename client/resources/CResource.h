#pragma once

#include "CReservation.h"

#include <QString>
#include <memory>

// One bookable item of a resource group (a room, a vehicle, a projector), as
// stored in table Resource.
class CResource
{
public:
    qint32 ID = 0; // 0 until stored; -1 after Delete
    QString Name;
    QString code;
    QString Location;
    qint32 GroupID = 0;
    bool AutoCheckIn = false;
    // Carried for the web pages; neither stored nor read here.
    double Rate = 0;
    QString RateType;
    // The booking the resource list shows for it: the latest one that has
    // started (for a manual item, not yet checked in); none otherwise.
    std::shared_ptr<CReservation> oCurrentReservation;

    QString Key() const { return QStringLiteral("RES") + QString::number(ID); }
    // Inserts the resource under a new id while ID is below 1, else rewrites it.
    void save();
    // Deletes the resource iID (this one's when -1) with its bookings, in one
    // transaction, so no booking is left pointing at nothing. ID is -1 after.
    void Delete(qint32 iID = -1);
    void Read(qint32 iID);

private:
    void Add();
    void Update();
};
