#pragma once

#include <QString>

// The slide-in notice that offers the signed-in user "Check In" after his
// status was set to something other than In. The controller that made it owns
// it and drops it when an In status arrives; the notice's own Close and Check
// In buttons only hide it, so dropping it is safe at any time.
class ICheckInPopup
{
public:
    virtual ~ICheckInPopup() = default;

    virtual void setTitle(const QString &title) = 0;
    virtual void setMessage(const QString &message) = 0;
    virtual void setCheckIn() = 0;               // shows the Check In button
    virtual void setDueBack(double dueBack) = 0; // day number
    virtual void showModeless() = 0;
    virtual void display() = 0;                  // slides into view
    virtual void undisplay() = 0;                // slides out of view
    virtual void setAlwaysOnTop() = 0;
};
