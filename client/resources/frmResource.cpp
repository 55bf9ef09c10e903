#include "frmResource.h"

#include "BusyDialog.h"
#include "OkCancelRow.h"
#include "dialogs/BoxText.h"
#include "dialogs/TabOrder.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNewName = QStringLiteral("<new>");

QLineEdit *lineEdit(int maxLength)
{
    auto *edit = new QLineEdit;
    edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

frmResource::frmResource(QWidget *parent, const PictureOf &picture) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmResource"));
    setWindowTitle(GetResString(333));
    if (picture)
        setWindowIcon(picture(QStringLiteral("Qel")));
    txtName = lineEdit(50);
    // Room for a name of full length ("n" is about as wide as a letter of a
    // mixed-case name on average, a little wider than the font's average).
    txtName->setMinimumWidth(txtName->fontMetrics().horizontalAdvance(QString(50, QLatin1Char('n'))));
    txtCode = lineEdit(24);
    txtLocation = lineEdit(40);
    icboGroup = new QComboBox;
    for (const CTreeNode &node : g_colTreeNodes)
        if (node.NodeType == QLatin1String("RSG"))
            icboGroup->addItem(picture ? picture(node.Icon) : QIcon(), node.Name,
                               QStringLiteral("RSG") + QString::number(node.ID));
    icboGroup->setCurrentIndex(-1);
    connect(icboGroup, &QComboBox::currentIndexChanged, this, [this] { oRes.GroupID = getParentGroupID(); });
    chkAutoCheckIn = new QCheckBox(QStringLiteral("Automatic Check In"));

    auto *fraNode = new QGroupBox;
    auto *fields = new QFormLayout(fraNode);
    fields->addRow(QStringLiteral("Name"), txtName);
    fields->addRow(QStringLiteral("Code"), txtCode);
    fields->addRow(QStringLiteral("Location"), txtLocation);
    fields->addRow(QStringLiteral("Group"), icboGroup);
    fields->addRow(QString(), chkAutoCheckIn);

    QHBoxLayout *buttons = OkCancelRow::make(OK, cmdCancel);
    connect(OK, &QPushButton::clicked, this, &frmResource::OK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmResource::cmdCancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fraNode);
    layout->addLayout(buttons);
    TabOrder::set({txtName, txtCode, txtLocation, icboGroup, OK, cmdCancel, chkAutoCheckIn});
    // Wider, not taller: a taller frame would only hold empty space.
    setMaximumHeight(sizeHint().height());
}

void frmResource::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    BoxText::selectFromStart(txtName);
    txtName->setFocus();
}

void frmResource::selectGroup(qint32 groupId)
{
    icboGroup->setCurrentIndex(icboGroup->findData(QStringLiteral("RSG") + QString::number(groupId)));
}

void frmResource::newResource(qint32 groupId)
{
    oRes = CResource();
    oRes.GroupID = groupId;
    txtName->setText(kNewName);
    txtCode->clear();
    txtLocation->clear();
    const bool fixed = groupId != -1;
    if (fixed)
        selectGroup(groupId);
    icboGroup->setEnabled(!fixed);
    icboGroup->setFocusPolicy(fixed ? Qt::NoFocus : Qt::StrongFocus);
}

void frmResource::populateForm(qint32 resourceId)
{
    oRes = CResource();
    oRes.Read(resourceId);
    BoxText::show(txtName, oRes.Name);
    BoxText::show(txtCode, oRes.code);
    BoxText::show(txtLocation, oRes.Location);
    chkAutoCheckIn->setChecked(oRes.AutoCheckIn);
    selectGroup(oRes.GroupID);
}

qint32 frmResource::getParentGroupID() const
{
    const QString key = icboGroup->currentData().toString();
    return key.isEmpty() ? -1 : KeyToId(key);
}

QStringList frmResource::missingItems() const
{
    QStringList missing;
    const QString name = txtName->text().trimmed();
    if (name.isEmpty() || name == kNewName)
        missing << QStringLiteral("Resource Name");
    if (icboGroup->currentText().trimmed().isEmpty())
        missing << QStringLiteral("Resource Group");
    return missing;
}

void frmResource::OK_Click()
{
    Cancel = false;
    const QStringList missing = missingItems();
    if (!missing.isEmpty()) {
        g_prompt->message(QStringLiteral("Some required data is missing:\r\n") + missing.join(QStringLiteral("\r\n"))
                              + QStringLiteral("\r\n"),
                          IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Warning"));
        return;
    }
    oRes.Name = txtName->text().trimmed();
    oRes.code = txtCode->text().trimmed();
    oRes.Location = txtLocation->text().trimmed();
    oRes.GroupID = getParentGroupID();
    oRes.AutoCheckIn = chkAutoCheckIn->isChecked();
    try {
        const BusyDialog busy(this);
        oRes.save();
    } catch (const AppError &e) {
        // Nothing was stored: the user keeps his input and may try again.
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmResource.OK_Click\r\n") + e.source());
        return;
    }
    hide();
}

void frmResource::cmdCancel_Click()
{
    Cancel = true;
    hide();
}
