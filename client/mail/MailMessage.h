#pragma once

#include <QDateTime>
#include <QStringList>

// Mail as it leaves this program: a message for the system's mail submission
// program, or a mailto: link for the user's mail program to finish.
namespace MailMessage {

// A header value that would start a header of its own.
bool hasLineBreak(const QString &text);

// A UTF-8 message with encoded subject, date and message id; line feeds only,
// as a submission program reading its input expects.
QByteArray compose(const QString &from, const QStringList &to, const QString &subject, const QString &body,
                   const QDateTime &now);

// A mailto: link; any of the lists may be empty.
QUrl mailto(const QStringList &to, const QStringList &bcc, const QString &subject, const QString &body);

} // namespace MailMessage
