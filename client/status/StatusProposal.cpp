#include "StatusProposal.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/MCIFunctions.h"

namespace {

constexpr double kMinute = 1.0 / (24.0 * 60.0);

} // namespace

double StatusProposal::dueBack(const QString &code, double outAt, double current, const Options &options)
{
    if (code == BuiltInStatus::Home)
        return NextWorkingDay(options.WorkStartTime);
    if (code == BuiltInStatus::Lunch)
        return outAt + options.LunchTimePeriod * kMinute;
    if (code == BuiltInStatus::Break)
        return outAt + options.BreakPeriod * kMinute;
    return current;
}

double StatusProposal::spin(double value, int clicks)
{
    if (value == 0)
        return 0;
    return value + clicks * kSpinMinutes * kMinute;
}

double StatusProposal::initialDueBack(double now)
{
    return now + 60 * kMinute;
}
