#pragma once

#include "ZorDateTimeExport.h"

#include <QString>
#include <optional>

// What the control's boxes accept and show. A box holds a valid value when
// its text is a date, a time of day, or a date followed by a time; a bare
// number is neither. Dates show as the short date with four-digit years,
// times as "h:mm AM/PM".
class ZORDATETIME_EXPORT DateTimeText
{
public:
    static std::optional<double> parse(const QString &text); // day number
    static bool isValid(const QString &text) { return parse(text).has_value(); }
    static double value(const QString &text) { return parse(text).value_or(0.0); }

    static QString formatDate(double days);
    static QString formatTime(double days);

private:
    static std::optional<double> parseTime(const QString &text);
};
