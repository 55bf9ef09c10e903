#include "IconStrip.h"

QList<int> IconStrip::layout(int count, int first)
{
    QList<int> lefts(count, kParked);
    for (int i = qMax(first, 0); i < count; ++i) {
        const int k = i - first;
        if (k < kCells)
            lefts[i] = cellLeft(k);
    }
    return lefts;
}
