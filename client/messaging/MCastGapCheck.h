#pragma once

#include <QVector>

class CMCastWindow;

// Decides, for each received status update, which missed sequence numbers to
// ask for again and how far the mark of numbers accounted for moves.
class MCastGapCheck
{
public:
    // Furthest a gap is followed back; older misses are left to the poll.
    static constexpr qint64 MaxGap = 5;

    // lastSeq is the mark (0 when not yet set); the window already holds the
    // update numbered seq. Gives the numbers to request, in rising order.
    static QVector<qint32> check(qint32 seq, qint32 &lastSeq, const CMCastWindow &window);

private:
    static bool held(const CMCastWindow &window, qint64 seq);
    // Moves the mark over numbers already held, so that a gap that has been
    // filled is not walked again by every later update.
    static void passHeld(qint64 &mark, const CMCastWindow &window);
};
