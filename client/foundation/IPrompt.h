#pragma once

#include <QString>

// Message boxes go through this service so that tests can answer them.
// Answers use the classic message-box result codes.
class IPrompt
{
public:
    enum Buttons { Ok = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
    enum Icon { NoIcon = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
    enum Answer { AnswerOk = 1, AnswerCancel = 2, AnswerAbort = 3, AnswerRetry = 4, AnswerIgnore = 5,
                  AnswerYes = 6, AnswerNo = 7 };

    virtual ~IPrompt() = default;
    virtual int message(const QString &text, Buttons buttons, Icon icon, const QString &title) = 0;

    // Where nobody can answer, the safe answer: No, or Cancel.
    static int unanswered(Buttons buttons)
    {
        return buttons == YesNo || buttons == YesNoCancel ? AnswerNo : AnswerCancel;
    }
};

// Until start-up installs the message boxes, and in a run without a window
// system, questions get the safe answer.
class NoPrompt : public IPrompt
{
public:
    int message(const QString &, Buttons buttons, Icon, const QString &) override { return unanswered(buttons); }
};
