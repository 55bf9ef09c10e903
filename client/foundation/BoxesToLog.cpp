#include "BoxesToLog.h"

#include "Globals.h"
#include "MErrorHandler.h"

int BoxesToLog::message(const QString &text, Buttons buttons, Icon, const QString &title)
{
    WriteDebugLog(QStringLiteral("Not shown during the close-down: \"%1\": %2").arg(title, text));
    return unanswered(buttons);
}

int BoxesToLog::showError(const QString &userMessage, const QString &details)
{
    WriteDebugLog(QStringLiteral("Not shown during the close-down: \"%1\": %2").arg(userMessage, details));
    return AnswerContinue;
}

void BoxesToLog::install()
{
    static BoxesToLog boxes;
    g_prompt = &boxes;
    g_errorWindow = &boxes;
}
