#pragma once

#include "ISplash.h"

#include <QLabel>
#include <QWidget>

// The splash window shown while the program starts: the program's picture
// with its version.
class frmSplash : public QWidget, public ISplash
{
    Q_OBJECT
public:
    frmSplash();
    void showWindow() override;
    void hideWindow() override;
    void setStatusText(const QString &text) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_lblVersion;
    QLabel *m_lblStatus;
};
