#include "QtErrorWindow.h"

#include "frmError.h"

#include <QApplication>

int QtErrorWindow::showError(const QString &userMessage, const QString &details)
{
    // Without a window system nobody can answer; the program goes on.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return AnswerContinue;
    frmError form;
    form.setUserMessage(userMessage);
    form.setDetails(details);
    form.exec();
    return form.answer();
}
