#pragma once

#include <QStringList>

#include <functional>

// A message that is to leave at once: its addresses are resolved and checked,
// the system's submission program gets it, and when that does not take it the
// desktop's mail program opens it for the user to finish. When neither takes
// it, or an address is unusable, the user is told and nothing is sent.
class MailSubmission
{
public:
    using Done = std::function<void(bool taken)>;

    // `done` is called once, when the outcome is known; the window goes on
    // while the submission program runs.
    static void send(const QStringList &recipients, const QString &sender, const QString &subject,
                     const QString &body, Done done);
};
