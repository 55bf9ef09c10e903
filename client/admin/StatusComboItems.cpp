#include "StatusComboItems.h"

const QStringList &StatusComboItems::codes()
{
    static const QStringList all = {
        QStringLiteral("INN"), QStringLiteral("OUT"), QStringLiteral("LNC"), QStringLiteral("MTG"),
        QStringLiteral("HME"), QStringLiteral("DND"), QStringLiteral("MTO"), QStringLiteral("MTT"),
        QStringLiteral("MTA"), QStringLiteral("MTD"), QStringLiteral("BRK"), QStringLiteral("VAC"),
        QStringLiteral("SCK")};
    return all;
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
