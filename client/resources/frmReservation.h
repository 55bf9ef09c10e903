#pragma once

#include "CReservation.h"
#include "CResource.h"
#include "ReservationTimes.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class ucDateTime;

// Books a resource or changes a booking: for whom, a note, start and end.
// Prepare it with newReservation or populateForm and show it modally; it
// hides itself once the booking is stored, or on Cancel.
class frmReservation : public QDialog
{
    Q_OBJECT
public:
    explicit frmReservation(QWidget *parent = nullptr);

    bool Cancel = true;
    CReservation oRsv;
    CResource oRes;

    void newReservation(qint32 resourceId, qint32 userId, const QString &userName);
    void populateForm(qint32 reservationId);

    void OK_Click();
    void cmdCancel_Click();

    QLineEdit *txtReservedBy = nullptr, *txtBookedTo = nullptr, *txtNote = nullptr;
    ucDateTime *dtFrom = nullptr, *dtUntil = nullptr;
    QPushButton *OK = nullptr, *cmdCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    // Escape and the title bar's close are the Cancel button.
    void reject() override { cmdCancel_Click(); }

private:
    void showTimes(const ReservationTimes &times);
    ReservationTimes shownTimes() const;
    void dtFrom_DateChange(double newDate);
    void dtFrom_TimeChange(double newTime);
    void showEnd(double until);
    bool timesReadable();
    void tellGone(CReservation::Outcome outcome);

    bool m_fLoading = false;
};
