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
    qint32 PhMessage(qint32 userId, const QString &userName);
    void SaveContactList(const QStringList &list);

    // Makes the phone-message form; the program installs the real one.
    static std::function<std::unique_ptr<IPhoneMessageForm>()> phoneMessageForm;

private:
    static QString userAddress(qint32 userId);

    CClientOutlook m_link;
};
