#pragma once

#include <QString>

namespace QelWeb {

// What a page may store, checked before any row is written, so that both
// engines keep the same thing or refuse it alike: SQLite would keep any text
// and any number a page sends, PostgreSQL refuses some of them mid-write.
class WebValues
{
public:
    // Reservation's Note and BookedTo columns, and a status note as the
    // program cuts it.
    static constexpr qsizetype TextLength = 254;

    // The text as its column keeps it: cut to length characters, as
    // PostgreSQL counts them. Raises AppError (WebErr::BadArguments) for a
    // NUL, which SQLite would cut the text at and PostgreSQL refuses.
    static QString columnText(const QString &text, qsizetype length, const QString &source);
    // Raises AppError (WebErr::BadArguments) unless the day number lies
    // between 1 January 1900 and the last moment of 9999, the dates the
    // program's own date control offers.
    static void requireDate(double day, const QString &what, const QString &source);
    // One of the statuses every copy knows without an administrator defining it.
    static bool isBuiltInStatus(const QString &code);
};

} // namespace QelWeb
