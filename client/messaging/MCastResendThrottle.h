#pragma once

#include <QHash>

// Limits how often the originator answers requests for the same update: when
// several copies miss one datagram they all ask for it, and one answer, heard
// by all of them, is enough.
class MCastResendThrottle
{
public:
    static constexpr qint64 IntervalMs = 2000;

    // True, and remembered, when the number was not answered in the last two
    // seconds.
    bool mayAnswer(qint32 seq);

private:
    void forgetOld(qint64 now);

    QHash<qint32, qint64> m_answeredAt; // sequence number -> ms since the epoch
};
