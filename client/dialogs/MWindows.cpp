#include "MWindows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
double screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->logicalDotsPerInchX() > 0 ? screen->logicalDotsPerInchX() : 96.0;
}
}

void MakeWindowTopmost(QWidget *window)
{
    if (!window)
        return;
    const bool wasVisible = window->isVisible();
    const bool wasQuiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    // Changing the flags hides the window; show it again where it was.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (wasVisible)
        window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, wasQuiet);
}

bool IsNormalDpi()
{
    return qRound(screenDpi()) == 96;
}

double GetDpiScale()
{
    return 96.0 / screenDpi();
}
