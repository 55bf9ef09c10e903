#pragma once

#include "foundation/IApplication.h"

// Start-up's services to the layers below it, over MStartUp and
// CClientInitialise. Main installs the one instance as g_application.
class ClientApplication : public IApplication
{
public:
    void closeDownApplication(int unloadMode) override;
    bool reopenMainWindow() override;
    void reloadGroupTree() override;
    void applyCalendarSettings() override;

    static ClientApplication &instance();
};
