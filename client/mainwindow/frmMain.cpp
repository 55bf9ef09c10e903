#include "frmMain.h"

#include "Globals.h"

#include <QCloseEvent>
#include <QStatusBar>

frmMain::frmMain()
{
    setWindowTitle(QStringLiteral("Qel"));
    resize(800, 600);
    statusBar();
}

void frmMain::showWindow()
{
    show();
}

void frmMain::hideWindow()
{
    hide();
}

bool frmMain::isWindowVisible() const
{
    return isVisible();
}

int frmMain::windowStateCode() const
{
    if (windowState() & Qt::WindowMinimized)
        return Minimised;
    if (windowState() & Qt::WindowMaximized)
        return Maximised;
    return Normal;
}

void frmMain::setWindowStateCode(int state)
{
    switch (state) {
    case Minimised: showMinimized(); break;
    case Maximised: showMaximized(); break;
    default: setWindowState(Qt::WindowNoState); break;
    }
}

QString frmMain::caption() const
{
    return windowTitle();
}

void frmMain::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void frmMain::setStatusText(const QString &text)
{
    statusBar()->showMessage(text);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The close box does not close the window while the program runs: it asks
    // for the close-down, which unloads the window itself.
    if (m_fClosingDown) {
        event->accept();
        return;
    }
    event->ignore();
    int unloadMode = 0;
    if (onDoExit)
        onDoExit(unloadMode);
}
