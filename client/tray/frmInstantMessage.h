#pragma once

#include "frmChat.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Composes one instant message to chosen colleagues or to everybody. One
// dialog serves the whole run and keeps the last text between uses.
class frmInstantMessage : public QDialog
{
    Q_OBJECT
public:
    explicit frmInstantMessage(MCastSenderLookup sender);

    // "*" for every running copy, or ids between slashes ("/12/40/").
    void setRecipientList(const QString &recipients);
    void cmdOK_Click();

private:
    void keepWithinLimit();

    MCastSenderLookup m_sender;
    QString m_sRecipients;
    QLabel *lblTo;
    QPlainTextEdit *txtMessage;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};
