#pragma once

#include "foundation/CUserProperties.h"
#include "foundation/QuickNoteTable.h"

#include <QDate>
#include <QString>

// Expands the bracketed tokens of a status note ("Back [next work day]",
// "Out until [+1.30]") into plain text at the moment the status is set, and
// hands out the user's quick notes.
class CClientNote
{
public:
    // The next working day at the signed-in user's work start time.
    double NextWorkDay() const;
    QString GetParsedNote(const QString &statusCode, const CUserProperties &options) const;
    QString GetNote(const QString &statusCode) const;
    QString getParsedNoteA(const QString &statusCode, const QuickNoteTable &notes, const CUserProperties &options) const;
    // Raises AppError when an offset takes the time out of the range of dates.
    QString ParseNote(QString note, const CUserProperties &options) const;

    // The built-in status's quick-note row, 1 to 13; 0 for any other code
    // (custom, empty, lower case).
    static int getStatusCodeNumber(const QString &statusCode);

private:
    static QString hoursOffset(const QString &text);
};
