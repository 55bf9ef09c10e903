#include "UserSearch.h"

#include "UserListPoll.h"
#include "UserListReader.h"

QString UserSearch::folded(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C).toCaseFolded();
}

bool UserSearch::matches(const QString &name, const QString &foldedText)
{
    return folded(name).contains(foldedText);
}

qint32 UserSearch::fill(UserListPoll &list, const QString &typed)
{
    const QString wanted = folded(typed.trimmed());
    // Every active user's row, in id order; the names are chosen here.
    const UserListReader::Query everyone = UserListReader::usersQuery(0, {}, -1, true);
    DbHandle none;
    return list.refresh(false, false, everyone.sql, QStringLiteral("SRH0"), none, everyone.params,
                        [&wanted](const CUser &user) { return matches(user.RealName, wanted); });
}
