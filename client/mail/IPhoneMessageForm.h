#pragma once

#include <QStringList>

#include <functional>
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
    using Done = std::function<void(bool sent)>;
    using Sender = std::function<void(const PhoneMessageEntry &entry, Done done)>;

    virtual ~IPhoneMessageForm() = default;
    virtual void SetContactsCBO(const QStringList &callers) = 0;
    // Shows the form modally. OK hands what was typed to `send`; the form
    // closes once the message is reported sent and otherwise stays open with
    // the text as typed. Nothing when it was cancelled.
    virtual std::optional<PhoneMessageEntry> ask(const QString &caption, const QString &time, const Sender &send) = 0;
};
