#pragma once

#include "IChatWindow.h"

#include <QString>

// What the datagrams ask of the rest of the program: the status engine, the
// notification window and the chat window.
class IMCastReceiver
{
public:
    virtual ~IMCastReceiver() = default;

    virtual qint32 signedInUserId() const = 0;
    virtual QString signedInUserName() const = 0;
    // The highest change counter the user-list poll has read; 0 or less when
    // it has read none yet.
    virtual qint64 polledMark() const = 0;

    // Redraws one user's row; does nothing while the main window is unloaded.
    virtual void updateView(qint32 userId, const QString &status, const QString &note, double etd, double eta) = 0;
    // Shows or removes the signed-in user's check-in pop-up.
    virtual void showCheckInDialog(qint32 userId, const QString &status, double eta) = 0;
    // A new notification window, shown modeless, slid in and kept on top. A
    // non-empty joinRoomId gives it a Join button for that chat room.
    virtual void showNotification(const QString &title, const QString &from, const QString &message,
                                  const QString &joinRoomId) = 0;
    virtual IChatWindow &chatWindow() = 0;
};
