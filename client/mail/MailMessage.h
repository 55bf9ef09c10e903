#pragma once

#include <QDateTime>
#include <QStringList>

// Mail as it leaves this program: a message for the system's mail submission
// program, or a mailto: link for the user's mail program to finish.
namespace MailMessage {

// Any character below a blank, DEL, or a Unicode line or paragraph break.
bool hasControl(const QString &text);

// One address in the plain local@domain form, nothing around it: no name,
// no list, no blank and no control character.
bool isAddress(const QString &text);

// A UTF-8 message with encoded subject, date and message id; line feeds only,
// as a submission program reading its input expects. Every line stays short:
// the body is quoted-printable, the subject encoded words, the To list folded.
QByteArray compose(const QString &from, const QStringList &to, const QString &subject, const QString &body,
                   const QDateTime &now);

// A mailto: link; any of the lists may be empty.
QUrl mailto(const QStringList &to, const QStringList &bcc, const QString &subject, const QString &body);

} // namespace MailMessage
