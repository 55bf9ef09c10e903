#include "QtPrompt.h"

#include "TitleRoom.h"
#include "foundation/MCIFunctions.h"

#include <QApplication>
#include <QMessageBox>

int QtPrompt::message(const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return unanswered(buttons);
    QMessageBox box;
    prepare(box, text, icon, title);
    struct Choice { QMessageBox::StandardButton button; int answer; };
    QList<Choice> choices;
    switch (buttons) {
    case Ok: choices = {{QMessageBox::Ok, AnswerOk}}; break;
    case OkCancel: choices = {{QMessageBox::Ok, AnswerOk}, {QMessageBox::Cancel, AnswerCancel}}; break;
    case AbortRetryIgnore:
        choices = {{QMessageBox::Abort, AnswerAbort}, {QMessageBox::Retry, AnswerRetry}, {QMessageBox::Ignore, AnswerIgnore}};
        break;
    case YesNoCancel:
        choices = {{QMessageBox::Yes, AnswerYes}, {QMessageBox::No, AnswerNo}, {QMessageBox::Cancel, AnswerCancel}};
        break;
    case YesNo: choices = {{QMessageBox::Yes, AnswerYes}, {QMessageBox::No, AnswerNo}}; break;
    case RetryCancel: choices = {{QMessageBox::Retry, AnswerRetry}, {QMessageBox::Cancel, AnswerCancel}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const Choice &c : choices)
        all |= c.button;
    box.setStandardButtons(all);
    const int pressed = box.exec();
    for (const Choice &c : choices)
        if (c.button == pressed)
            return c.answer;
    return choices.size() > 1 ? choices.last().answer : AnswerOk;
}

void QtPrompt::prepare(QMessageBox &box, const QString &text, Icon icon, const QString &title)
{
    // A box without a title would stand in the task bar as a nameless window.
    box.setWindowTitle(title.isEmpty() ? ApplicationTitle() : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Critical: box.setIcon(QMessageBox::Critical); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Information: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    // After the icon: setting it rebuilds the box's layout.
    TitleRoom::keep(&box);
}
