#pragma once

#include <QString>

// The error window goes through this service so that tests can answer it.
class IErrorWindow
{
public:
    enum Answer { AnswerExit = 3, AnswerContinue = 5 };

    virtual ~IErrorWindow() = default;
    // Shows the message and, on request, the details; gives the answer.
    virtual int showError(const QString &userMessage, const QString &details) = 0;
};
