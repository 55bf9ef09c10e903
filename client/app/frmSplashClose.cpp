#include "frmSplashClose.h"

#include <QApplication>
#include <QVBoxLayout>

frmSplashClose::frmSplashClose()
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Qel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please wait while Qel shuts down"), this));
    lblStatus = new QLabel(this);
    layout->addWidget(lblStatus);
    setMinimumWidth(300);
}

void frmSplashClose::showWindow()
{
    show();
    QApplication::processEvents();
}

void frmSplashClose::hideWindow()
{
    hide();
}

void frmSplashClose::setStatusText(const QString &text)
{
    lblStatus->setText(text);
    QApplication::processEvents();
}
