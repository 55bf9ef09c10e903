#pragma once

#include "UserRecord.h"
#include "foundation/QuickNoteTable.h"
#include "status/IStatusChangeDialog.h"
#include "status/StatusProposal.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QToolButton;
class ucDateTime;

// The dialog in which a status is chosen for oneself, one colleague or
// several people. It proposes a note and a due-back time from the chosen
// status and the options of the person concerned; it writes nothing.
class frmStatusChange : public QDialog, public IStatusChangeDialog
{
    Q_OBJECT
public:
    explicit frmStatusChange(QWidget *parent = nullptr);

    bool Cancelled = true;
    QString StatusCode;
    bool OwnStatus = false;
    qint32 TargetUserID = 0;
    void populateStrings();

    // IStatusChangeDialog
    void setCaption(const QString &caption) override { setWindowTitle(caption); }
    void setStatusLabel(const QString &text) override;
    void setStatusCode(const QString &code) override { StatusCode = code; }
    void setNote(const QString &note) override;
    void setTargetUserID(qint32 userId) override { TargetUserID = userId; }
    void setOwnStatus(bool own) override { OwnStatus = own; }
    void setAddToOutlook(bool ticked, bool enabled, bool visible) override;
    void setInviteAttendeesVisible(bool visible) override;
    void setCancelEnabled(bool enabled) override;
    void setInButtonVisible(bool visible) override;
    bool showModal() override;
    QString statusCode() const override { return StatusCode; }
    QString note() const override;
    double outTime() const override;
    double dueBack() const override;
    bool addToOutlook() const override;

    // A click on the tool-bar button at index 0 (In) to 8, and on a
    // drop-down item (a meeting state or a custom status).
    void statusButtonClicked(int index);
    void statusMenuClicked(const QString &code);

protected:
    void done(int result) override;

private:
    void buildToolbar();
    void addMenuItem(const QString &buttonKey, const QString &code, const QString &text);
    void proposeDefaults();
    bool proposalOptions(StatusProposal::Options &options, QString &note);
    bool loadColleague();
    void spinStart(int clicks);
    void spinEnd(int clicks);
    void okClicked();

    QToolBar *Toolbar1;
    QHash<QString, QToolButton *> m_buttons;
    QLabel *lblStatus;
    QLabel *lblNote;
    QLineEdit *txtNote;
    QLabel *lblOut;
    QLabel *lblDueBack;
    ucDateTime *StartTime;
    ucDateTime *EndTime;
    QCheckBox *chkAddToOutLook;
    QCheckBox *chkInviteAttendees;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    // The colleague is read at most once a dialog, also when reading failed.
    bool m_colleagueRead = false;
    bool m_colleagueLoaded = false;
    UserRecord m_colleague;
    QuickNoteTable m_colleagueNotes;
};
