#include "ObjectTable.h"

#include "WebObject.h"

#include <QHash>
#include <QMutex>

namespace QelWeb {

namespace {

QMutex g_mutex;
QHash<qint64, std::shared_ptr<WebObject>> g_objects;
qint64 g_lastHandle = 0;

} // namespace

qint64 ObjectTable::add(std::shared_ptr<WebObject> object)
{
    const QMutexLocker lock(&g_mutex);
    g_objects.insert(++g_lastHandle, std::move(object));
    return g_lastHandle;
}

std::shared_ptr<WebObject> ObjectTable::find(qint64 handle)
{
    const QMutexLocker lock(&g_mutex);
    return g_objects.value(handle);
}

bool ObjectTable::remove(qint64 handle)
{
    std::shared_ptr<WebObject> released;
    const QMutexLocker lock(&g_mutex);
    released = g_objects.take(handle);
    return released != nullptr;
}

} // namespace QelWeb
