#pragma once

#include "CClientOutlook.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The call journal: finds a caller among the contacts, adds a contact and
// starts a timed journal entry for the one double-clicked.
class frmPhHistory : public QDialog
{
    Q_OBJECT
public:
    explicit frmPhHistory(QWidget *parent = nullptr);

    void populateStrings();

    QGroupBox *fraSearchForCaller = nullptr;
    QLabel *lblFirstName = nullptr;
    QLineEdit *txtFirstName = nullptr;
    QLabel *lblLastName = nullptr;
    QLineEdit *txtLastName = nullptr;
    QLabel *lblCompany = nullptr;
    QLineEdit *txtCompany = nullptr;
    QPushButton *cmdFindContact = nullptr;
    QPushButton *cmdAddContact = nullptr;
    QTreeWidget *lvwContacts = nullptr;

    void cmdFindContact_Click();
    void cmdAddContact_Click();
    void lvwContacts_DblClick(QTreeWidgetItem *item);

private:
    CClientOutlook m_link;
};
