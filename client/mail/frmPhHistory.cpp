#include "frmPhHistory.h"

#include "frmJournalEntry.h"

#include "foundation/MCIFunctions.h"
#include "status/IconArt.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

frmPhHistory::frmPhHistory(QWidget *parent) : QDialog(parent)
{
    fraSearchForCaller = new QGroupBox(this);
    auto *grid = new QGridLayout(fraSearchForCaller);
    lblFirstName = new QLabel(fraSearchForCaller);
    txtFirstName = new QLineEdit(fraSearchForCaller);
    lblLastName = new QLabel(fraSearchForCaller);
    txtLastName = new QLineEdit(fraSearchForCaller);
    lblCompany = new QLabel(fraSearchForCaller);
    txtCompany = new QLineEdit(fraSearchForCaller);
    cmdFindContact = new QPushButton(fraSearchForCaller);
    cmdAddContact = new QPushButton(fraSearchForCaller);
    const QList<std::pair<QLabel *, QLineEdit *>> rows = {
        {lblFirstName, txtFirstName}, {lblLastName, txtLastName}, {lblCompany, txtCompany}};
    for (int i = 0; i < rows.size(); ++i) {
        grid->addWidget(rows[i].first, i, 0);
        grid->addWidget(rows[i].second, i, 1);
    }
    grid->addWidget(cmdFindContact, 0, 2);
    grid->addWidget(cmdAddContact, 1, 2);
    lvwContacts = new QTreeWidget(this);
    lvwContacts->setColumnCount(3);
    lvwContacts->setRootIsDecorated(false);
    lvwContacts->setToolTip(QStringLiteral("Double Click User to Create Journal Entry"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fraSearchForCaller);
    layout->addWidget(lvwContacts, 1);
    cmdFindContact->setDefault(true);
    connect(cmdFindContact, &QPushButton::clicked, this, &frmPhHistory::cmdFindContact_Click);
    connect(cmdAddContact, &QPushButton::clicked, this, &frmPhHistory::cmdAddContact_Click);
    connect(lvwContacts, &QTreeWidget::itemDoubleClicked, this, &frmPhHistory::lvwContacts_DblClick);
    populateStrings();
    setWindowIcon(QIcon(IconArt::picture(QStringLiteral("Qel"), 32)));
    resize(520, 400);
}

void frmPhHistory::populateStrings()
{
    setWindowTitle(GetResString(270));
    fraSearchForCaller->setTitle(GetResString(271));
    lblFirstName->setText(GetResString(272));
    lblLastName->setText(GetResString(273));
    lblCompany->setText(GetResString(211));
    cmdAddContact->setText(GetResString(275));
    cmdFindContact->setText(GetResString(274));
    lvwContacts->setHeaderLabels({GetResString(272), GetResString(273), GetResString(211)});
}

void frmPhHistory::cmdFindContact_Click()
{
    lvwContacts->clear();
    // The contacts are read off the window's thread; the list fills when
    // they come, unless the form is gone by then.
    m_link.FindContacts(txtFirstName->text(), txtLastName->text(), txtCompany->text(), this,
                        [this](const QList<VCardContact> &found) {
                            lvwContacts->clear();
                            for (const VCardContact &c : found)
                                lvwContacts->addTopLevelItem(
                                    new QTreeWidgetItem(QStringList{c.firstName, c.lastName, c.company}));
                        });
}

void frmPhHistory::cmdAddContact_Click()
{
    m_link.NewContact(txtFirstName->text(), txtLastName->text(), txtCompany->text());
}

void frmPhHistory::lvwContacts_DblClick(QTreeWidgetItem *item)
{
    if (!item)
        return;
    auto *entry = new frmJournalEntry(item->text(0) + u' ' + item->text(1), item->text(2), this);
    entry->show();
}
