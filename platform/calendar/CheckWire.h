#pragma once

#include "CalendarCheck.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// What the program and the calendar's helper process say to each other: a
// check asked for, and its result. Each message is its length (four bytes)
// and its body.
class CheckWire
{
public:
    struct GivenUp
    {
        QString file;
        QString stamp; // the file's version it was given up for
        int series = 0;
        bool named = false; // the helper named it in the log already

        // The series and version it names, as one text.
        QString key() const { return file + QLatin1Char('\n') + stamp + QLatin1Char('\n') + QString::number(series); }
    };
    struct Request
    {
        QString path;
        QDateTime now;
        QByteArray zone; // the desktop's (TZ), which the helper takes on
        qint64 budgetMs = 0;
        QList<GivenUp> skip;
    };

    static QByteArray request(const Request &request);
    static std::optional<Request> request(const QByteArray &body);
    static QByteArray answer(const CalendarCheck::Result &result);
    static std::optional<CalendarCheck::Result> answer(const QByteArray &body);

    // The length the next message's first four bytes give; nullopt until
    // they have all come.
    static std::optional<quint32> lengthOf(const QByteArray &received);
    static constexpr qsizetype HeaderSize = 4;
    // No result is larger: a longer message is not read.
    static constexpr quint32 MostBytes = 64u << 20;
};
