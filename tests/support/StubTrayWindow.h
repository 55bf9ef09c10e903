#pragma once

#include "foundation/ITrayWindow.h"

// A tray window that is always there and does nothing but remember the poll
// period it was given (-1: none); tests override the services they watch.
class StubTrayWindow : public ITrayWindow
{
public:
    void showOffscreen() override {}
    void setUpdateTimerEnabled(bool) override {}
    bool isUpdateTimerEnabled() const override { return false; }
    void removeTrayIcon() override {}
    void hideWindow() override {}
    void setPollThreshold(qint16 threshold) override { pollThreshold = threshold; }

    int pollThreshold = -1;
};
