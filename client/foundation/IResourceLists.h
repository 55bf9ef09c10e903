#pragma once

#include <QString>

// Fills the resource view's two lists.
class IResourceLists
{
public:
    virtual ~IResourceLists() = default;
    virtual void refreshResourceList(const QString &nodeKey) = 0;
    virtual void refreshReservationDetails(const QString &resourceName, const QString &resourceKey, int days) = 0;
};

class NoResourceLists : public IResourceLists
{
public:
    void refreshResourceList(const QString &) override {}
    void refreshReservationDetails(const QString &, const QString &, int) override {}
};
