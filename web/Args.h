#pragma once

#include "JsonForm.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QVariant>

namespace QelWeb {

class WebObject;

// The arguments of one call, as the page passed them in a JSON array. Each
// reader checks the type and raises AppError (WebErr::TypeMismatch) for a
// value of another type: whole numbers in the 32-bit range for ids and
// counts, strings for texts, numbers for dates (day numbers).
class Args
{
public:
    Args(const QJsonArray &values, WebObject *self) : m_values(values), m_self(self) {}

    int size() const { return int(m_values.size()); }
    void requireCount(int min, int max) const;

    qint32 int32(int i) const;
    QString text(int i) const;
    double number(int i) const; // dates as day numbers
    QVariant any(int i) const;
    QJsonArray array(int i) const;
    qint64 handle(int i) const;
    WebObject *self() const { return m_self; }

    // A property: with no argument gives its value, with one sets it.
    template <typename V>
    QJsonValue property(V &field) const
    {
        if (size() == 0)
            return toJson(field);
        read(0, field);
        return QJsonValue();
    }
    // A property pages may only read.
    template <typename V>
    QJsonValue readOnly(const V &value) const
    {
        requireCount(0, 0);
        return toJson(value);
    }

private:
    void read(int i, qint32 &out) const { out = int32(i); }
    void read(int i, QString &out) const { out = text(i); }
    void read(int i, double &out) const { out = number(i); }
    void read(int i, QVariant &out) const { out = any(i); }
    QJsonValue at(int i) const;

    QJsonArray m_values;
    WebObject *m_self;
};

} // namespace QelWeb
