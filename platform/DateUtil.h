#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// Dates are kept as day numbers: whole days counted from 30 December 1899 in
// local time, the fraction the time of day; 0 means "no date". This is how the
// shared database stores them, so every copy and the web component agree.
// The fixed text formats below are used instead of the machine's locale so that
// logs and stored texts read the same on every desktop.
class DateUtil
{
public:
    static QDate epoch() { return QDate(1899, 12, 30); }

    static double toDays(const QDateTime &moment);
    static double toDays(const QDate &date, const QTime &time = QTime(0, 0));
    static QDateTime fromDays(double days);
    static QDate dateOf(double days);
    static QTime timeOf(double days);
    static double datePart(double days); // whole day, time dropped
    static double timePart(double days); // fraction of the day, always >= 0
    static double fromTime(const QTime &time); // fraction of a day

    // Counts of boundaries crossed between two moments, as the board's rules
    // count them: minutes change at hh:mm:00, days at midnight.
    static qint64 minutesBetween(double from, double to);
    static qint64 daysBetween(double from, double to);
    static qint64 secondsBetween(double from, double to);

    // Leading number of a text, as loose user input is read: blanks are
    // skipped, "&H" and "&O" prefixes accepted, reading stops at the first
    // character that does not belong to the number. No number gives 0; a number
    // too large for a double gives an infinity.
    static double val(const QString &text);

    // Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
    static double roundHalfEven(double value);

    // A number as text: up to 15 significant digits and always a decimal point.
    static QString numberText(double value);

    static QString mediumDate(const QDateTime &moment); // "05-Mar-04"
    static QString shortTime(const QDateTime &moment);  // "2:07 PM"
    static QString longTime(const QDateTime &moment);   // "2:07:09 PM"
    static QString shortDate(const QDate &date);        // "05/03/2004"
    // The general date form: "05/03/2004 2:07:09 PM"; the date alone at
    // midnight, the time alone on the zero date.
    static QString generalDate(double days);

    // Reads a time of day liberally: "8:30", "08:30:00", "8:30 AM", "2:07 pm",
    // "14", or a day-number fraction such as "0.354166". Invalid gives QTime().
    static QTime parseTime(const QString &text);
    // Reads a date in the short form, ISO form or medium form.
    static QDate parseDate(const QString &text);

private:
    // Digits only, at most fifteen: what val reads them as; nothing otherwise.
    static std::optional<double> plainWholeNumber(const QString &text);
};
