#pragma once

#include <QString>
#include <QVariant>

namespace QelWeb {

// A plain key and value, for pages that keep their own lists.
class CField
{
public:
    QVariant value;
    QString Key;
};

} // namespace QelWeb
