#pragma once

#include "KeyedCollection.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QVariant>

namespace QelWeb {

class CResource;
class CReservation;
class CStatus;
class CTreeNode;
class CUser;

// How values go back to pages: records as objects with their properties,
// keyed collections as arrays in their order, each item carrying its "Key",
// dates as day numbers (0 = none).

inline QJsonValue toJson(qint32 value) { return value; }
inline QJsonValue toJson(double value) { return value; }
inline QJsonValue toJson(bool value) { return value; }
inline QJsonValue toJson(const QString &value) { return value; }
inline QJsonValue toJson(const QVariant &value) { return QJsonValue::fromVariant(value); }

QJsonValue toJson(const CUser &user);
QJsonValue toJson(const CReservation &reservation);
QJsonValue toJson(const CResource &resource);
QJsonValue toJson(const CStatus &status);
QJsonValue toJson(const CTreeNode &node);

template <typename T>
QJsonValue toJson(const QList<T> &items)
{
    QJsonArray array;
    for (const T &item : items)
        array.append(toJson(item));
    return array;
}

// Plain values come as {"Key": ..., "value": ...}; records carry their key
// beside their properties.
template <typename T>
QJsonValue toJson(const KeyedCollection<T> &items)
{
    QJsonArray array;
    for (int i = 0; i < items.size(); ++i) {
        const QJsonValue item = toJson(items.at(i));
        QJsonObject object = item.isObject() ? item.toObject() : QJsonObject{{QStringLiteral("value"), item}};
        object.insert(QStringLiteral("Key"), items.keyAt(i));
        array.append(object);
    }
    return array;
}

} // namespace QelWeb
