#include "CClientEmail.h"

#include "CallerList.h"
#include "MailSubmission.h"

#include "foundation/ConnectionScope.h"
#include "foundation/Globals.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"


std::function<std::unique_ptr<IPhoneMessageForm>()> CClientEmail::phoneMessageForm;

namespace {
constexpr qint32 kDone = 10000;
constexpr qint32 kCancelled = 10003;

QString addressOf(const CUser &user)
{
    return user.Email.trimmed().isEmpty() ? user.RealName : user.Email.trimmed();
}
} // namespace

QString CClientEmail::subjectOf(const PhoneMessageEntry &entry)
{
    return GetResString(111) + u' ' + GetResString(298) + u' ' + entry.caller.trimmed() + QStringLiteral(" - ") +
           entry.time;
}

QString CClientEmail::bodyOf(const PhoneMessageEntry &entry)
{
    const QList<std::pair<qint32, QString>> lines = {
        {279, entry.caller}, {316, entry.time}, {280, entry.priority}, {281, entry.action}, {282, entry.message}};
    QString body;
    for (const auto &[label, value] : lines)
        body += GetResString(label) + u':' + value + QStringLiteral("\r\n");
    return body;
}

QString CClientEmail::userAddress(qint32 userId)
{
    const qint32 row = FindUserIndex(userId);
    return row < 0 ? QString() : addressOf(g_vUserList.at(row));
}

qint32 CClientEmail::ReadEmail()
{
    m_link.ReadEmail();
    return kDone;
}

qint32 CClientEmail::SendEmail(const QList<CEntity> &selection, int mode, bool useNames)
{
    // Restricted or off, the link puts every colleague in plain sight, as the
    // plain mail service did.
    const bool linked = g_fOutlook && !g_fSecureOutlook;
    const int type = linked && mode != 2 ? CClientOutlook::Bcc : CClientOutlook::To;
    QList<CClientOutlook::Recipient> recipients;
    for (const CEntity &entity : selection)
        recipients.append({useNames ? entity.Name.trimmed() : userAddress(entity.ID), type});
    if (linked && mode == 3)
        recipients.append({addressOf(g_oCurrentUser), CClientOutlook::To});
    m_link.NewEmail(recipients);
    return kDone;
}

std::optional<qint32> CClientEmail::BroadCastMessage(qint32 groupId, const QString &groupName, int mode)
{
    if (mode != 1)
        return std::nullopt;
    // No distribution lists on this desktop: the group's members are named.
    QList<CClientOutlook::Recipient> members;
    try {
        DbHandle connection;
        ConnectionScope scope(connection);
        for (RecordSet rs = OpenADORecordSet(scope.handle(),
                                             QStringLiteral("SELECT S.Email, S.RealName FROM STAFF_STATUS S, UserGroup U "
                                                            "WHERE U.GroupID = ? AND U.UserID = S.UserID AND "
                                                            "S.IsActive = 1 ORDER BY S.UserID"),
                                             true, {groupId});
             !rs.eof(); rs.moveNext()) {
            CUser member;
            member.Email = rs.text(QStringLiteral("Email"));
            member.RealName = rs.text(QStringLiteral("RealName"));
            members.append({addressOf(member), CClientOutlook::To});
        }
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("CClientEmail.BroadCastMessage (") + groupName +
                                                     QStringLiteral(")\r\n") + e.source());
        return kDone;
    }
    m_link.NewEmail(members);
    return kDone;
}

qint32 CClientEmail::PhMessage(qint32 userId, const QString &userName)
{
    std::unique_ptr<IPhoneMessageForm> form = phoneMessageForm ? phoneMessageForm() : nullptr;
    if (!form)
        return kCancelled;
    QStringList callers;
    if (CallerList::load(callers) == kDone)
        form->SetContactsCBO(callers);
    const QString time = DateUtil::generalDate(Clock::nowDays());
    const QString sender = g_oCurrentUser.Email;
    const QStringList to = {userAddress(userId)};
    const std::optional<PhoneMessageEntry> entry =
        form->ask(GetResString(111) + u' ' + GetResString(152) + u' ' + userName, time,
                  [&](const PhoneMessageEntry &typed, IPhoneMessageForm::Done done) {
                      MailSubmission::send(to, sender, subjectOf(typed), bodyOf(typed), std::move(done));
                  });
    if (!entry)
        return kCancelled;
    if (!entry->caller.isEmpty())
        SaveContactList(CallerList::withCaller(callers, entry->caller));
    return kDone;
}

void CClientEmail::SaveContactList(const QStringList &list)
{
    CallerList::save(list);
}
