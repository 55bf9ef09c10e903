#include "frmPhMsgWizard.h"

#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "status/IconArt.h"
#include "dialogs/OutsideText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmPhMsgWizard::frmPhMsgWizard(QWidget *parent) : QDialog(parent)
{
    fraCallDetails = new QGroupBox(this);
    auto *form = new QFormLayout(fraCallDetails);
    cboName = new QComboBox(fraCallDetails);
    cboName->setEditable(true);
    txtTime = new QLineEdit(fraCallDetails);
    cboPriority = new QComboBox(fraCallDetails);
    cboAction = new QComboBox(fraCallDetails);
    txtComment = new QPlainTextEdit(fraCallDetails);
    QWidget *fields[5] = {txtTime, cboName, cboPriority, cboAction, txtComment};
    for (int i = 0; i < 5; ++i) {
        lblCallDetail[i] = new QLabel(fraCallDetails);
        form->addRow(lblCallDetail[i], fields[i]);
    }
    Image1 = new QLabel(this);
    cmdOK = new QPushButton(this);
    cmdCancel = new QPushButton(this);
    cmdOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addWidget(fraCallDetails, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmPhMsgWizard::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPhMsgWizard::cmdCancel_Click);
    populateStrings();
    resize(460, 360);
}

void frmPhMsgWizard::populateStrings()
{
    setWindowTitle(GetResString(276));
    fraCallDetails->setTitle(GetResString(276));
    cmdOK->setText(GetResString(175));
    cmdCancel->setText(GetResString(176));
    const qint32 labels[5] = {278, 279, 280, 281, 282};
    for (int i = 0; i < 5; ++i)
        lblCallDetail[i]->setText(GetResString(labels[i]));
    cboPriority->clear();
    for (qint32 id = 283; id <= 286; ++id)
        cboPriority->addItem(GetResString(id));
    cboAction->clear();
    for (qint32 id = 287; id <= 291; ++id)
        cboAction->addItem(GetResString(id));
    Image1->setPixmap(IconArt::picture(QStringLiteral("PHR"), 32));
}

void frmPhMsgWizard::SetContactsCBO(const QStringList &callers)
{
    for (const QString &caller : callers)
        if (!caller.isEmpty())
            cboName->addItem(caller);
    cboName->setEditText(QString());
}

std::optional<PhoneMessageEntry> frmPhMsgWizard::ask(const QString &caption, const QString &time, const Sender &send)
{
    setWindowTitle(OutsideText::title(caption));
    txtTime->setText(time);
    cboName->setEditText(QString());
    m_send = send;
    m_cancelled = true;
    exec();
    m_send = nullptr;
    if (m_cancelled)
        return std::nullopt;
    return typed();
}

PhoneMessageEntry frmPhMsgWizard::typed() const
{
    return PhoneMessageEntry{cboName->currentText(), txtTime->text(), cboPriority->currentText(),
                             cboAction->currentText(), txtComment->toPlainText()};
}

void frmPhMsgWizard::cmdOK_Click()
{
    if (m_sending)
        return;
    if (cboName->currentText().isEmpty()) {
        g_prompt->message(GetResString(318), IPrompt::Ok, IPrompt::Exclamation, GetResString(111));
        return;
    }
    if (!m_send) {
        sendFinished(true);
        return;
    }
    setSending(true);
    // The answer may come after the form is gone, when the program ends first.
    QPointer<frmPhMsgWizard> self(this);
    m_send(typed(), [self](bool sent) {
        if (self)
            self->sendFinished(sent);
    });
}

void frmPhMsgWizard::sendFinished(bool sent)
{
    setSending(false);
    if (!sent)
        return; // the user was told; what he typed stays for another try
    m_cancelled = false;
    hide();
    accept();
}

// While the message is on its way the form is neither edited nor closed, so
// what is sent is what the form shows.
void frmPhMsgWizard::setSending(bool sending)
{
    m_sending = sending;
    fraCallDetails->setEnabled(!sending);
    cmdOK->setEnabled(!sending);
    cmdCancel->setEnabled(!sending);
    if (sending)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void frmPhMsgWizard::cmdCancel_Click()
{
    reject();
}

void frmPhMsgWizard::reject()
{
    if (m_sending)
        return;
    m_cancelled = true;
    QDialog::reject();
}
