#pragma once

#include "ISplash.h"

#include <QLabel>
#include <QWidget>

// The small progress window of the close-down.
class frmSplashClose : public QWidget, public ISplash
{
    Q_OBJECT
public:
    frmSplashClose();
    void showWindow() override;
    void hideWindow() override;
    void setStatusText(const QString &text) override;
    QString statusText() const { return lblStatus->text(); }

private:
    QLabel *lblStatus;
};
