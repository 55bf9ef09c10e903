#pragma once

#include <QString>

// Status codes come from buttons, the calendar link, other copies and the
// database; each is checked before it is used: three characters, A-Z and 0-9.
class StatusCode
{
public:
    // The number raised for a code that fails the check (an invalid argument;
    // not a busy database, so nobody retries it).
    static constexpr qint32 InvalidCodeError = 5;

    static bool isValid(const QString &code);
    // Raises AppError with InvalidCodeError when the code fails the check.
    static void require(const QString &code, const QString &source);
};
