#include "frmFileDialog.h"

#include "TitleRoom.h"
#include "cCommonDialog.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "OutsideText.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

template <typename Widget, typename... Args>
Widget *named(const char *name, QWidget *parent, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *wrapped(const char *name, QWidget *parent)
{
    auto *label = named<QLabel>(name, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmFileDialog::frmFileDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFileDialog"));
    Frame1 = named<QGroupBox>("Frame1", this);
    tabControl = named<QTabWidget>("tabControl", Frame1);

    auto *fileTab = new QWidget(tabControl);
    lblDefaultDB = wrapped("lblDefaultDB", fileTab);
    txtAccess = named<QLineEdit>("txtAccess", fileTab);
    txtAccess->setText(DefaultEmbeddedDatabasePath());
    cmdBrowse = named<QPushButton>("cmdBrowse", fileTab);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(txtAccess, 1);
    pathRow->addWidget(cmdBrowse);
    auto *fileLayout = new QVBoxLayout(fileTab);
    fileLayout->addWidget(lblDefaultDB);
    fileLayout->addLayout(pathRow);
    fileLayout->addStretch();

    auto *serverTab = new QWidget(tabControl);
    lblSQLDB = wrapped("lblSQLDB", serverTab);
    lblServerName = named<QLabel>("lblServerName", serverTab);
    txtSQL = named<QLineEdit>("txtSQL", serverTab);
    txtSQL->setPlaceholderText(QStringLiteral("host or host:port"));
    cmdAdvanced = named<QPushButton>("cmdAdvanced", serverTab);
    txtConn = named<QLineEdit>("txtConn", serverTab);
    txtConn->setPlaceholderText(QStringLiteral("host=... port=... dbname=... user=... password=..."));
    lblServerDefaults = wrapped("lblServerDefaults", serverTab);
    auto *serverRow = new QHBoxLayout;
    serverRow->addWidget(lblServerName);
    serverRow->addWidget(txtSQL, 1);
    serverRow->addWidget(cmdAdvanced);
    auto *serverLayout = new QVBoxLayout(serverTab);
    serverLayout->addWidget(lblSQLDB);
    serverLayout->addLayout(serverRow);
    serverLayout->addWidget(lblServerDefaults);
    serverLayout->addWidget(txtConn);
    serverLayout->addStretch();

    tabControl->addTab(fileTab, QString());
    tabControl->addTab(serverTab, QString());
    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(tabControl);

    lblError = wrapped("lblError", this);
    lblError->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblError->hide();
    chkNetwork = named<QCheckBox>("chkNetwork", this);
    chkNetwork->setToolTip(QStringLiteral("Set this check box if you cannot presently conect to the network eg. "
                                          "Your dockable laptop is not connected to the network at this time."));
    OKButton = named<QPushButton>("OKButton", this);
    OKButton->setDefault(true);
    cmdCancel = named<QPushButton>("cmdCancel", this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkNetwork, 1);
    buttons->addWidget(OKButton);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addWidget(lblError);
    layout->addLayout(buttons);

    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdAdvanced, &QPushButton::clicked, this, [this] { cmdAdvanced_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    txtConn->hide();
    populateStrings();
    TitleRoom::keep(this);
    resize(std::max(560, minimumSizeHint().width()), 0);
    fitHeight();
}

bool frmFileDialog::ask(DatabaseChoice &choice)
{
    frmFileDialog form;
    form.showChoice(choice);
    if (form.exec() != QDialog::Accepted || form.chkNetwork->isChecked())
        return false;
    choice = form.choice();
    return true;
}

void frmFileDialog::populateStrings()
{
    setWindowTitle(GetResString(203));
    cmdBrowse->setText(GetResString(205) + QStringLiteral("..."));
    cmdAdvanced->setText(GetResString(206) + QStringLiteral(" >>"));
    OKButton->setText(GetResString(175));
    cmdCancel->setText(GetResString(176));
    Frame1->setTitle(GetResString(200));
    lblDefaultDB->setText(GetResString(199));
    lblServerName->setText(GetResString(207));
    lblSQLDB->setText(GetResString(208));
    lblServerDefaults->setText(GetResString(209).arg(ServerDatabaseName(), ServerRoleName()));
    tabControl->setTabText(0, GetResString(201));
    tabControl->setTabText(1, GetResString(202));
    chkNetwork->setText(GetResString(204));
}

QString frmFileDialog::getDBType() const
{
    return tabControl->currentIndex() == 1 ? QStringLiteral("SQLServer") : QStringLiteral("MSAccess");
}

void frmFileDialog::showChoice(const DatabaseChoice &choice)
{
    const bool server = choice.type == QLatin1String("SQLServer");
    tabControl->setCurrentIndex(server ? 1 : 0);
    if (server) {
        txtSQL->setText(choice.location);
        txtConn->setText(choice.connection);
    } else if (!choice.location.isEmpty()) {
        txtAccess->setText(choice.location);
    }
}

DatabaseChoice frmFileDialog::choice() const
{
    const bool server = getDBType() == QLatin1String("SQLServer");
    return {getDBType(), server ? txtSQL->text().trimmed() : txtAccess->text().trimmed(),
            server ? txtConn->text().trimmed() : QString()};
}

void frmFileDialog::OKButton_Click()
{
    DBLocation = choice().location;
    if (chkNetwork->isChecked()) {
        accept();
        return;
    }
    if (DBLocation.isEmpty()) {
        g_prompt->message(QStringLiteral("Select an option for the Tessaly Database. See your System Administrator "
                                         "if you have trouble."),
                          IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Tessaly"));
        return;
    }
    // The default folder is ours to make; any other must exist already.
    if (getDBType() == QLatin1String("MSAccess") && DBLocation == DefaultEmbeddedDatabasePath())
        QDir().mkpath(QFileInfo(DBLocation).absolutePath());
    const QString reason = TestDatabaseChoice(choice());
    OutsideText::show(lblError, reason);
    lblError->setVisible(!reason.isEmpty());
    if (reason.isEmpty())
        accept();
}

void frmFileDialog::cmdBrowse_Click()
{
    cCommonDialog dialog;
    dialog.DefaultExt = QStringLiteral("db");
    dialog.Filter = QStringLiteral("Tessaly Database|*.db");
    dialog.Filename = txtAccess->text();
    dialog.DialogTitle = QStringLiteral("Set Location of Tessaly Database (StaffData.db)");
    dialog.flags = 2048 + 4; // the folder must exist, the file need not; no read-only box
    dialog.hwnd = this;
    dialog.ShowOpen();
    if (!dialog.Filename.isEmpty()) {
        DBLocation = dialog.Filename;
        txtAccess->setText(DBLocation);
    }
}

void frmFileDialog::cmdAdvanced_Click()
{
    g_prompt->message(QStringLiteral("Use this advanced field to override the default database connection command."),
                      IPrompt::Ok, IPrompt::Information, ApplicationTitle());
    txtConn->show();
}

bool frmFileDialog::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    // Wrapped texts need more height than the layout's minimum tells: without
    // it a reason shown below, or the connection box on the server tab,
    // squeezes the explanations. A change inside the tabs reaches the window
    // by a chain of posted requests, the window's own the last of them.
    if (event->type() == QEvent::LayoutRequest)
        fitHeight();
    return handled;
}

void frmFileDialog::fitHeight()
{
    layout()->activate();
    const int needed = layout()->totalHeightForWidth(width());
    if (height() < needed)
        resize(width(), needed);
}
