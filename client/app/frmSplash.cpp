#include "frmSplash.h"

#include <QApplication>
#include <QVBoxLayout>

frmSplash::frmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::WindowStaysOnTopHint)
{
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Tessaly"), this);
    QFont font = title->font();
    font.setPointSize(28);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    m_lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3")
                                  .arg(TESSALY_VERSION_MAJOR).arg(TESSALY_VERSION_MINOR).arg(TESSALY_VERSION_REVISION),
                              this);
    m_lblVersion->setAlignment(Qt::AlignRight);
    m_lblStatus = new QLabel(this);
    layout->addWidget(title);
    layout->addWidget(m_lblVersion);
    layout->addWidget(m_lblStatus);
    setFixedSize(360, 200);
    // The splash stays on top; a dialog that needs an answer during the
    // start (a new user's options, an error) must not open beneath it.
    qApp->installEventFilter(this);
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched != this) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isWindow() && widget->isModal())
            hide();
    }
    return false;
}

void frmSplash::showWindow()
{
    show();
    QApplication::processEvents();
}

void frmSplash::hideWindow()
{
    hide();
}

void frmSplash::setStatusText(const QString &text)
{
    m_lblStatus->setText(text);
    QApplication::processEvents();
}
