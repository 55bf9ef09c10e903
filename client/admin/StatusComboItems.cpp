#include "StatusComboItems.h"

#include "foundation/BuiltInStatus.h"

const QStringList &StatusComboItems::codes()
{
    static const QStringList all = [] {
        QStringList codes;
        for (const BuiltInStatus::Row &status : BuiltInStatus::all())
            codes.append(status.code);
        return codes;
    }();
    return all;
}

QString StatusComboItems::defaultCode(int combo)
{
    static const QStringList defaults = {BuiltInStatus::MeetingAvailable, BuiltInStatus::Meeting,
                                         BuiltInStatus::MeetingTentative, BuiltInStatus::MeetingOutOfOffice};
    return defaults.value(combo);
}

bool StatusComboItems::isCode(const QString &code)
{
    return codes().contains(code);
}
