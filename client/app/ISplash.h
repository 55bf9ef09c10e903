#pragma once

#include <QString>

// The splash window at start and the progress window at close-down.
class ISplash
{
public:
    virtual ~ISplash() = default;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void setStatusText(const QString &text) = 0;
};
