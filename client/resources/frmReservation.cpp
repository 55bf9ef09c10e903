#include "frmReservation.h"

#include "BusyDialog.h"
#include "OkCancelRow.h"
#include "datetime/ucDateTime.h"
#include "dialogs/BoxText.h"
#include "dialogs/TabOrder.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {
const QString kFromLabel = QStringLiteral("Reserved From");
const QString kUntilLabel = QStringLiteral("Until");
} // namespace

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
    fields->addRow(kFromLabel, dtFrom);
    fields->addRow(kUntilLabel, dtUntil);

    QHBoxLayout *buttons = OkCancelRow::make(OK, cmdCancel);
    connect(OK, &QPushButton::clicked, this, &frmReservation::OK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReservation::cmdCancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fraNode);
    layout->addLayout(buttons);
    TabOrder::set({txtBookedTo, txtNote, txtReservedBy, cmdCancel, OK, dtFrom, dtUntil});
    setMinimumWidth(420);
    // Wider, not taller: a taller frame would only hold empty space.
    setMaximumHeight(sizeHint().height());
}

void frmReservation::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    BoxText::selectFromStart(txtBookedTo);
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
    BoxText::show(txtReservedBy, userName);
    BoxText::show(txtBookedTo, userName);
    txtNote->clear();
    showTimes(ReservationTimes::startingAt(Clock::nowDays()));
}

void frmReservation::populateForm(qint32 reservationId)
{
    QScopedValueRollback<bool> loading(m_fLoading, true);
    oRsv = CReservation();
    oRsv.Read(reservationId);
    BoxText::show(txtReservedBy, oRsv.sUserName);
    BoxText::show(txtBookedTo, oRsv.sBookedOutTo);
    BoxText::show(txtNote, oRsv.sNote);
    oRes = CResource();
    oRes.Read(oRsv.iResourceID);
    showTimes({oRsv.dReservedFrom, oRsv.dReservedUntil});
}

// The start's handlers write only the end: the start's own boxes are where
// the user is typing, and a rewrite there would garble what he types.
void frmReservation::dtFrom_DateChange(double newDate)
{
    if (m_fLoading)
        return;
    ReservationTimes times = shownTimes();
    times.startDateChanged(newDate);
    showEnd(times.until);
}

void frmReservation::dtFrom_TimeChange(double newTime)
{
    if (m_fLoading)
        return;
    ReservationTimes times = shownTimes();
    times.startTimeChanged(newTime);
    showEnd(times.until);
}

void frmReservation::showEnd(double until)
{
    if (DateUtil::datePart(until) != DateUtil::datePart(dtUntil->DateValue()))
        dtUntil->setDateValue(DateUtil::datePart(until));
    if (DateUtil::minutesBetween(DateUtil::timePart(dtUntil->TimeValue()), DateUtil::timePart(until)) != 0)
        dtUntil->setTimeValue(DateUtil::timePart(until));
}

bool frmReservation::timesReadable()
{
    for (const auto &[control, name] : {std::pair{dtFrom, kFromLabel}, std::pair{dtUntil, kUntilLabel}}) {
        const QString problem = control->checkEntry(name, true);
        if (!problem.isEmpty()) {
            g_prompt->message(problem, IPrompt::Ok, IPrompt::Exclamation, GetResString(334));
            return false;
        }
    }
    return true;
}

void frmReservation::OK_Click()
{
    Cancel = false;
    if (!timesReadable())
        return;
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
    CReservation::Outcome outcome = CReservation::CheckFailed;
    try {
        const BusyDialog busy(this);
        outcome = oRsv.save(oRes.AutoCheckIn, *g_prompt);
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmReservation.save\r\n") + e.source());
        return;
    }
    if (outcome == CReservation::ResourceGone || outcome == CReservation::BookingGone) {
        tellGone(outcome);
        return;
    }
    if (outcome == CReservation::Stored)
        hide(); // else the user wants a different time
}

// Another copy deleted what was to be stored: nothing was written, and there
// is nothing left to book or change, so the dialog closes as cancelled.
void frmReservation::tellGone(CReservation::Outcome outcome)
{
    const QString what = outcome == CReservation::ResourceGone ? QStringLiteral("The resource ") + oRes.Name
                                                               : QStringLiteral("This booking");
    g_prompt->message(what + QStringLiteral(" no longer exists: another user has deleted it. Nothing was stored."),
                      IPrompt::Ok, IPrompt::Exclamation, GetResString(334));
    cmdCancel_Click();
}

void frmReservation::cmdCancel_Click()
{
    Cancel = true;
    hide();
}
