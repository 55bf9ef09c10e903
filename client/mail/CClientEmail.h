#pragma once

#include "CClientOutlook.h"
#include "IPhoneMessageForm.h"

#include "foundation/CEntity.h"

#include <functional>
#include <memory>

// E-mail to colleagues and contacts, and phone messages taken for them.
class CClientEmail
{
public:
    qint32 ReadEmail();
    // Mode 2: everyone To; mode 3: the sender To and the colleagues Bcc.
    qint32 SendEmail(const QList<CEntity> &selection, int mode, bool useNames);
    // From the navigation tree (mode 1): a new e-mail to the group's active
    // members. Other modes do nothing and give nothing.
    std::optional<qint32> BroadCastMessage(qint32 groupId, const QString &groupName, int mode);
    qint32 PhMessage(qint32 userId, const QString &userName);
    void SaveContactList(const QStringList &list);

    // Makes the phone-message form; the program installs the real one.
    static std::function<std::unique_ptr<IPhoneMessageForm>()> phoneMessageForm;

private:
    static QString userAddress(qint32 userId);
    static QString subjectOf(const PhoneMessageEntry &entry);
    static QString bodyOf(const PhoneMessageEntry &entry);

    CClientOutlook m_link;
};
