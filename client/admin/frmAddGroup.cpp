#include "frmAddGroup.h"

#include "foundation/MCIFunctions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *lineEdit(const char *name, int maxLength)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

const QStringList &frmAddGroup::kindCodes()
{
    static const QStringList codes = {QStringLiteral("GRP"), QStringLiteral("RSG"), QStringLiteral("BRH"),
                                      QStringLiteral("WEB")};
    return codes;
}

frmAddGroup::frmAddGroup(const QList<IconSelector::Picture> &pictures, QWidget *parent)
    : QDialog(parent), txtName(lineEdit("txtName", CTreeNode::NameLength)),
      txtToolTip(lineEdit("txtToolTip", CTreeNode::ToolTipLength)), txtURL(lineEdit("txtURL", CTreeNode::URLLength)),
      cboType(new QComboBox), IconSelector1(new IconSelector), lblGroupTitle(new QLabel)
{
    setObjectName(QStringLiteral("frmAddGroup"));
    cboType->setObjectName(QStringLiteral("cboType"));
    IconSelector1->setObjectName(QStringLiteral("IconSelector1"));
    IconSelector1->InitializeIcons(pictures);

    auto *fields = new QFormLayout;
    fields->addRow(lblGroupTitle, txtName);
    fields->addRow(QStringLiteral("Type"), cboType);
    fields->addRow(QStringLiteral("Tool Tip"), txtToolTip);
    fields->addRow(QStringLiteral("URL"), txtURL);
    fields->addRow(QStringLiteral("Icon"), IconSelector1);

    auto *buttons = new QDialogButtonBox;
    OK = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    cmdCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    OK->setObjectName(QStringLiteral("OK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &frmAddGroup::OK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddGroup::cmdCancel_Click);
    connect(cboType, &QComboBox::currentIndexChanged, this, &frmAddGroup::cboType_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setTabOrder(txtName, cboType);
    setTabOrder(cboType, txtToolTip);
    setTabOrder(txtToolTip, txtURL);
    setMinimumWidth(420);
    populateStrings();
}

void frmAddGroup::populateStrings()
{
    setWindowTitle(GetResString(132));
    lblGroupTitle->setText(GetResString(177));
    OK->setText(GetResString(175));
    cmdCancel->setText(GetResString(176));
    for (qint32 id : {335, 336, 338, 339})
        cboType->addItem(GetResString(id));
}

void frmAddGroup::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        txtName->setFocus();
        txtName->selectAll();
    }
}

// Only branches and web links open an address; the text a group had stays.
void frmAddGroup::cboType_Click(int index)
{
    const bool locked = index < 2;
    txtURL->setReadOnly(locked);
    QPalette colours = txtURL->palette();
    colours.setColor(QPalette::Base, locked ? palette().color(QPalette::Button) : QColor(Qt::white));
    txtURL->setPalette(colours);
}

void frmAddGroup::newNode(qint32 parentID)
{
    oNode = CTreeNode();
    oNode.ParentID = parentID;
    txtName->setText(QStringLiteral("<new>"));
    txtToolTip->clear();
    txtURL->clear();
    IconSelector1->SelectIconByKey(QStringLiteral("INN"));
    cboType->setCurrentIndex(0);
    cboType_Click(0);
}

void frmAddGroup::populateForm(qint32 nodeID)
{
    oNode = CTreeNode();
    oNode.Read(nodeID);
    txtName->setText(oNode.Name);
    txtToolTip->setText(oNode.ToolTip);
    txtURL->setText(oNode.URL);
    if (!oNode.Icon.isEmpty())
        IconSelector1->SelectIconByKey(oNode.Icon);
    cboType->setCurrentIndex(std::max(0, int(kindCodes().indexOf(oNode.NodeType))));
    cboType_Click(cboType->currentIndex());
}

void frmAddGroup::OK_Click()
{
    CTreeNode edited = oNode;
    edited.Icon = IconSelector1->getSelectedIconKey();
    edited.URL = txtURL->text().trimmed();
    edited.ToolTip = txtToolTip->text().trimmed();
    edited.Name = txtName->text().trimmed();
    edited.NodeType = kindCodes().value(cboType->currentIndex());
    // A refusal or failure has been shown; the user may correct it or cancel.
    if (!edited.save())
        return;
    oNode = edited;
    Cancel = false;
    hide();
}

void frmAddGroup::cmdCancel_Click()
{
    Cancel = true;
    hide();
}
