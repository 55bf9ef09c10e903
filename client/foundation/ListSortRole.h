#pragma once

#include <Qt>

// The value a list's cell sorts by when its text would sort wrongly: a
// date-time gives its day number. Cells without it sort by their text.
constexpr int ListSortRole = Qt::UserRole + 40;
