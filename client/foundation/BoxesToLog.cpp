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

namespace {
BoxesToLog g_boxes;
IPrompt *g_promptBefore = nullptr;
IErrorWindow *g_errorWindowBefore = nullptr;
} // namespace

void BoxesToLog::install()
{
    if (g_prompt == &g_boxes)
        return;
    g_promptBefore = g_prompt;
    g_errorWindowBefore = g_errorWindow;
    g_prompt = &g_boxes;
    g_errorWindow = &g_boxes;
}

void BoxesToLog::remove()
{
    if (g_prompt != &g_boxes)
        return;
    g_prompt = g_promptBefore;
    g_errorWindow = g_errorWindowBefore;
}
