#pragma once

#include "CResource.h"
#include "KeyedCollection.h"

namespace QelWeb {

// The resources of one resource group with their current bookings.
class CResourceList
{
public:
    // Keyed "RES" + id: the resources without a current booking first, then
    // by the start of their current booking. sGroupId must be a whole number;
    // anything else raises AppError before any statement runs.
    KeyedCollection<CResource> LoadResourceList(const QString &sGroupId) const;
};

} // namespace QelWeb
