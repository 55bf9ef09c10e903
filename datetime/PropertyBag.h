#pragma once

#include "ZorDateTimeExport.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>

// The keyed values a form keeps for a control placed on it: the form fills a
// bag with its settings and hands it to the control to load, or asks the
// control to save into one. Names keep the order they were first written in.
class ZORDATETIME_EXPORT PropertyBag
{
public:
    // A value equal to its default is not kept, so a bag holds only what
    // differs from a new control.
    void writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = QVariant());
    QVariant readProperty(const QString &name, const QVariant &defaultValue = QVariant()) const;

    bool contains(const QString &name) const;
    QStringList names() const;

private:
    qsizetype indexOf(const QString &name) const;

    QList<std::pair<QString, QVariant>> m_values;
};
