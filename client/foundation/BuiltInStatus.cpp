#include "BuiltInStatus.h"

#include <algorithm>

namespace {

using Row = BuiltInStatus::Row;
using P = BuiltInStatus::Presence;
using D = BuiltInStatus::DueBack;
using L = QLatin1String;

constexpr L kNone;
constexpr L M = BuiltInStatus::Meeting;

// clang-format off
constexpr Row kRows[] = {
//   code                               text under  note place presence   due back            picture                     menu text
    {BuiltInStatus::In,                  162, kNone,  1,  1, P::In,     D::None,           L("in"),                    kNone},
    {BuiltInStatus::Out,                 158, kNone,  2,  2, P::Out,    D::AnHour,         L("out"),                   kNone},
    {BuiltInStatus::Lunch,               163, kNone,  3,  3, P::Nearby, D::LunchPeriod,    L("lunch"),                 kNone},
    {BuiltInStatus::Meeting,             164, kNone,  7,  5, P::Out,    D::AnHour,         L("meeting"),               kNone},
    {BuiltInStatus::Home,                165, kNone,  6,  4, P::Out,    D::NextWorkingDay, L("home"),                  kNone},
    {BuiltInStatus::DoNotDisturb,        166, kNone,  5,  6, P::Nearby, D::AnHour,         L("do-not-disturb"),        kNone},
    {BuiltInStatus::MeetingOutOfOffice,  167, M,     10, 12, P::Out,    D::AnHour,         L("meeting-out-of-office"), L("Out of Office")},
    {BuiltInStatus::MeetingTentative,    168, M,     11, 13, P::Out,    D::AnHour,         L("meeting-tentative"),     L("Tentative")},
    {BuiltInStatus::MeetingAvailable,    169, M,      8, 10, P::Out,    D::AnHour,         L("meeting-available"),     L("Available")},
    {BuiltInStatus::MeetingDoNotDisturb, 166, M,      9, 11, P::Out,    D::AnHour,         L("meeting-do-not-disturb"), L("Do not Disturb")},
    {BuiltInStatus::Break,               170, kNone,  4,  8, P::Nearby, D::BreakPeriod,    L("coffee"),                kNone},
    {BuiltInStatus::Vacation,            171, kNone, 13,  9, P::Out,    D::NextWorkingDay, L("vacation"),              kNone},
    {BuiltInStatus::Sick,                172, kNone, 12,  7, P::Out,    D::NextWorkingDay, L("sick"),                  kNone},
};
// clang-format on

QList<const Row *> byPlace(bool meetingStates)
{
    QList<const Row *> rows;
    for (const Row &row : kRows)
        if (row.under.isEmpty() != meetingStates)
            rows.append(&row);
    std::sort(rows.begin(), rows.end(), [](const Row *a, const Row *b) { return a->place < b->place; });
    return rows;
}

} // namespace

std::span<const BuiltInStatus::Row> BuiltInStatus::all()
{
    return kRows;
}

const BuiltInStatus::Row *BuiltInStatus::find(QStringView code)
{
    for (const Row &row : kRows)
        if (code == row.code)
            return &row;
    return nullptr;
}

QList<const BuiltInStatus::Row *> BuiltInStatus::buttons()
{
    return byPlace(false);
}

QList<const BuiltInStatus::Row *> BuiltInStatus::meetingStates()
{
    return byPlace(true);
}

QStringList BuiltInStatus::codes(const QList<const Row *> &rows)
{
    QStringList codes;
    for (const Row *row : rows)
        codes.append(row->code);
    return codes;
}
