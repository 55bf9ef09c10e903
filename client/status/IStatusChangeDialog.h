#pragma once

#include <QString>

// The modal dialog in which a status is chosen for oneself, one colleague or
// several colleagues. The caller prepares it, shows it and reads the choice;
// the dialog itself writes nothing.
class IStatusChangeDialog
{
public:
    virtual ~IStatusChangeDialog() = default;

    // Prepared by the caller.
    virtual void setCaption(const QString &caption) = 0;
    virtual void setStatusLabel(const QString &text) = 0;
    virtual void setStatusCode(const QString &code) = 0;
    virtual void setNote(const QString &note) = 0;
    virtual void setTargetUserID(qint32 userId) = 0;   // 0 for several users
    virtual void setOwnStatus(bool own) = 0;
    virtual void setAddToOutlook(bool ticked, bool enabled, bool visible) = 0;
    virtual void setInviteAttendeesVisible(bool visible) = 0;
    virtual void setCancelEnabled(bool enabled) = 0;
    virtual void setInButtonVisible(bool visible) = 0;

    // Shows the dialog over the main window and waits; true when it was left
    // with Cancel or closed from its frame.
    virtual bool showModal() = 0;

    // Read after it closed.
    virtual QString statusCode() const = 0;
    virtual QString note() const = 0;
    virtual double outTime() const = 0;  // day number, 0 when the box is empty
    virtual double dueBack() const = 0;
    virtual bool addToOutlook() const = 0;
};
