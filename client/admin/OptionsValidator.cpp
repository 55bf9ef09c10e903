#include "OptionsValidator.h"

#include "foundation/Globals.h"
#include "foundation/IPrompt.h"

QStringList OptionsValidator::missingData(const OptionsValues &values)
{
    QStringList lines;
    if (values.RealName.trimmed().isEmpty())
        lines << QStringLiteral("Real name");
    if (values.LoginName.trimmed().isEmpty())
        lines << QStringLiteral("Login name");
    if (!OptionsValues::parseMinutes(values.LunchText))
        lines << QStringLiteral("Minutes usually taken for lunch (numeric values only)");
    if (!OptionsValues::parseMinutes(values.BreakText))
        lines << QStringLiteral("Minutes usually taken for breaks (numeric values only)");
    return lines;
}

QString OptionsValidator::missingDataMessage(const QStringList &lines)
{
    QString text = QStringLiteral("Some required data is missing:\n");
    for (const QString &line : lines)
        text += line + u'\n';
    return text;
}

bool OptionsValidator::validateOptions(const OptionsValues &values, int joinedGroups)
{
    if (joinedGroups == 0
        && g_prompt->message(QStringLiteral("No Group memberships have been selected. Are you sure you wish to add "
                                            "user anyway?"),
                             IPrompt::YesNo, IPrompt::Exclamation, QStringLiteral("Group Membership"))
            == IPrompt::AnswerNo)
        return false;
    const QStringList lines = missingData(values);
    if (lines.isEmpty())
        return true;
    g_prompt->message(missingDataMessage(lines), IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Warning"));
    return false;
}
