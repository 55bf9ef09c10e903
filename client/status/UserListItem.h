#pragma once

#include <QColor>
#include <QString>

// One row of the user list as it is shown: the item's text and icon and the
// texts and colours of its cells (its key, "USR" + id, is made when asked).
class UserListItem
{
public:
    qint32 UserID = 0;
    QString Tag = QStringLiteral("USR");
    QString Text;                    // the name
    QString IconKey;                 // a status code or a custom status's icon
    QString StatusText;
    QString Note;
    QString OutText;
    QString DueBackText;
    QString Mobile;                  // "ON" or "OFF"
    QString MobilePh;
    QString PhoneNumber;
    // The note and out cells, and the due-back cell: none (invalid) draws
    // them in the list's own text colour, as the user chose it.
    QColor NoteColour;
    QColor DueBackColour;
    double OutTime = 0;              // as last written; 0 for none
    double DueBack = 0;              // as shown; 0 for none
    bool Pending = false;            // shown "In (Out Later)" until OutTime
};
