#include "PropertyBag.h"

void PropertyBag::writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    const qsizetype at = indexOf(name);
    if (defaultValue.isValid() && value == defaultValue) {
        if (at >= 0)
            m_values.removeAt(at);
        return;
    }
    if (at >= 0)
        m_values[at].second = value;
    else
        m_values.append({name, value});
}

QVariant PropertyBag::readProperty(const QString &name, const QVariant &defaultValue) const
{
    const qsizetype at = indexOf(name);
    return at >= 0 ? m_values.at(at).second : defaultValue;
}

bool PropertyBag::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const auto &entry : m_values)
        result.append(entry.first);
    return result;
}

qsizetype PropertyBag::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < m_values.size(); ++i)
        if (m_values.at(i).first == name)
            return i;
    return -1;
}
