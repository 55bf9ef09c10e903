#pragma once

#include "IMCastReceiver.h"

// The receiver until the status engine and the message windows are connected:
// it knows who is signed in, so this copy answers resend requests for its own
// updates, and it shows nothing.
class MCastBasicReceiver : public IMCastReceiver
{
public:
    qint32 signedInUserId() const override;
    QString signedInUserName() const override;
    qint64 polledMark() const override { return 0; }
    void updateView(qint32, const QString &, const QString &, double, double) override {}
    void showCheckInDialog(qint32, const QString &, double) override {}
    void showNotification(const QString &, const QString &, const QString &, const QString &) override {}
    IChatWindow &chatWindow() override { return m_chat; }

private:
    NoChatWindow m_chat;
};
