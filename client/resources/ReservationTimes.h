#pragma once

// The start and end of a booking as the reservation dialog keeps them, in
// day numbers: the end follows the start so that it stays after it.
class ReservationTimes
{
public:
    double from = 0;
    double until = 0;

    // A new booking: from now, to the minute, for an hour.
    static ReservationTimes startingAt(double now);
    // The start moved to another day: an end on an earlier day moves to it.
    void startDateChanged(double newDate);
    // The start moved to another time of day: when it passes the end's time
    // of day, the end becomes an hour after it, on the next day when the hour
    // runs past midnight.
    void startTimeChanged(double newTime);
    bool endsAfterStart() const;
};
