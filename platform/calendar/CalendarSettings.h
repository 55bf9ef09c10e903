#pragma once

#include "BusyStatus.h"

#include <QString>

struct SettingKey;

// The user's calendar settings as both the program and its calendar watcher
// read them, afresh at every call, so a change in the options applies at
// the next check.
namespace CalendarSettings {
// An .ics file or a folder of them; empty: no calendar.
QString calendarPath();
// The setting that holds the status an appointment of that busy marking
// sets: the one table of the four, read by the calendar check and by the
// options dialog's combos.
const SettingKey &settingFor(BusyStatus busy);
// The status an appointment of that busy marking sets. A stored code that is
// not a valid status code gives the default for the marking, and problem
// says why.
QString statusFor(BusyStatus busy, QString *problem = nullptr);
} // namespace CalendarSettings
