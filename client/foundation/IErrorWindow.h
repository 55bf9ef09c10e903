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

// Until start-up installs the error window, and in a run without a window
// system, nobody can answer: the program goes on.
class NoErrorWindow : public IErrorWindow
{
public:
    int showError(const QString &, const QString &) override { return AnswerContinue; }
};
