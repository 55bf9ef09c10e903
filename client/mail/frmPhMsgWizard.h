#pragma once

#include "IPhoneMessageForm.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The form a phone message for a colleague is taken on.
class frmPhMsgWizard : public QDialog, public IPhoneMessageForm
{
    Q_OBJECT
public:
    explicit frmPhMsgWizard(QWidget *parent = nullptr);

    void populateStrings();
    void SetContactsCBO(const QStringList &callers) override;
    std::optional<PhoneMessageEntry> ask(const QString &caption, const QString &time, const Sender &send) override;

    QComboBox *cboName = nullptr;
    QLineEdit *txtTime = nullptr;
    QComboBox *cboPriority = nullptr;
    QComboBox *cboAction = nullptr;
    QPlainTextEdit *txtComment = nullptr;
    QLabel *lblCallDetail[5] = {};
    QGroupBox *fraCallDetails = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    void reject() override;

private:
    PhoneMessageEntry typed() const;
    void setSending(bool sending);
    void sendFinished(bool sent);

    bool m_cancelled = true;
    bool m_sending = false;
    Sender m_send;
};
