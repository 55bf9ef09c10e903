#pragma once

#include <QString>

// Shows a slide-in notification, such as a watched colleague coming back In.
// The notification window implements it; until it exists nothing is shown.
class IUserNotification
{
public:
    virtual ~IUserNotification() = default;
    // A new window, shown without being modal; alwaysOnTop keeps it above
    // the other windows.
    virtual void notify(const QString &title, const QString &message, bool alwaysOnTop) = 0;
};

class NoUserNotification : public IUserNotification
{
public:
    void notify(const QString &, const QString &, bool) override {}
};
