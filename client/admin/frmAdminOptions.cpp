#include "frmAdminOptions.h"

#include "CClientAdmin.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "messaging/MCastPorts.h"
#include "platform/AppError.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *note(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLabel *heading()
{
    auto *label = new QLabel;
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLineEdit *portBox(const char *name)
{
    auto *box = named(new QLineEdit, name);
    box->setMaxLength(16);
    box->setMaximumWidth(90);
    return box;
}

} // namespace

frmAdminOptions::frmAdminOptions(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAdminOptions"));
    for (QLabel *&label : lblHeading)
        label = heading();
    SSTab1 = named(new QTabWidget, "SSTab1");
    SSTab1->addTab(applicationPage(), QString());
    SSTab1->addTab(locationsPage(), QString());
    SSTab1->addTab(securityPage(), QString());

    auto *buttons = new QDialogButtonBox;
    cmdOK = named(buttons->addButton(QString(), QDialogButtonBox::AcceptRole), "cmdOK");
    cmdCancel = named(buttons->addButton(QString(), QDialogButtonBox::RejectRole), "cmdCancel");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAdminOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAdminOptions::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addWidget(buttons);
    setMinimumWidth(560);

    CClientAdmin().ReadAllUsers(m_vUsers);
    for (const UserRights &user : std::as_const(m_vUsers))
        List1->addItem(user.RealName);
    populateStrings();
}

QWidget *frmAdminOptions::applicationPage()
{
    chkMarkOut = named(new QCheckBox, "chkMarkOut");
    chkHistory = named(new QCheckBox, "chkHistory");
    chkEnableChat = named(new QCheckBox(QStringLiteral("Enable Chat Room feature")), "chkEnableChat");
    chkEnableOutlook = named(new QCheckBox(QStringLiteral("Allow Calendar Integration to be Enabled")), "chkEnableOutlook");
    chkSecureOutlook = named(new QCheckBox(QStringLiteral("Use Secured Calendar Rules")), "chkSecureOutlook");

    auto *calendar = new QGroupBox(QStringLiteral("Calendar Integration"));
    auto *calendarLayout = new QVBoxLayout(calendar);
    calendarLayout->addWidget(chkEnableOutlook);
    calendarLayout->addWidget(chkSecureOutlook);
    calendarLayout->addWidget(note(QStringLiteral(
        "To allow calendar integration for all users the first box must be checked. Users can choose to turn "
        "this off in their options but cannot override this value if it is unchecked. Secured calendar rules "
        "mean Qel will not use the address book or read e-mail addresses; it will still read appointments.")));

    txtSendPort = portBox("txtSendPort");
    txtListenPort = portBox("txtListenPort");
    cmdResetPorts = named(new QPushButton(QStringLiteral("Reset")), "cmdResetPorts");
    cmdResetPorts->setAutoDefault(false);
    connect(cmdResetPorts, &QPushButton::clicked, this, [this] {
        txtSendPort->setText(QString::number(MCastPorts::DefaultSend));
        txtListenPort->setText(QString::number(MCastPorts::DefaultListen));
    });
    auto *ports = new QGroupBox(QStringLiteral("Multicast Port Bindings"));
    auto *portLayout = new QGridLayout(ports);
    portLayout->addWidget(new QLabel(QStringLiteral("Send Port")), 0, 0);
    portLayout->addWidget(txtSendPort, 0, 1);
    portLayout->addWidget(new QLabel(QStringLiteral("Listener Port")), 0, 2);
    portLayout->addWidget(txtListenPort, 0, 3);
    portLayout->addWidget(cmdResetPorts, 0, 4);
    portLayout->setColumnStretch(5, 1);
    portLayout->addWidget(note(QStringLiteral(
        "Do not change these port settings unless there has been a conflicting port problem. Any changes made "
        "here take effect when Qel restarts: every running copy of Qel must be restarted to pick them up.")),
        1, 0, 1, 6);

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(lblHeading[0]);
    for (QWidget *widget : std::initializer_list<QWidget *>{chkMarkOut, chkHistory, chkEnableChat, calendar, ports})
        layout->addWidget(widget);
    layout->addStretch();
    return page;
}

QWidget *frmAdminOptions::locationsPage()
{
    txtHelpURL = named(new QLineEdit, "txtHelpURL");
    txtIconFolder = named(new QLineEdit, "txtIconFolder");
    for (QLineEdit *box : {txtHelpURL, txtIconFolder})
        box->setMaxLength(254);
    lblURL = new QLabel;
    lblIconFolder = new QLabel;
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *fields = new QFormLayout;
    fields->addRow(lblURL, txtHelpURL);
    fields->addRow(lblIconFolder, txtIconFolder);
    layout->addWidget(lblHeading[1]);
    layout->addLayout(fields);
    layout->addStretch();
    return page;
}

QWidget *frmAdminOptions::securityPage()
{
    List1 = named(new QListWidget, "List1");
    chkAdmin = named(new QCheckBox, "chkAdmin");
    chkChangeStatus = named(new QCheckBox, "chkChangeStatus");
    chkFastUpdates = named(new QCheckBox, "chkFastUpdates");
    chkTimesheets = named(new QCheckBox, "chkTimesheets");
    cmdApply = named(new QPushButton, "cmdApply");
    cmdApply->setAutoDefault(false);
    auto *rights = new QVBoxLayout;
    for (QCheckBox *box : {chkAdmin, chkChangeStatus, chkFastUpdates, chkTimesheets}) {
        rights->addWidget(box);
        box->setEnabled(false);
        connect(box, &QCheckBox::clicked, this, [this] { cmdApply->setEnabled(true); });
    }
    rights->addStretch();
    rights->addWidget(cmdApply, 0, Qt::AlignRight);
    cmdApply->setEnabled(false);
    // A user is chosen by selecting him: the list taking the focus makes its
    // first row current without selecting it, and must not enable the boxes.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(selectedRow()); });
    connect(cmdApply, &QPushButton::clicked, this, &frmAdminOptions::cmdApply_Click);

    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->addWidget(lblHeading[2], 0, 0, 1, 2);
    grid->addWidget(List1, 1, 0);
    grid->addLayout(rights, 1, 1);
    return page;
}

void frmAdminOptions::populateStrings()
{
    setWindowTitle(GetResString(135).remove(u'&'));
    for (int i = 0; i < 3; ++i) {
        const QString caption = GetResString(QList<qint32>{182, 348, 186}.at(i));
        SSTab1->setTabText(i, caption);
        lblHeading[i]->setText(caption);
    }
    chkAdmin->setText(GetResString(187));
    chkChangeStatus->setText(GetResString(189));
    chkFastUpdates->setText(GetResString(188));
    chkTimesheets->setText(GetResString(190));
    cmdApply->setText(GetResString(191));
    // The long options go on two lines rather than widening the window.
    chkMarkOut->setText(GetResString(193).replace(QStringLiteral(" ("), QStringLiteral("\n(")));
    chkHistory->setText(GetResString(194).replace(QStringLiteral(" ("), QStringLiteral("\n(")));
    lblURL->setText(GetResString(346));
    lblIconFolder->setText(GetResString(347));
    cmdOK->setText(GetResString(175));
    cmdCancel->setText(GetResString(176));
}

void frmAdminOptions::fill(const AdminOptions &options)
{
    chkMarkOut->setChecked(options.markOutOnClose);
    chkHistory->setChecked(options.enableTimeSheets);
    txtHelpURL->setText(options.helpUrl);
    txtIconFolder->setText(options.iconFolder);
    txtSendPort->setText(options.sendPort);
    txtListenPort->setText(options.listenPort);
    chkEnableOutlook->setChecked(options.enableOutlook);
    chkSecureOutlook->setChecked(options.secureOutlook);
    chkEnableChat->setChecked(options.enableChat);
}

AdminOptions frmAdminOptions::values() const
{
    AdminOptions options;
    options.markOutOnClose = chkMarkOut->isChecked();
    options.enableTimeSheets = chkHistory->isChecked();
    options.helpUrl = txtHelpURL->text();
    options.iconFolder = txtIconFolder->text();
    options.sendPort = txtSendPort->text();
    options.listenPort = txtListenPort->text();
    options.enableOutlook = chkEnableOutlook->isChecked();
    options.secureOutlook = chkSecureOutlook->isChecked();
    options.enableChat = chkEnableChat->isChecked();
    return options;
}

// Unapplied ticks of the user shown before are dropped.
void frmAdminOptions::List1_Click(int row)
{
    const bool chosen = row >= 0 && row < m_vUsers.size();
    const UserRights user = chosen ? m_vUsers.at(row) : UserRights();
    chkAdmin->setChecked(user.Admin);
    chkChangeStatus->setChecked(user.ChangeStatus);
    chkFastUpdates->setChecked(user.FastUpdates);
    chkTimesheets->setChecked(user.Timesheet);
    for (QCheckBox *box : {chkAdmin, chkChangeStatus, chkFastUpdates})
        box->setEnabled(chosen);
    cmdApply->setEnabled(false);
}

int frmAdminOptions::selectedRow() const
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    return selected.isEmpty() ? -1 : List1->row(selected.first());
}

void frmAdminOptions::cmdApply_Click()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_vUsers.size())
        return;
    UserRights &user = m_vUsers[row];
    try {
        CClientAdmin().UpdateUserSecurity(user.UserID, chkAdmin->isChecked(), chkChangeStatus->isChecked(),
                                          chkFastUpdates->isChecked(), chkTimesheets->isChecked());
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmAdminOptions.cmdApply_Click\r\n") + e.source());
        return;
    }
    user.Admin = chkAdmin->isChecked();
    user.ChangeStatus = chkChangeStatus->isChecked();
    user.FastUpdates = chkFastUpdates->isChecked();
    user.Timesheet = chkTimesheets->isChecked();
}

bool frmAdminOptions::checkPort(const QString &label, const QString &value)
{
    if (MCastPorts::portOf(value))
        return true;
    g_prompt->message(label + QStringLiteral(" value must be a whole number from 1024 to 65535."), IPrompt::Ok,
                      IPrompt::Exclamation, label + QStringLiteral(" Error"));
    return false;
}

// Both are checked, so the user hears of every wrong one at once.
bool frmAdminOptions::validatePorts()
{
    const bool sendValid = checkPort(QStringLiteral("Send Port"), txtSendPort->text());
    const bool listenValid = checkPort(QStringLiteral("Listener Port"), txtListenPort->text());
    if (!sendValid || !listenValid)
        return false;
    if (MCastPorts::portOf(txtSendPort->text()) == MCastPorts::portOf(txtListenPort->text())) {
        g_prompt->message(QStringLiteral("Send Port and Listener Port must be different."), IPrompt::Ok,
                          IPrompt::Exclamation, QStringLiteral("Port Error"));
        return false;
    }
    return true;
}

void frmAdminOptions::cmdOK_Click()
{
    if (!validatePorts())
        return;
    Cancelled = false;
    hide();
}

void frmAdminOptions::reject()
{
    Cancelled = true;
    hide();
}
