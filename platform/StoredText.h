#pragma once

#include <QString>
#include <QVariant>

// How values are written into the shared database's rows and read back, the
// same for the program and the web component: texts keep apostrophes as the
// character with code 8; day-number columns hold the number or null; date
// columns hold the SQL date-time text.

QString FormatSQLNumber(QString &numberText);
QString EncodeQuotes(const QString &text);
QString DecodeQuotes(const QString &text);
// A date-time literal for SQL text, quotes included.
QString FormatSQLDate(double date);

// A day-number column's value: null for no date (0), else the number as its
// 15-digit text reads back.
QVariant StoredDay(double day);
// A date column's value (STATUS_HISTORY, Reservation): the text of the SQL
// date literal, to be bound.
QString HistoryDate(double day);
// A date column read back, as a day number: both engines' forms (the text
// SQLite keeps, the timestamp PostgreSQL gives) and numbers; 0 for null.
double DayFromColumn(const QVariant &value);
