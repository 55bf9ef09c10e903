#include "ApplicationSetUp.h"

#include "dialogs/RichTextGuard.h"
#include "status/IconArt.h"

#include <QApplication>
#include <QIcon>

void SetUpApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("tessaly"));
    app.setQuitOnLastWindowClosed(false);
    // At the sizes window managers and task bars ask for.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(IconArt::picture(QStringLiteral("Qel"), size));
    QApplication::setWindowIcon(icon);
    RichTextGuard::install();
}

void PrepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
