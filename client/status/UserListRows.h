#pragma once

#include <QColor>
#include <QString>

class UserListItem;

// How a user's status is written into his row of the user list.
class UserListRows
{
public:
    // Writes status text, icon, note, out and due-back cells with their
    // colours. An empty status becomes "INN", and "INN" clears both times: the
    // caller's values are adjusted in place so that it stores what is shown.
    // An out time still ahead shows the row as "In (Out Later)" in grey.
    static void SetListItemStatus(UserListItem &item, double &outTime, double &dueBack, QString &note,
                                  QString &status);

    // A time as the out and due-back cells show it: "2:00 pm", with the date
    // in front ("04-Dec-26 2:00 pm") when it is not today, the day of now.
    static QString cellText(double when, double now);

    static QColor grey();

private:
    static QString timeText(double when, bool today);
};
