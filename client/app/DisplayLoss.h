#pragma once

#include <functional>

// Qt's X11 platform ends the program through exit() once it finds its
// connection to the display broken, warning about it first on the window's
// thread. That warning is the last moment at which everything of the program
// still stands (exit() would first take the threads' own objects and the
// statics made since): there `onLoss` runs, and should not return.
class DisplayLoss
{
public:
    static void install(std::function<void()> onLoss);
    // The program's X11 connection is broken (false on other platforms).
    static bool displayGone();
};
