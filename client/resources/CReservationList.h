#pragma once

#include "CReservation.h"

#include <QList>
#include <QtCore/qnamespace.h>

class QStandardItemModel;

// The bookings of one resource, as the lower list of the resource view
// shows them.
class CReservationList
{
public:
    static const QStringList &columnKeys();
    // Column 0 of a row holds the id of the user who made the booking.
    static constexpr int OwnerRole = Qt::UserRole + 2;
    // The bookings that end on or after midnight days days ago, and every
    // booking of a manual item not yet checked in, by start.
    static QList<CReservation> getReservationDetails(qint32 resourceId, int days);
    static int addReservationItem(QStandardItemModel &model, const CReservation &booking);
    static void updateReservationItem(QStandardItemModel &model, int row, const CReservation &booking);
};
