#pragma once

#include <QString>

// How an appointment shows its owner's time, in the order the status settings
// name them.
enum class BusyStatus { Free = 0, Tentative = 1, Busy = 2, OutOfOffice = 3 };

namespace Busy {
// The marking a status change is written with: In is free, TNT tentative, a
// meeting out of office (it takes the person away), everything else busy.
BusyStatus forStatusCode(const QString &code);
// The text of the busy marking other calendar programs read.
QString markingText(BusyStatus busy);
// Reads that text back; an unknown text gives busy.
BusyStatus fromMarking(const QString &text);
} // namespace Busy
