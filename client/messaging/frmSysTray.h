#pragma once

#include "ITrayWindow.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

// The hidden tray window: the tray icon and the update timer.
class frmSysTray : public QWidget, public ITrayWindow
{
    Q_OBJECT
public:
    frmSysTray();

    void showOffscreen() override;
    void setUpdateTimerEnabled(bool enabled) override;
    bool isUpdateTimerEnabled() const override;
    void removeTrayIcon() override;
    void hideWindow() override;

    QTimer tmUpdateTimer;

private:
    QSystemTrayIcon *m_trayIcon = nullptr;
};
