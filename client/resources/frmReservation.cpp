#include "frmReservation.h"

#include "datetime/ucDateTime.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

frmReservation::frmReservation(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReservation"));
    setWindowTitle(GetResString(334));
    txtReservedBy = new QLineEdit;
    txtReservedBy->setMaxLength(50);
    txtReservedBy->setEnabled(false);
    txtBookedTo = new QLineEdit;
    txtBookedTo->setMaxLength(254);
    txtNote = new QLineEdit;
    txtNote->setMaxLength(254);
    dtFrom = new ucDateTime;
    dtUntil = new ucDateTime;
    for (ucDateTime *control : {dtFrom, dtUntil})
        control->setMinimumSize(220, 24);
    connect(dtFrom, &ucDateTime::DateChange, this, &frmReservation::dtFrom_DateChange);
    connect(dtFrom, &ucDateTime::TimeChange, this, &frmReservation::dtFrom_TimeChange);

    auto *fraNode = new QGroupBox;
    auto *fields = new QFormLayout(fraNode);
    fields->addRow(QStringLiteral("Reserved By"), txtReservedBy);
    fields->addRow(QStringLiteral("Booked To"), txtBookedTo);
    fields->addRow(QStringLiteral("Notes"), txtNote);
    fields->addRow(QStringLiteral("Reserved From"), dtFrom);
    fields->addRow(QStringLiteral("Until"), dtUntil);

    auto *buttons = new QDialogButtonBox;
    OK = buttons->addButton(GetResString(175), QDialogButtonBox::AcceptRole);
    cmdCancel = buttons->addButton(GetResString(176), QDialogButtonBox::RejectRole);
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &frmReservation::OK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReservation::cmdCancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fraNode);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void frmReservation::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    txtBookedTo->selectAll();
    txtBookedTo->setFocus();
}

void frmReservation::showTimes(const ReservationTimes &times)
{
    QScopedValueRollback<bool> loading(m_fLoading, true);
    dtFrom->setDateValue(DateUtil::datePart(times.from));
    dtFrom->setTimeValue(DateUtil::timePart(times.from));
    dtUntil->setDateValue(DateUtil::datePart(times.until));
    dtUntil->setTimeValue(DateUtil::timePart(times.until));
}

ReservationTimes frmReservation::shownTimes() const
{
    ReservationTimes times;
    times.from = DateUtil::datePart(dtFrom->DateValue()) + DateUtil::timePart(dtFrom->TimeValue());
    times.until = DateUtil::datePart(dtUntil->DateValue()) + DateUtil::timePart(dtUntil->TimeValue());
    return times;
}

void frmReservation::newReservation(qint32 resourceId, qint32 userId, const QString &userName)
{
    oRes = CResource();
    oRes.Read(resourceId);
    oRsv = CReservation();
    oRsv.iResourceID = oRes.ID;
    oRsv.iUserID = userId;
    txtReservedBy->setText(userName);
    txtBookedTo->setText(userName);
    txtNote->clear();
    showTimes(ReservationTimes::startingAt(Clock::nowDays()));
}

void frmReservation::populateForm(qint32 reservationId)
{
    QScopedValueRollback<bool> loading(m_fLoading, true);
    oRsv = CReservation();
    oRsv.Read(reservationId);
    txtReservedBy->setText(oRsv.sUserName);
    txtBookedTo->setText(oRsv.sBookedOutTo);
    txtNote->setText(oRsv.sNote);
    oRes = CResource();
    oRes.Read(oRsv.iResourceID);
    showTimes({oRsv.dReservedFrom, oRsv.dReservedUntil});
}

void frmReservation::dtFrom_DateChange(double newDate)
{
    if (m_fLoading)
        return;
    ReservationTimes times = shownTimes();
    times.startDateChanged(newDate);
    showTimes(times);
}

void frmReservation::dtFrom_TimeChange(double newTime)
{
    if (m_fLoading)
        return;
    ReservationTimes times = shownTimes();
    times.startTimeChanged(newTime);
    showTimes(times);
}

void frmReservation::OK_Click()
{
    Cancel = false;
    const ReservationTimes times = shownTimes();
    if (!times.endsAfterStart()) {
        g_prompt->message(QStringLiteral("The booking must end after it starts."), IPrompt::Ok, IPrompt::Exclamation,
                          GetResString(334));
        return;
    }
    oRsv.sBookedOutTo = txtBookedTo->text().trimmed();
    oRsv.sNote = txtNote->text().trimmed();
    oRsv.dReservedFrom = times.from;
    oRsv.dReservedUntil = times.until;
    try {
        if (oRsv.save(oRes.AutoCheckIn, *g_prompt) != CReservation::Stored)
            return; // the user wants a different time
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmReservation.save\r\n") + e.source());
        return;
    }
    hide();
}

void frmReservation::cmdCancel_Click()
{
    Cancel = true;
    hide();
}
