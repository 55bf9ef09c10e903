#pragma once

#include "BusyStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

// Adds events and journal entries to the user's calendar: to a file, inserted
// before its end with every other byte kept; to a folder, as a file of its own.
class IcsWriter
{
public:
    enum Result { Done, Unparsable, Failed };

    struct Event
    {
        QString uid;
        QDateTime start;
        QDateTime end;
        QString summary;
        BusyStatus busy = BusyStatus::Busy;
        QStringList attendees; // mail addresses
    };
    struct Journal
    {
        QString uid;
        QDateTime start;
        int minutes = 0;
        QString summary;
        QString description;
    };

    // A fresh identifier; status changes get the suffix that marks them ours.
    static QString newUid(const QString &suffix);

    static QByteArray eventText(const Event &event, const QDateTime &now);
    static QByteArray journalText(const Journal &journal, const QDateTime &now);

    static Result append(const QString &path, const QString &uid, const QByteArray &componentText);
};
