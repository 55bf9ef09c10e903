#include "MCastGapCheck.h"

#include "CMCastWindow.h"

#include <limits>

QVector<qint32> MCastGapCheck::check(qint32 seq, qint32 &lastSeq, const CMCastWindow &window)
{
    // 64 bits, so that numbers near the ends of the 32-bit range cannot wrap.
    const qint64 number = seq;
    qint64 mark = lastSeq == 0 ? number : lastSeq;
    if (number - mark > MaxGap)
        mark = number - MaxGap;
    QVector<qint32> missing;
    if (number <= mark + 1) {
        if (number > mark)
            mark = number;
    } else {
        for (qint64 n = mark + 1; n < number; ++n) {
            if (!held(window, n))
                missing.append(qint32(n));
        }
    }
    passHeld(mark, window);
    lastSeq = qint32(mark);
    return missing;
}

bool MCastGapCheck::held(const CMCastWindow &window, qint64 seq)
{
    return seq >= std::numeric_limits<qint32>::min() && seq <= std::numeric_limits<qint32>::max()
        && window.contains(qint32(seq));
}

void MCastGapCheck::passHeld(qint64 &mark, const CMCastWindow &window)
{
    while (mark < std::numeric_limits<qint32>::max() && held(window, mark + 1))
        ++mark;
}
