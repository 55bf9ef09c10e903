#pragma once

#include "foundation/MADOFunctions.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Where the shared database is: the embedded file (tab 0) or a PostgreSQL
// server (tab 1), with an optional connection string of the user's own. OK
// tries the choice first and stays up with the reason when it does not work.
// The form writes nothing; its caller stores what it accepted.
class frmFileDialog : public QDialog
{
public:
    explicit frmFileDialog(QWidget *parent = nullptr);

    // Shows the form on the given choice until the user gives a working one
    // (true, the choice filled in) or ends the program (false).
    static bool ask(DatabaseChoice &choice);

    void populateStrings();
    // "SQLServer" on the server tab, else "MSAccess".
    QString getDBType() const;
    void showChoice(const DatabaseChoice &choice);
    DatabaseChoice choice() const;

    void OKButton_Click();
    void cmdBrowse_Click();
    void cmdAdvanced_Click();
    // Grows the window to the height its wrapped texts need at its width.
    void fitHeight();

    QString DBLocation; // the location OK accepted

    QGroupBox *Frame1;
    QTabWidget *tabControl;
    QLabel *lblDefaultDB;
    QLineEdit *txtAccess;
    QPushButton *cmdBrowse;
    QLabel *lblSQLDB;
    QLabel *lblServerName;
    QLineEdit *txtSQL;
    QPushButton *cmdAdvanced;
    QLabel *lblServerDefaults; // what a server name alone connects to
    QLineEdit *txtConn;
    QLabel *lblError;
    QCheckBox *chkNetwork;
    QPushButton *OKButton;
    QPushButton *cmdCancel;

protected:
    bool event(QEvent *event) override;
};
