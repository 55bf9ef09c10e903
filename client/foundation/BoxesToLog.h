#pragma once

#include "IErrorWindow.h"
#include "IPrompt.h"

// Once the close-down has begun nobody may be there to answer a box (the
// session ending, the display gone), and a box left open would hold the
// close-down until it is cut short: what a message box or the error window
// would say goes to the debug log, and the safe answer is given.
class BoxesToLog : public IPrompt, public IErrorWindow
{
public:
    int message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;
    int showError(const QString &userMessage, const QString &details) override;

    // The program's boxes from now on; remove() gives back those it replaced
    // (for tests, which go on after a close-down).
    static void install();
    static void remove();
};
