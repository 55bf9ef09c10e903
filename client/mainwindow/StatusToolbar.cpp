#include "StatusToolbar.h"

#include "platform/DateUtil.h"
#include "status/CClientNote.h"

#include <QHash>

StatusToolbar::Command StatusToolbar::commandFor(const QString &key)
{
    static const QHash<QString, Command> tools = {
        {QStringLiteral("MOB"), Command::Mobile},       {QStringLiteral("JRN"), Command::Journal},
        {QStringLiteral("PHR"), Command::PhoneMessage}, {QStringLiteral("HLP"), Command::Help},
        {QStringLiteral("TRY"), Command::Tray},         {QStringLiteral("BIM"), Command::Broadcast},
        {QStringLiteral("CHT"), Command::Chat},         {QStringLiteral("SEP1"), Command::Separator},
        {QStringLiteral("SEP2"), Command::Separator},   {QStringLiteral("SEP3"), Command::Separator},
        {QStringLiteral("SEP4"), Command::Separator},
    };
    return tools.value(key.toUpper(), Command::Status);
}

StatusToolbar::Note StatusToolbar::noteFor(const QString &statusCode, const QString &boxText)
{
    if (!boxText.trimmed().isEmpty())
        return {boxText, true};
    return {CClientNote().GetNote(statusCode), false};
}

double StatusToolbar::dueBackFrom(double chosen, double now)
{
    if (chosen == 0)
        return 0;
    double dueBack = chosen;
    if (DateUtil::datePart(dueBack) == 0)
        dueBack = DateUtil::datePart(now) + DateUtil::timePart(dueBack);
    if (dueBack < now)
        dueBack += 1;
    return dueBack;
}

QString StatusToolbar::chatRoomId(const QString &realName, double now)
{
    return realName + DateUtil::numberText(now);
}

bool StatusToolbar::canSendPhoneMessage(const QString &selectedKey, bool userListVisible, bool reservationsVisible)
{
    return !selectedKey.isEmpty() && userListVisible && !reservationsVisible;
}
