#include "BusyStatus.h"

#include <array>

namespace {
const std::array<QString, 4> kMarkings = {QStringLiteral("FREE"), QStringLiteral("TENTATIVE"),
                                          QStringLiteral("BUSY"), QStringLiteral("OOF")};
} // namespace

BusyStatus Busy::forStatusCode(const QString &code)
{
    if (code == QLatin1String("INN"))
        return BusyStatus::Free;
    if (code == QLatin1String("TNT"))
        return BusyStatus::Tentative;
    if (code == QLatin1String("MTG"))
        return BusyStatus::OutOfOffice;
    return BusyStatus::Busy;
}

QString Busy::markingText(BusyStatus busy)
{
    return kMarkings[static_cast<size_t>(busy)];
}

BusyStatus Busy::fromMarking(const QString &text)
{
    for (size_t i = 0; i < kMarkings.size(); ++i)
        if (text.trimmed().compare(kMarkings[i], Qt::CaseInsensitive) == 0)
            return static_cast<BusyStatus>(i);
    return BusyStatus::Busy;
}
