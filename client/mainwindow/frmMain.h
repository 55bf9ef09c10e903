#pragma once

#include "IMainWindow.h"

#include <QMainWindow>

// The main window of the board.
class frmMain : public QMainWindow, public IMainWindow
{
    Q_OBJECT
public:
    frmMain();

    void showWindow() override;
    void hideWindow() override;
    bool isWindowVisible() const override;
    int windowStateCode() const override;
    void setWindowStateCode(int state) override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    void setStatusText(const QString &text) override;

protected:
    void closeEvent(QCloseEvent *event) override;
};
