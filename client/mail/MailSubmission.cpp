#include "MailSubmission.h"

#include "AddressResolver.h"
#include "MailMessage.h"
#include "MailSettings.h"
#include "SendmailPipe.h"

#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/IShell.h"
#include "foundation/MErrorHandler.h"
#include "platform/Clock.h"

#include <QUrl>

namespace {
const QString kTitle = QStringLiteral("E-mail");

void tell(const QString &text)
{
    WriteDebugLog(QStringLiteral("Mail not sent: ") + text);
    if (g_prompt)
        g_prompt->message(text, IPrompt::Ok, IPrompt::Exclamation, kTitle);
}

// Names are resolved first: what a contact's card holds is checked, not only
// what was asked for. Empty when the name is not known.
std::optional<QString> checkedAddress(const QString &name, const QList<VCardContact> &contacts)
{
    const QString address =
        MailMessage::hasControl(name) ? name : AddressResolver::resolveAddress(name, contacts);
    if (address.isEmpty() || MailMessage::isAddress(address))
        return address;
    tell(QStringLiteral("The e-mail address of \"%1\" (\"%2\") is not a single plain address; nothing was sent.")
             .arg(name.simplified(), address.simplified()));
    return std::nullopt;
}

// The user's mail program resolves what this machine could not. `recipients`:
// the addresses found, names where none was. `why`: what kept the message
// from leaving here, told when no mail program opens it.
void openInMailProgram(const QStringList &recipients, const QString &subject, const QString &body,
                       const MailSubmission::Done &done, const QString &why)
{
    // Nobody is left to finish it once the close-down has begun.
    if (!m_fClosingDown && g_shell && g_shell->openUrl(MailMessage::mailto(recipients, {}, subject, body))) {
        done(true);
        return;
    }
    tell(QStringLiteral("The message could not be sent: %1 and no mail program could open it. Check the mail "
                        "settings.")
             .arg(why));
    done(false);
}

QString commandFailed(SendmailPipe::Result result, const QString &said)
{
    const QString what = result == SendmailPipe::NotStarted ? QStringLiteral("could not be started")
        : result == SendmailPipe::TimedOut ? QStringLiteral("did not answer in time")
                                             : QStringLiteral("did not take it");
    return QStringLiteral("the mail command \"%1\" %2%3")
        .arg(MailSettings::read().sendmailCommand, what,
             said.isEmpty() ? QString() : QStringLiteral(" (it said: \"%1\")").arg(said));
}

// The command never runs then: the message names who has no address.
QString noAddressFor(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << u'"' + name.simplified() + u'"';
    return QStringLiteral("no e-mail address was found for %1").arg(quoted.join(QStringLiteral(", ")));
}

// Sends with every name resolved.
void submit(const QStringList &recipients, const QString &sender, const QString &subject, const QString &body,
            const QList<VCardContact> &contacts, const MailSubmission::Done &done)
{
    // What the mail program gets: the address found, else the name to resolve.
    QStringList handed, addresses, unknown;
    for (const QString &r : recipients) {
        if (r.isEmpty())
            continue;
        const std::optional<QString> address = checkedAddress(r, contacts);
        if (!address) {
            done(false);
            return;
        }
        handed << (address->isEmpty() ? r : *address);
        addresses << *address;
        if (address->isEmpty())
            unknown << r;
    }
    const std::optional<QString> from = sender.trimmed().isEmpty() ? QString() : checkedAddress(sender, contacts);
    if (!from) {
        done(false);
        return;
    }
    if (addresses.isEmpty() || !unknown.isEmpty()) {
        openInMailProgram(handed, subject, body, done,
                          unknown.isEmpty() ? QStringLiteral("it names no recipient") : noAddressFor(unknown));
        return;
    }
    const QByteArray message = MailMessage::compose(*from, addresses, subject, body, Clock::now());
    SendmailPipe::start(MailSettings::read().sendmailCommand, message,
                        [handed, subject, body, done](SendmailPipe::Result result, const QString &said) {
                            if (result == SendmailPipe::Sent)
                                done(true);
                            else
                                openInMailProgram(handed, subject, body, done, commandFailed(result, said));
                        });
}
} // namespace

void MailSubmission::send(const QStringList &recipients, const QString &sender, const QString &subject,
                          const QString &body, Done done)
{
    if (MailMessage::hasControl(subject)) {
        tell(QStringLiteral("The subject \"%1\" holds a line break or another control character; nothing was sent.")
                 .arg(subject.simplified()));
        done(false);
        return;
    }
    // The contacts are read, off the window's thread, only for a name the
    // user table does not know.
    QStringList names{sender};
    for (const QString &r : recipients)
        if (!MailMessage::hasControl(r))
            names << r;
    auto resolved = [=](const QList<VCardContact> &contacts) {
        submit(recipients, sender, subject, body, contacts, done);
    };
    AddressResolver::forNames(names, resolved);
}
