#include "MCIFunctions.h"

#include "DateUtil.h"

#include <cmath>
#include <limits>

qint32 KeyToId(const QString &key)
{
    if (key.size() < 4)
        return -1;
    const double value = DateUtil::val(key.mid(3));
    if (!std::isfinite(value) || value > std::numeric_limits<qint32>::max()
        || value < std::numeric_limits<qint32>::min())
        return 0;
    return qint32(DateUtil::roundHalfEven(value));
}
