#pragma once

#include <QtGlobal>
#include <memory>

namespace QelWeb {

class WebObject;

// The objects pages made, by handle. Handles are never given out twice, so a
// released or made-up handle finds nothing instead of another page's object.
class ObjectTable
{
public:
    static qint64 add(std::shared_ptr<WebObject> object);
    // Nothing when no object has the handle.
    static std::shared_ptr<WebObject> find(qint64 handle);
    // False when no object had the handle.
    static bool remove(qint64 handle);
};

} // namespace QelWeb
