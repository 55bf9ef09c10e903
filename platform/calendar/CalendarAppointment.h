#pragma once

#include "BusyStatus.h"

#include <QDateTime>
#include <QString>

// One occurrence of a calendar event, as the status check sees it.
struct CalendarAppointment
{
    QString uid;
    QString subject;
    QString location;
    QDateTime start;
    QDateTime end;
    bool allDay = false;
    BusyStatus busy = BusyStatus::Busy;
    bool isPrivate = false;      // private or confidential: never shown as a note
    bool ownStatusChange = false; // written by this program from a status change
    QString modified;            // LAST-MODIFIED, else DTSTAMP, as written
    QString fileName;            // where it was read, for a stable order
    int position = 0;            // its place in that file

    // What makes an occurrence "already applied": the same event, the same
    // occurrence, the same edit. Two events saved in one second differ.
    QString identity() const;
    // Whether this is an appointment to report: not the one taken last (its
    // identity is stored in lastIdentity) and not private. A private one is
    // stored all the same, so it is passed over until it is edited.
    bool takeAsNew(QString &lastIdentity) const;
    // "Subject @ Room", on one line and short enough for the status note.
    QString note() const;
    // Running at the moment: started (counted in whole minutes) and not ended.
    bool runsAt(const QDateTime &now) const;
};
