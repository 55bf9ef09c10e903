#pragma once

#include "CStatus.h"
#include "KeyedCollection.h"

namespace QelWeb {

class CStatusList
{
public:
    // The active custom statuses keyed by their codes, in code order.
    KeyedCollection<CStatus> LoadCustomStatus() const;
};

} // namespace QelWeb
