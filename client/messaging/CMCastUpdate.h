#pragma once

#include <QString>

// One status update as it travels between the running copies.
class CMCastUpdate
{
public:
    qint32 Seq = 0;           // change counter read before the write; the key in CMCastWindow
    qint32 UserID = 0;        // whose status changed
    QString Status;           // status code
    QString Note;
    double ETD = 0;           // went out (day number, 0 for none)
    double ETA = 0;           // due back
    qint32 OriginatorID = -1; // signed-in user of the copy that sent it; -1 when built from a datagram

    // The decimal text of Seq, under which the window keeps the update.
    QString Key() const;
};
