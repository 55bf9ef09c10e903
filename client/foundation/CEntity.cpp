#include "CEntity.h"

#include "MCIFunctions.h"

void CEntity::setKey(const QString &key)
{
    m_key = key;
    ID = KeyToId(key);
}
