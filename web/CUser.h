#pragma once

#include <QString>

class RecordSet;

namespace QelWeb {

// One user as a page shows him: his status, note and times.
class CUser
{
public:
    qint32 ID = 0;
    QString Name;
    QString Email;
    QString Status;
    double DueBack = 0; // day number; 0 = none
    double OutAt = 0;
    QString Note;

    // The user of the current row of a STAFF_STATUS read.
    static CUser fromRow(const RecordSet &rs);
};

} // namespace QelWeb
