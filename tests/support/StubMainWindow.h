#pragma once

#include "foundation/IMainWindow.h"

// A main window that is always there and shows nothing; tests override the
// services they watch.
class StubMainWindow : public IMainWindow
{
public:
    void showWindow() override {}
    void hideWindow() override {}
    bool isWindowVisible() const override { return true; }
    int windowStateCode() const override { return Normal; }
    void setWindowStateCode(int) override {}
    QString caption() const override { return QString(); }
    void setCaption(const QString &) override {}
};
