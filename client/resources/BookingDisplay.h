#pragma once

#include <QColor>
#include <QString>
#include <QVariant>
#include <optional>

class CReservation;

// How a booking looks in the resource and reservation lists.
class BookingDisplay
{
public:
    // "" for no time; "h:mm am/pm", with the medium date and a blank before
    // it when the time falls on another day than today.
    static QString timeText(double day);

    struct State
    {
        QColor colour;                  // invalid: the list's own text colour
        std::optional<QString> toolTip; // none: the row keeps the one it had
        // The colour as a cell's foreground; none leaves the list's.
        QVariant foreground() const { return colour.isValid() ? QVariant(colour) : QVariant(); }
    };
    // Grey when a manual item was returned, blue while booked out, red when
    // overdue (grey for an item that checks itself in), else no colour.
    static State state(const CReservation &booking);
    // The grey of a booking that is over: nothing is left to check in.
    static QColor greyColour() { return QColor(102, 102, 102); }
};
