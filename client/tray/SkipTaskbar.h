#pragma once

class QWidget;

// Keeps a window out of the desktop's task bar and pager. Qt has no flag for
// it, and a frameless tool window without an owner still gets a button from
// some window managers, so on X11 the window asks for it through the
// window-manager state (_NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER). Call it
// before the window is first shown; elsewhere it does nothing.
void SkipTaskbar(QWidget *window);
