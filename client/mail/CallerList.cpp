#include "CallerList.h"

#include "foundation/MCIFunctions.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

QStringList CallerList::parse(const QString &stored, qint32 &result)
{
    result = 10000;
    if (stored == Registry::missingText())
        return QStringList(kUpperBound + 1, QString());
    if (stored.isEmpty()) {
        result = 10003;
        return {QString()};
    }
    // The last entry is dropped with the value's last character: a list that
    // ended in an empty entry loses nothing, a full one its oldest caller.
    QStringList pieces = stored.left(stored.size() - 1).split(QLatin1Char('#'));
    pieces.removeLast(); // the text after the last "#"
    return pieces;
}

qint32 CallerList::load(QStringList &list)
{
    qint32 result = 10000;
    list = parse(SettingsKeys::RecentCallers.read(), result);
    return result;
}

QString CallerList::joined(const QStringList &list)
{
    QString text;
    for (const QString &entry : list)
        text += entry + QLatin1Char('#');
    return text;
}

void CallerList::save(const QStringList &list)
{
    SettingsKeys::RecentCallers.write(joined(list));
}

QStringList CallerList::withCaller(QStringList list, const QString &caller)
{
    const qsizetype upper = qMin<qsizetype>(list.size(), kUpperBound);
    while (list.size() <= upper)
        list << QString();
    qsizetype place = upper;
    for (qsizetype i = 0; i <= upper; ++i)
        if (list[i] == caller) {
            place = i;
            break;
        }
    for (qsizetype i = place; i >= 1; --i)
        list[i] = list[i - 1];
    list[0] = caller;
    return list;
}
