#include "StatusComboItems.h"

#include "foundation/MCIFunctions.h"

namespace {
const int kCodeLength = 3;
const int kPadding = 50;
}

const QStringList &StatusComboItems::codes()
{
    static const QStringList all = {
        QStringLiteral("INN"), QStringLiteral("OUT"), QStringLiteral("LNC"), QStringLiteral("MTG"),
        QStringLiteral("HME"), QStringLiteral("DND"), QStringLiteral("MTO"), QStringLiteral("MTT"),
        QStringLiteral("MTA"), QStringLiteral("MTD"), QStringLiteral("BRK"), QStringLiteral("VAC"),
        QStringLiteral("SCK")};
    return all;
}

QStringList StatusComboItems::itemTexts()
{
    QStringList items;
    for (const QString &code : codes())
        items << GetStatusDescription(code) + QString(kPadding, u' ') + code;
    return items;
}

QString StatusComboItems::codeOf(const QString &itemText)
{
    return itemText.right(kCodeLength);
}

int StatusComboItems::indexOf(const QStringList &items, const QString &code)
{
    if (code.isEmpty())
        return -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].endsWith(code))
            return i;
    }
    return -1;
}

QString StatusComboItems::defaultCode(int combo)
{
    static const QStringList defaults = {QStringLiteral("MTA"), QStringLiteral("MTD"), QStringLiteral("MTT"),
                                         QStringLiteral("MTO")};
    return defaults.value(combo);
}

bool StatusComboItems::isCode(const QString &code)
{
    return codes().contains(code);
}
