#pragma once

#include <libical/ical.h>

// A repeat rule in the form the library is given it: the same starts, as
// RFC 5545 gives them, written so the library finds them. The library
// compares the days of a rule of days or shorter steps with its month and
// year days as written, so a day counted from the end (-1, the last) is
// never met; such a rule, where its steps fall on the same times every day,
// is written as the monthly or yearly rule of those days at those times. A
// weekday counted within a span, which such a rule cannot have, the library
// passes over beside plain weekdays, and so it is left out here.
class EquivalentRule
{
public:
    static icalrecurrencetype of(icalrecurrencetype rule, const icaltimetype &start);
};
