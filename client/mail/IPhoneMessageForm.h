#pragma once

#include <QStringList>
#include <optional>

// What the phone-message form gives back when the user presses OK.
struct PhoneMessageEntry
{
    QString caller;
    QString time;
    QString priority;
    QString action;
    QString message;
};

// The phone-message form as the mail rules use it; tests answer in its place.
class IPhoneMessageForm
{
public:
    virtual ~IPhoneMessageForm() = default;
    virtual void SetContactsCBO(const QStringList &callers) = 0;
    // Shows the form modally; nothing when it was cancelled.
    virtual std::optional<PhoneMessageEntry> ask(const QString &caption, const QString &time) = 0;
};
