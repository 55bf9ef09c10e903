#pragma once

#include "IUpdateTimerActions.h"

// The update timer's actions on the running program: the client controller,
// the main window and the resource lists.
class UpdateTimerActions : public IUpdateTimerActions
{
public:
    qint16 canPollDatabase() override;
    bool hasMainWindow() const override;
    QString viewType() const override;
    void refreshUserList(bool checksOnly) override;
    void runListChecks() override;
    bool selectedListItem(CEntity &item) const override;
    void refreshReservations(const CEntity &resource) override;
    bool needToDoMarkout() const override;
    void markOutDone() override;
    void markAllUsersOut() override;
    void checkMyStatus() override;
    bool calendarInProcess() const override;
};
