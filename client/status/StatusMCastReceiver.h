#pragma once

#include "messaging/MCastBasicReceiver.h"

// Hands the status updates that arrive from other copies (and this copy's own,
// looped back) to the client controller. Messages and chat stay with the
// basic receiver until their windows exist.
class StatusMCastReceiver : public MCastBasicReceiver
{
public:
    qint64 polledMark() const override;
    void updateView(qint32 userId, const QString &status, const QString &note, double etd, double eta) override;
    void showCheckInDialog(qint32 userId, const QString &status, double eta) override;
};
