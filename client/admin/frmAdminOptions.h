#pragma once

#include "AdminOptions.h"
#include "UserRights.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

// The administrator's options: the system-wide switches, the file locations,
// the multicast ports and every active user's rights. Rights are stored at
// once by Apply; the rest is read back by the caller after OK.
class frmAdminOptions : public QDialog
{
    Q_OBJECT
public:
    // Reads the active users (raises its failures).
    explicit frmAdminOptions(QWidget *parent = nullptr);

    // Cleared by OK; set by Cancel and the window's close, so a dialog closed any other way counts as cancelled.
    bool Cancelled = true;

    void populateStrings();
    void fill(const AdminOptions &options);
    AdminOptions values() const;
    // Whether the text is a port from 1024 to 65535; if not, says so under
    // the label's name.
    static bool checkPort(const QString &label, const QString &value);

    QTabWidget *SSTab1;
    QLabel *lblHeading[3];
    QListWidget *List1;
    QCheckBox *chkAdmin, *chkChangeStatus, *chkFastUpdates, *chkTimesheets;
    QCheckBox *chkMarkOut, *chkHistory, *chkEnableChat, *chkEnableOutlook, *chkSecureOutlook;
    QLineEdit *txtSendPort, *txtListenPort, *txtHelpURL, *txtIconFolder;
    QLabel *lblURL, *lblIconFolder;
    QPushButton *cmdApply, *cmdResetPorts, *cmdOK, *cmdCancel;

protected:
    void reject() override;

private:
    QWidget *applicationPage();
    QWidget *locationsPage();
    QWidget *securityPage();
    void List1_Click(int row);
    int selectedRow() const;
    void cmdApply_Click();
    void cmdOK_Click();
    bool validatePorts();

    QList<UserRights> m_vUsers;
};
