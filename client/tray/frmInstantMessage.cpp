#include "frmInstantMessage.h"

#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "messaging/MCastProtocol.h"
#include "platform/TextLimit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmInstantMessage::frmInstantMessage(MCastSenderLookup sender)
    : m_sender(std::move(sender)), lblTo(new QLabel), txtMessage(new QPlainTextEdit),
      cmdOK(new QPushButton(QStringLiteral("Send"))), cmdCancel(new QPushButton(QStringLiteral("Cancel")))
{
    setObjectName(QStringLiteral("frmInstantMessage"));
    setWindowTitle(QStringLiteral("Instant Message"));
    lblTo->setObjectName(QStringLiteral("lblTo"));
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTo);
    layout->addWidget(txtMessage, 1);
    layout->addLayout(buttons);
    resize(380, 220);

    connect(txtMessage, &QPlainTextEdit::textChanged, this, &frmInstantMessage::keepWithinLimit);
    connect(cmdOK, &QPushButton::clicked, this, &frmInstantMessage::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmInstantMessage::setRecipientList(const QString &recipients)
{
    m_sRecipients = recipients;
    if (recipients == QLatin1String("*")) {
        lblTo->setText(QStringLiteral("Send to all Qel users"));
        return;
    }
    const qsizetype ids = recipients.split(u'/', Qt::SkipEmptyParts).size();
    lblTo->setText(QStringLiteral("Send to %1 Qel users").arg(ids));
}

void frmInstantMessage::cmdOK_Click()
{
    const QString text = txtMessage->toPlainText().trimmed();
    if (text.isEmpty()) {
        g_prompt->message(QStringLiteral("Please enter your message."), IPrompt::Ok, IPrompt::Exclamation,
                          QStringLiteral("Instant Message Sent"));
        return;
    }
    if (MCastProtocol *sender = m_sender())
        sender->sendInstantMessage(g_oCurrentUser.RealName, m_sRecipients, text);
    accept();
    g_prompt->message(QStringLiteral("Your instant message has been sent."), IPrompt::Ok, IPrompt::Information,
                      QStringLiteral("Instant Message Sent"));
}

void frmInstantMessage::keepWithinLimit()
{
    // The box holds no more than one datagram carries, so nothing is cut
    // after the user pressed Send.
    const QString text = txtMessage->toPlainText();
    if (text.size() <= MCastProtocol::MaxTextLength)
        return;
    QTextCursor cursor = txtMessage->textCursor();
    const int position = cursor.position();
    const QString kept = TextLimit::left(text, MCastProtocol::MaxTextLength);
    txtMessage->setPlainText(kept);
    cursor = txtMessage->textCursor();
    cursor.setPosition(std::min(position, int(kept.size())));
    txtMessage->setTextCursor(cursor);
}
